#pragma once
// Platform seam: where this process's own last append to a file ended. The
// card library keeps its day's log open for appending; after its write, the
// position of that handle is the end of what this process wrote, whatever
// other processes appended before or after it.
#include <cstddef>
#include <optional>
#include <string>

namespace service::worker {

// The end of this process's last append to the file at path, through a
// handle it holds open for appending only (POSIX: O_APPEND; Windows:
// FILE_APPEND_DATA without FILE_WRITE_DATA); the furthest where it holds
// several. Nothing where it holds none or the system cannot tell.
std::optional<std::size_t> OwnAppendEnd(const std::string& path);

}  // namespace service::worker
