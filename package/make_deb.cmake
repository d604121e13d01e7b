cmake_minimum_required(VERSION 3.25)
# Lays out the Debian package readcard_<version>_<arch>.deb in STAGE and
# builds it into OUTPUT with dpkg-deb:
#   /usr/lib/<multiarch>/libreadcard.so.86.0.0, .so.86 and .so links
#   /usr/include/readcard.h, /usr/bin/cardhost (and its manual page)
#   /usr/lib/<multiarch>/readcard/readcard-driverhost, where the library
#   looks for it
#   /usr/lib/readcard/simulator/libSSCardDriver.so and its README
#   /usr/bin/cardservice, its unit /lib/systemd/system/cardservice.service,
#   its settings /etc/readcard/cardservice.ini (a conffile), its desk
#   /var/lib/readcard whose Log/ leads to /var/log/readcard, and the
#   maintainer scripts that make its account and enable it
#   /usr/share/doc/readcard/: copyright, changelog.gz, the docs
# Depends comes from dpkg-shlibdeps over the package's own binaries (for a
# cross build, over the cross root's libraries and their shlibs files).
#
# OUTPUT, STAGE, VERSION (86.0.0), DEB_ARCH, MULTIARCH, LIBRARY (the real
# file), SONAME, CARDHOST, SIMULATOR, CARDSERVICE, CARDSERVICE_INI (the
# example settings), HEADER, DOCS, TEXTS (package/deb),
# STRIP, CROSS_LIBRARIES (the cross root's library directory, or empty).
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(failed)
    list(JOIN ARGN " " shown)
    message(FATAL_ERROR "${shown} failed:\n${out}${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${STAGE})
file(REMOVE ${OUTPUT})
set(libdir ${STAGE}/usr/lib/${MULTIARCH})
set(docdir ${STAGE}/usr/share/doc/readcard)
set(simdir ${STAGE}/usr/lib/readcard/simulator)
set(driverhostdir ${libdir}/readcard)
set(unitdir ${STAGE}/lib/systemd/system)
file(MAKE_DIRECTORY ${libdir} ${driverhostdir} ${STAGE}/usr/include ${STAGE}/usr/bin ${docdir} ${simdir}
                    ${STAGE}/usr/share/man/man1 ${STAGE}/DEBIAN ${unitdir} ${STAGE}/etc/readcard
                    ${STAGE}/var/lib/readcard ${STAGE}/var/log/readcard)

# Binaries stripped as Debian ships them; shared objects are not executable.
get_filename_component(library_file ${LIBRARY} NAME)
run(${STRIP} --strip-unneeded --remove-section=.comment --remove-section=.note
    -o ${libdir}/${library_file} ${LIBRARY})
file(CREATE_LINK ${library_file} ${libdir}/${SONAME} SYMBOLIC)
file(CREATE_LINK ${SONAME} ${libdir}/libreadcard.so SYMBOLIC)
run(${STRIP} --strip-unneeded --remove-section=.comment --remove-section=.note
    -o ${STAGE}/usr/bin/cardhost ${CARDHOST})
run(${STRIP} --strip-unneeded --remove-section=.comment --remove-section=.note
    -o ${driverhostdir}/readcard-driverhost ${DRIVERHOST})
run(${STRIP} --strip-unneeded --remove-section=.comment --remove-section=.note
    -o ${simdir}/libSSCardDriver.so ${SIMULATOR})
file(COPY_FILE ${TEXTS}/simulator-README ${simdir}/README)
run(${STRIP} --strip-unneeded --remove-section=.comment --remove-section=.note
    -o ${STAGE}/usr/bin/cardservice ${CARDSERVICE})
file(COPY_FILE ${TEXTS}/cardservice.service ${unitdir}/cardservice.service)
# The example settings, with their opening lines about where the file lies
# told for this layout.
file(READ ${CARDSERVICE_INI} settings)
set(windows_opening "# cardservice.ini: the settings of the card service (cardservice.exe), which\n# lies in the same folder.")
string(FIND "${settings}" "${windows_opening}" at)
if(NOT at EQUAL 0)
  message(FATAL_ERROR "${CARDSERVICE_INI} no longer opens with the lines this script replaces")
endif()
string(REPLACE "${windows_opening}"
       "# /etc/readcard/cardservice.ini: the settings of the card service\n# (systemctl restart cardservice after a change)."
       settings "${settings}")
file(WRITE ${STAGE}/etc/readcard/cardservice.ini "${settings}")
# The desk's logs where IT looks for logs (the unit's LogsDirectory).
file(CREATE_LINK ../../log/readcard ${STAGE}/var/lib/readcard/Log SYMBOLIC)
file(COPY_FILE ${HEADER} ${STAGE}/usr/include/readcard.h)

file(COPY_FILE ${TEXTS}/copyright ${docdir}/copyright)
# One package holds the library and what builds against it (the header, the
# libreadcard.so link), as a small library's package may; no -dev package.
file(MAKE_DIRECTORY ${STAGE}/usr/share/lintian/overrides)
file(WRITE ${STAGE}/usr/share/lintian/overrides/readcard
  "# The library and its development link in one small package, by design.\n"
  "readcard: link-to-shared-library-in-wrong-package *\n")
file(GLOB documents ${DOCS}/*.md ${DOCS}/Login.ini.example)
file(COPY ${documents} DESTINATION ${docdir})
file(GLOB chinese_documents ${DOCS}/zh-CN/*.md)
file(COPY ${chinese_documents} DESTINATION ${docdir}/zh-CN)
# gzip -n: no name or time stamp inside, so the same input gives the same file.
# The changelog's newest entry is the version being packaged.
file(STRINGS ${TEXTS}/changelog newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^readcard \\(${VERSION}\\) ")
  message(FATAL_ERROR "package/deb/changelog: its newest entry is not ${VERSION}: ${newest}")
endif()
run(sh -c "gzip -9nc '${TEXTS}/changelog' > '${docdir}/changelog.gz'")
foreach(page cardhost cardservice)
  run(sh -c "gzip -9nc '${TEXTS}/${page}.1' > '${STAGE}/usr/share/man/man1/${page}.1.gz'")
endforeach()

run(find ${STAGE} -type d -exec chmod 0755 {} +)
run(find ${STAGE} -type f -exec chmod 0644 {} +)
run(chmod 0755 ${STAGE}/usr/bin/cardhost ${STAGE}/usr/bin/cardservice
          ${driverhostdir}/readcard-driverhost)

# Depends: what the binaries need, as dpkg-shlibdeps finds it. It wants a
# debian/control to read; a cross build names the cross root's libraries,
# whose shlibs files name the target's packages (libc6:arm64), and the
# package's own architecture is implied.
set(shlib_work ${STAGE}.shlibdeps)
file(REMOVE_RECURSE ${shlib_work})
file(WRITE ${shlib_work}/debian/control
     "Source: readcard\n\nPackage: readcard\nArchitecture: any\n")
set(cross_options "")
set(cross_environment "")
if(CROSS_LIBRARIES)
  set(cross_options -l${CROSS_LIBRARIES})
  set(cross_environment DEB_HOST_ARCH=${DEB_ARCH} DEB_HOST_MULTIARCH=${MULTIARCH})
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ${cross_environment}
          dpkg-shlibdeps -O ${cross_options} ${libdir}/${library_file} ${STAGE}/usr/bin/cardhost
          ${STAGE}/usr/bin/cardservice ${driverhostdir}/readcard-driverhost
          ${simdir}/libSSCardDriver.so
  WORKING_DIRECTORY ${shlib_work} RESULT_VARIABLE failed OUTPUT_VARIABLE shlibs ERROR_VARIABLE err)
file(REMOVE_RECURSE ${shlib_work})
if(failed OR NOT shlibs MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps failed:\n${shlibs}${err}")
endif()
string(REPLACE ":${DEB_ARCH}" "" depends "${CMAKE_MATCH_1}")
if(CROSS_LIBRARIES)
  # The cross root's packages stand for the target's own (libgcc-s1 for
  # libgcc-s1-arm64-cross). Where their shlibs file names no version, the
  # package asks for the cross library's own, as a shlibs file would.
  string(REPLACE "-${DEB_ARCH}-cross" "" depends "${depends}")
  if(depends MATCHES "(^|, )libstdc\\+\\+6(,|$)")
    execute_process(COMMAND dpkg-query -W -f=\${Version} libstdc++6-${DEB_ARCH}-cross
                    OUTPUT_VARIABLE cross_version RESULT_VARIABLE failed)
    if(failed OR NOT cross_version MATCHES "^([0-9]+)")
      message(FATAL_ERROR "cannot tell the version of libstdc++6-${DEB_ARCH}-cross")
    endif()
    string(REGEX REPLACE "(^|, )libstdc\\+\\+6(,|$)" "\\1libstdc++6 (>= ${CMAKE_MATCH_1})\\2"
           depends "${depends}")
  endif()
endif()

# Installed-Size in KiB, as dpkg counts it: each file rounded up.
set(installed_size 0)
file(GLOB_RECURSE files LIST_DIRECTORIES false ${STAGE}/usr/* ${STAGE}/lib/* ${STAGE}/etc/*)
foreach(file IN LISTS files)
  if(NOT IS_SYMLINK ${file})
    file(SIZE ${file} size)
    math(EXPR installed_size "${installed_size} + (${size} + 1023) / 1024")
  endif()
endforeach()

set(DEB_VERSION ${VERSION})
# adduser makes the card service's account (postinst).
set(DEPENDS "${depends}, adduser")
set(INSTALLED_SIZE ${installed_size})
configure_file(${TEXTS}/control.in ${STAGE}/DEBIAN/control @ONLY)
# The library's dependency line for packages built against it, and the
# loader cache refreshed after install and removal.
string(REGEX REPLACE "^libreadcard\\.so\\.([0-9]+)$" "\\1" major ${SONAME})
file(WRITE ${STAGE}/DEBIAN/shlibs "libreadcard ${major} readcard (>= ${VERSION})\n")
file(WRITE ${STAGE}/DEBIAN/triggers "activate-noawait ldconfig\n")
# The settings are a conffile: an upgrade keeps what IT changed there.
file(WRITE ${STAGE}/DEBIAN/conffiles "/etc/readcard/cardservice.ini\n")
foreach(script postinst prerm postrm)
  file(COPY_FILE ${TEXTS}/${script} ${STAGE}/DEBIAN/${script})
  run(chmod 0755 ${STAGE}/DEBIAN/${script})
endforeach()
# md5sums leave the conffile out: dpkg keeps its sum itself.
run(sh -c "cd '${STAGE}' && find usr lib -type f | LC_ALL=C sort | xargs md5sum > DEBIAN/md5sums")
run(chmod 0644 ${STAGE}/DEBIAN/control ${STAGE}/DEBIAN/shlibs ${STAGE}/DEBIAN/triggers
               ${STAGE}/DEBIAN/md5sums ${STAGE}/DEBIAN/conffiles)

run(dpkg-deb --root-owner-group -Zxz --build ${STAGE} ${OUTPUT})
message(STATUS "${OUTPUT}: Depends: ${depends}")
