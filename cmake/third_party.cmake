# Header-only libraries from Debian's packages (Boost, nlohmann-json), for the
# programs beside the card library. The cross build must not see /usr/include
# as a whole (glibc's headers would shadow mingw's), so only the libraries'
# own directories are exposed, through a directory of links.
set(third_party_include ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${third_party_include})
foreach(library boost nlohmann)
  if(NOT EXISTS ${third_party_include}/${library})
    file(CREATE_LINK /usr/include/${library} ${third_party_include}/${library} SYMBOLIC)
  endif()
endforeach()
add_library(third_party_headers INTERFACE)
target_include_directories(third_party_headers SYSTEM INTERFACE ${third_party_include})
if(WIN32)
  # Boost.Asio on Windows 7 and later: its sockets and overlapped I/O.
  target_compile_definitions(third_party_headers INTERFACE _WIN32_WINNT=0x0601)
  target_link_libraries(third_party_headers INTERFACE ws2_32 mswsock)
endif()
