#pragma once
// Files as tests see them: whole contents as bytes, and what stands at a
// path. Paths are the platform's own (ANSI code page on Windows).
#include <cstdint>
#include <string>

namespace testing_support {

// The whole content of a file, read as bytes; "" when it cannot be read.
std::string ReadBytes(const std::string& path);

// Replaces the file's content with bytes, exactly as given; true when every
// byte reached the file.
[[nodiscard]] bool WriteBytes(const std::string& path, const std::string& bytes);

// True when path names a file (not a directory).
bool IsFile(const std::string& path);

// True when path names a directory.
bool IsDirectory(const std::string& path);

// The file's size in bytes; 0 when it does not exist.
std::uintmax_t FileSize(const std::string& path);

// A new empty directory below the system's temporary directory; returns its
// path with the trailing separator. Throws when none can be made.
std::string MakeTempDirectory();

// Removes directory (given with its trailing separator) and everything in it,
// as far as it can.
void RemoveTree(const std::string& directory);

}  // namespace testing_support
