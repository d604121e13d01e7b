cmake_minimum_required(VERSION 3.25)
# The Debian package as a desk receives it: unpacked into a scratch root
# (dpkg -x, what dpkg itself unpacks), its control fields and ownership read
# back, and the cardhost it installs run from there against the library it
# installs, with READCARD_HOME naming a scratch desk that holds the
# package's simulated driver.
#
# DEB, WORK, MULTIARCH, DEB_ARCH, EMULATOR (items separated by |, or empty).
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(root ${WORK}/root)
set(desk ${WORK}/desk/)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${root} ${desk})

function(run variable)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(failed)
    list(JOIN ARGN " " shown)
    message(FATAL_ERROR "${shown} failed:\n${out}${err}")
  endif()
  set(${variable} "${out}" PARENT_SCOPE)
endfunction()

function(expect text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: no match for ${pattern} in\n${text}")
  endif()
endfunction()

# Control fields as apt reads them.
foreach(field_value "Package=readcard" "Version=86.0.0" "Architecture=${DEB_ARCH}")
  string(REPLACE "=" ";" pair ${field_value})
  list(GET pair 0 field)
  list(GET pair 1 value)
  run(got dpkg-deb -f ${DEB} ${field})
  string(STRIP "${got}" got)
  if(NOT got STREQUAL value)
    message(FATAL_ERROR "${field} is \"${got}\", not ${value}")
  endif()
endforeach()
run(depends dpkg-deb -f ${DEB} Depends)
expect("${depends}" "libc6 \\(>= 2\\.[0-9]+\\)" "Depends")
expect("${depends}" "libstdc\\+\\+6 \\(>= [0-9]+\\)" "Depends")

# Every file belongs to root, as dpkg installs it.
run(listing dpkg-deb -c ${DEB})
string(REGEX MATCHALL "\n[-dl][rwx-]+ [^ ]+" owners "\n${listing}")
list(LENGTH owners count)
if(count LESS 10)
  message(FATAL_ERROR "cannot read the package's listing:\n${listing}")
endif()
foreach(owner IN LISTS owners)
  if(NOT owner MATCHES " root/root$")
    message(FATAL_ERROR "a file of the package is not root's: ${owner}\n${listing}")
  endif()
endforeach()

run(ignored dpkg -x ${DEB} ${root})
set(libdir ${root}/usr/lib/${MULTIARCH})
foreach(file usr/bin/cardhost usr/include/readcard.h usr/lib/${MULTIARCH}/libreadcard.so.86.0.0
             usr/lib/readcard/simulator/libSSCardDriver.so usr/lib/readcard/simulator/README
             usr/share/doc/readcard/copyright usr/share/doc/readcard/changelog.gz
             usr/share/doc/readcard/deployment.md usr/share/man/man1/cardhost.1.gz)
  if(NOT EXISTS ${root}/${file} OR IS_SYMLINK ${root}/${file})
    message(FATAL_ERROR "the package lacks the file /${file}")
  endif()
endforeach()
foreach(link libreadcard.so.86:libreadcard.so.86.0.0 libreadcard.so:libreadcard.so.86)
  string(REPLACE ":" ";" pair ${link})
  list(GET pair 0 name)
  list(GET pair 1 target)
  file(READ_SYMLINK ${libdir}/${name} points_to)
  if(NOT points_to STREQUAL target)
    message(FATAL_ERROR "${name} leads to \"${points_to}\", not ${target}")
  endif()
endforeach()
# The simulator lies where no host looks for a driver.
file(GLOB_RECURSE drivers ${root}/*libSSCardDriver.so)
if(NOT drivers STREQUAL "${root}/usr/lib/readcard/simulator/libSSCardDriver.so")
  message(FATAL_ERROR "simulated drivers outside their own directory: ${drivers}")
endif()

# The library where the loader finds an installed one (here, the root's).
set(cardhost ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${libdir})
function(run_cardhost home expected_code)
  set(environment "")
  if(home)
    set(environment READCARD_HOME=${home})
  endif()
  execute_process(COMMAND ${cardhost} ${environment} ${emulator} ${root}/usr/bin/cardhost ${ARGN}
                  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE code OUTPUT_VARIABLE out
                  ERROR_VARIABLE out)
  if(NOT code STREQUAL expected_code)
    message(FATAL_ERROR "cardhost ${ARGN} exited with ${code}, not ${expected_code}:\n${out}")
  endif()
  set(output "${out}" PARENT_SCOPE)
endfunction()

file(COPY_FILE ${root}/usr/lib/readcard/simulator/libSSCardDriver.so ${desk}libSSCardDriver.so)
file(WRITE ${desk}Login.ini "[MAIN]\nREALCARD=false\n")
run_cardhost(${desk} 0 --check)
expect("${output}" "READCARD_HOME += \"[^\"]+\": the files there are used" "--check")
expect("${output}" "libreadcard.so.86 found, QTZ_DLL_BBH answers 86" "--check")
expect("${output}" "file ${libdir}/libreadcard.so.86.0.0" "--check")
expect("${output}" "libSSCardDriver.so found, exports iReadCardBas" "--check")
expect("${output}" "no problems found" "--check")
run_cardhost(${desk} 0 QTZ_DKH)
expect("${output}" "QTZ_DKH returned 0" "QTZ_DKH")
expect("${output}" "card number \\(5th argument\\): A12345678" "QTZ_DKH")
if(NOT EXISTS ${desk}Log/readcard)
  message(FATAL_ERROR "the installed library made no log directory in READCARD_HOME")
endif()

# Without READCARD_HOME, beside the installed cardhost, there is no driver:
# the simulator is not taken for one.
run_cardhost("" 1 --check)
expect("${output}" "libSSCardDriver.so NOT FOUND" "--check without READCARD_HOME")
message(STATUS "${DEB}: installs and runs")
