cmake_minimum_required(VERSION 3.25)
# The Debian package as a desk receives it: unpacked into a scratch root
# (dpkg -x, what dpkg itself unpacks), its control fields and ownership read
# back, and the cardhost it installs run from there against the library it
# installs, with READCARD_HOME naming a scratch desk that holds the
# package's simulated driver; then the card service it installs, started
# from there with its packaged settings (an origin added), answers, reads a
# card for the listed origin and refuses another.
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
             usr/bin/cardservice lib/systemd/system/cardservice.service
             etc/readcard/cardservice.ini usr/share/man/man1/cardservice.1.gz
             usr/lib/${MULTIARCH}/readcard/readcard-driverhost
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
if(NOT IS_DIRECTORY ${root}/var/lib/readcard OR NOT IS_DIRECTORY ${root}/var/log/readcard)
  message(FATAL_ERROR "the package lacks the card service's desk or its log directory")
endif()
file(READ_SYMLINK ${root}/var/lib/readcard/Log desk_log)
if(NOT desk_log STREQUAL "../../log/readcard")
  message(FATAL_ERROR "the desk's Log leads to \"${desk_log}\", not ../../log/readcard")
endif()
# The settings are a conffile; the maintainer scripts make the account and
# enable the unit.
run(ignored dpkg-deb -e ${DEB} ${WORK}/control)
file(READ ${WORK}/control/conffiles conffiles)
if(NOT conffiles STREQUAL "/etc/readcard/cardservice.ini\n")
  message(FATAL_ERROR "conffiles is not the card service's settings alone:\n${conffiles}")
endif()
file(READ ${WORK}/control/postinst postinst)
expect("${postinst}" "adduser --system --group [^\n]*cardservice" "postinst")
expect("${postinst}" "adduser --quiet cardservice dialout" "postinst")
expect("${postinst}" "deb-systemd-helper enable 'cardservice.service'" "postinst")
expect("${depends}" "adduser" "Depends")

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
# The simulated driver on the desk is rated a warning: exit 1.
run_cardhost(${desk} 1 --check)
expect("${output}" "READCARD_HOME += \"[^\"]+\": the files there are used" "--check")
expect("${output}" "libreadcard.so.86 found, QTZ_DLL_BBH answers 86" "--check")
expect("${output}" "file ${libdir}/libreadcard.so.86.0.0" "--check")
expect("${output}" "libSSCardDriver.so found, exports iReadCardBas" "--check")
expect("${output}" "WARNING: it is the SIMULATED driver" "--check")
expect("${output}" "1 warning\\(s\\)" "--check")
run_cardhost(${desk} 0 QTZ_DKH)
expect("${output}" "QTZ_DKH returned 0" "QTZ_DKH")
expect("${output}" "card number \\(5th argument\\): A12345678" "QTZ_DKH")
if(NOT EXISTS ${desk}Log/readcard)
  message(FATAL_ERROR "the installed library made no log directory in READCARD_HOME")
endif()
# The same read with the driver in the installed driver host's process
# (not under qemu-user, which cannot start a program of the target's).
if(NOT emulator)
  file(WRITE ${desk}readcard.ini "[driver]\nisolation=process\n")
  run_cardhost(${desk} 0 QTZ_DKH)
  expect("${output}" "QTZ_DKH returned 0" "QTZ_DKH through readcard-driverhost")
  expect("${output}" "card number \\(5th argument\\): A12345678" "QTZ_DKH through readcard-driverhost")
  file(REMOVE ${desk}readcard.ini)
endif()

# Without READCARD_HOME, beside the installed cardhost, there is no driver:
# the simulator is not taken for one.
run_cardhost("" 2 --check)
expect("${output}" "libSSCardDriver.so ERROR: NOT FOUND" "--check without READCARD_HOME")

# The card service as the unit starts it (its settings, READCARD_HOME naming
# the desk), on a port of the system's choosing, with an origin listed.
file(READ ${root}/etc/readcard/cardservice.ini settings)
string(REPLACE "\norigins =\n" "\norigins = https://his.hospital.example\n" listed "${settings}")
if(listed STREQUAL settings)
  message(FATAL_ERROR "the packaged settings have no empty origins line:\n${settings}")
