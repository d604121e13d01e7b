# The Debian package readcard_<version>_<arch>.deb of a native build
# (scripts/package.sh copies the amd64 and arm64 ones to dist/): the library
# with its SONAME links, the header, cardhost, the driver host below the
# library's directory, the simulated driver in a directory of its own, the
# card service with its systemd unit, and the docs (make_deb.cmake).
set(deb_version ${READCARD_VERSION}.0.0)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
  set(deb_arch amd64)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
  set(deb_arch arm64)
else()
  message(STATUS "No Debian package for ${CMAKE_SYSTEM_PROCESSOR}")
  return()
endif()
set(multiarch ${CMAKE_LIBRARY_ARCHITECTURE})
if(NOT multiarch)
  set(multiarch ${CMAKE_SYSTEM_PROCESSOR}-linux-gnu)
endif()
set(cross_libraries "")
if(CMAKE_CROSSCOMPILING)
  set(cross_libraries /usr/${multiarch}/lib)
endif()
set(deb_file ${CMAKE_CURRENT_BINARY_DIR}/readcard_${deb_version}_${deb_arch}.deb)
file(GLOB deb_docs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.md ${PROJECT_SOURCE_DIR}/docs/*.example
     ${PROJECT_SOURCE_DIR}/docs/zh-CN/*.md)
file(GLOB deb_texts CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/deb/*)

add_custom_command(
  OUTPUT ${deb_file}
  COMMAND ${CMAKE_COMMAND}
          -DOUTPUT=${deb_file}
          -DSTAGE=${CMAKE_CURRENT_BINARY_DIR}/deb-stage
          -DVERSION=${deb_version}
          -DDEB_ARCH=${deb_arch}
          -DMULTIARCH=${multiarch}
          -DLIBRARY=$<TARGET_FILE:readcard>
          -DSONAME=$<TARGET_SONAME_FILE_NAME:readcard>
          -DCARDHOST=$<TARGET_FILE:cardhost>
          -DSIMULATOR=$<TARGET_FILE:simdriver>
          -DCARDSERVICE=$<TARGET_FILE:cardservice>
          -DCARDSERVICE_INI=${PROJECT_SOURCE_DIR}/service/cardservice.ini
          -DDRIVERHOST=$<TARGET_FILE:driverhost>
          -DHEADER=${PROJECT_SOURCE_DIR}/include/readcard.h
          -DDOCS=${PROJECT_SOURCE_DIR}/docs
          -DTEXTS=${CMAKE_CURRENT_SOURCE_DIR}/deb
          -DSTRIP=${CMAKE_STRIP}
          -DCROSS_LIBRARIES=${cross_libraries}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/make_deb.cmake
  DEPENDS readcard cardhost simdriver cardservice driverhost ${PROJECT_SOURCE_DIR}/include/readcard.h
          ${PROJECT_SOURCE_DIR}/service/cardservice.ini
          ${deb_docs} ${deb_texts} make_deb.cmake
  COMMENT "Debian package readcard_${deb_version}_${deb_arch}.deb"
  VERBATIM)
add_custom_target(package_deb ALL DEPENDS ${deb_file})
# Tells scripts/package.sh which file the build makes.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/package_file.txt ${deb_file})
set(READCARD_DEB_FILE ${deb_file} PARENT_SCOPE)
set(READCARD_DEB_MULTIARCH ${multiarch} PARENT_SCOPE)
