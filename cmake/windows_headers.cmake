# windows_headers: how the project's code includes <windows.h>. Without the
# parts it never uses (WIN32_LEAN_AND_MEAN: also keeps winsock.h out, which
# clashes with Boost.Asio's winsock2.h) and without the min and max macros,
# which break std::min and std::max (NOMINMAX). A target that includes
# <windows.h> links it, PUBLIC when its headers do; natively it is empty.
add_library(windows_headers INTERFACE)
if(WIN32)
  target_compile_definitions(windows_headers INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX)
endif()
