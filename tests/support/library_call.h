#pragma once
// Calling a function of a library that a DynamicLibrary holds, directly (the
// library itself calls its driver only through the guard).
#include <string>

#include "driver/dynamic_library.h"

namespace testing_support {

// Calls the library's function name as R (DRIVER_CALL *)(Args...); throws as
// DynamicLibrary::Resolve does when there is none.
template <typename R, typename... Args>
R CallFunction(driver::DynamicLibrary& library, const std::string& name, Args... args) {
  using Function = R(DRIVER_CALL*)(Args...);
  Function function = reinterpret_cast<Function>(library.Resolve(name));
  return function(args...);
}

}  // namespace testing_support
