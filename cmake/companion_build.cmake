# readcard_companion_build(NAME TOOLCHAIN TARGET...): the same sources built
# for the other Windows architecture, in <build directory>/NAME, making only
# the targets named (without tests). The 32-bit build takes the 64-bit
# library for the release package from one; the 64-bit build takes the
# 32-bit driver host and simulated driver that its hosts read cards through.
# Sets NAME_DIR to the companion's build directory. The companion is brought
# up to date at every build of this one.
include(ExternalProject)
function(readcard_companion_build name toolchain)
  set(binary ${CMAKE_BINARY_DIR}/${name})
  # A Makefile generator shares the parent's job slots through $(MAKE).
  if(CMAKE_GENERATOR MATCHES "Makefiles")
    set(build $(MAKE) ${ARGN})
  else()
    set(build ${CMAKE_COMMAND} --build ${binary})
    foreach(target IN LISTS ARGN)
      list(APPEND build --target ${target})
    endforeach()
  endif()
  set(launchers)
  foreach(language C CXX)
    if(CMAKE_${language}_COMPILER_LAUNCHER)
      list(APPEND launchers -DCMAKE_${language}_COMPILER_LAUNCHER=${CMAKE_${language}_COMPILER_LAUNCHER})
    endif()
  endforeach()
  ExternalProject_Add(${name}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${binary}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
               -DBUILD_TESTING=OFF ${launchers}
    BUILD_COMMAND ${build}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  set(${name}_DIR ${binary} PARENT_SCOPE)
endfunction()
