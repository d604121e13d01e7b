#pragma once
#include <string>

namespace simdriver {

// The directory of the driver's own file, with its trailing separator; ""
// when the system cannot tell it.
std::string OwnDirectory();

}  // namespace simdriver
