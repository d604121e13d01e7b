#pragma once
#include <cstddef>

namespace simdriver {

// The directory of the driver's own file, with its trailing separator, into
// buffer (always NUL-terminated); "" when the system cannot tell it.
void OwnDirectory(char* buffer, std::size_t size);

}  // namespace simdriver