endif()
file(WRITE ${WORK}/cardservice.ini "${listed}")
list(JOIN emulator " " emulator_words)
set(service_output ${WORK}/cardservice.out)
execute_process(
  COMMAND sh -c "LD_LIBRARY_PATH='${libdir}' READCARD_HOME='${desk}' \
NOTIFY_SOCKET=@readcard-deb-test WATCHDOG_USEC=30000000 ${emulator_words} \
'${root}/usr/bin/cardservice' --config '${WORK}/cardservice.ini' --port 0 \
> '${service_output}' 2>&1 < /dev/null & echo $!"
  OUTPUT_VARIABLE service_pid OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
if(failed OR NOT service_pid MATCHES "^[0-9]+$")
  message(FATAL_ERROR "cannot start the packaged cardservice")
endif()
function(stop_service)
  execute_process(COMMAND kill -TERM ${service_pid})
  foreach(i RANGE 100)
    execute_process(COMMAND kill -0 ${service_pid} RESULT_VARIABLE gone OUTPUT_QUIET ERROR_QUIET)
    if(gone)
      return()
    endif()
    execute_process(COMMAND sleep 0.1)
  endforeach()
  execute_process(COMMAND kill -KILL ${service_pid})
endfunction()
function(fail_service what)
  stop_service()
  file(READ ${service_output} printed)
  message(FATAL_ERROR "${what}\ncardservice printed:\n${printed}")
endfunction()
set(port "")
foreach(i RANGE 300)
  file(READ ${service_output} printed)
  if(printed MATCHES "listening on http://127\\.0\\.0\\.1:([0-9]+)")
    set(port ${CMAKE_MATCH_1})
    break()
  endif()
  execute_process(COMMAND sleep 0.1)
endforeach()
if(NOT port)
  fail_service("the packaged cardservice did not listen")
endif()
# request EXPECTED_STATUS PATH [curl arguments]: the answer's body in answer.
function(request expected path)
  execute_process(COMMAND curl -s -m 30 -o ${WORK}/answer -w "%{http_code}" ${ARGN}
                          http://127.0.0.1:${port}${path}
                  OUTPUT_VARIABLE status RESULT_VARIABLE failed)
  file(READ ${WORK}/answer body)
  if(failed OR NOT status STREQUAL expected)
    fail_service("${path}: status ${status} (curl ${failed}), not ${expected}: ${body}")
  endif()
  set(answer "${body}" PARENT_SCOPE)
endfunction()
set(his -H "Origin: https://his.hospital.example")
set(post -X POST -H "Content-Type: application/json" -d "{}")
request(403 /v1/ic-card/number ${post} -H "Origin: https://evil.example")
if(emulator)
  # qemu-user runs this program only: the worker it starts is a program of
  # the target's architecture too, which this kernel cannot start.
  request(200 /v1/status)
  message(STATUS "cardservice answers; its card read is not tried under ${EMULATOR}: "
                 "the worker process it starts cannot run without binfmt_misc")
else()
  foreach(i RANGE 100)
    request(200 /v1/status)
    if(answer MATCHES "\"version\": *86")
      break()
    endif()
    execute_process(COMMAND sleep 0.1)
  endforeach()
  expect("${answer}" "\"version\": *86" "/v1/status of the packaged service")
  request(200 /v1/ic-card/number ${post} ${his})
  expect("${answer}" "\"number\": *\"A12345678\"" "a read for the listed origin")
  # The worker has the desk but not systemd's variables: its messages would
  # not be the service's.
  file(READ /proc/${service_pid}/task/${service_pid}/children workers)
  string(STRIP "${workers}" workers)
  if(NOT workers MATCHES "^[0-9]+$")
    fail_service("the service has not one worker process but \"${workers}\"")
  endif()
  file(READ /proc/${workers}/environ worker_environment HEX)
  # NUL-separated: 00 before each name, after the first.
  string(HEX "NOTIFY_SOCKET=" notify_hex)
  string(HEX "READCARD_HOME=" home_hex)
  string(FIND "00${worker_environment}" "00${notify_hex}" inherited)
  string(FIND "00${worker_environment}" "00${home_hex}" has_home)
  if(NOT inherited EQUAL -1 OR has_home EQUAL -1)
    fail_service("the worker's environment: NOTIFY_SOCKET at ${inherited}, READCARD_HOME at ${has_home}")
  endif()
  # The library it reads with is the installed one, found by its SONAME.
  request(200 /v1/desk)
  expect("${answer}" "\"library\": *{\"file\": *\"libreadcard\\.so\\.86\", *\"present\": *true"
         "/v1/desk")
endif()
stop_service()
file(GLOB service_logs ${desk}Log/cardservice/cardservice-*.log)
if(NOT service_logs)
  message(FATAL_ERROR "the packaged cardservice wrote no log in the desk")
endif()
file(READ ${service_logs} service_log)
expect("${service_log}" "启动：监听 http://127.0.0.1:${port}" "the service log")
expect("${service_log}" "拒绝 [^\n]*https://evil.example" "the service log")
expect("${service_log}" "停止：收到信号 15" "the service log")
message(STATUS "${DEB}: installs and runs")
