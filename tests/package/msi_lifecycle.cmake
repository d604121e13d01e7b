cmake_minimum_required(VERSION 3.25)
# The MSI as IT deploys it, under Wine's msiexec in a Wine prefix of this
# test's own: a silent install of an older version with every property, a
# re-run with new origins, the upgrade to this version with none, a silent
# removal. After each step the desk is checked from outside: the service's
# state (sc), its answers over loopback (curl), the files and the browsers'
# policy values (reg, 64-bit view).
#   MSI           this version's MSI
#   MSI_COMMAND   make_msi.cmake's command without stage, version, output
#   MSI_SCRIPT    make_msi.cmake
#   STAGE         the release package's staging folder
#   WINE_RUN, WINE_PREFIX_SCRIPT   cmake/wine-run, cmake/wine-prefix
#   DRIVER        the simulated SSCardDriver.dll
#   WORK          a folder for this test (emptied first)
#   REUSE_PREFIX  (by hand, to try changes) keep WORK/prefix from the last run
string(RANDOM LENGTH 4 ALPHABET 123456789 number)
math(EXPR port "20000 + ${number}")
file(GLOB previous LIST_DIRECTORIES true ${WORK}/*)
if(REUSE_PREFIX)
  list(REMOVE_ITEM previous ${WORK}/prefix)
endif()
if(previous)
  file(REMOVE_RECURSE ${previous})
endif()
file(MAKE_DIRECTORY ${WORK}/driver ${WORK}/his)
set(ENV{WINEPREFIX} ${WORK}/prefix)
set(failure "")
# Adds message to the failures unless condition (an if() condition) holds.
macro(check condition message)
  set(check_message "${message}")
  cmake_language(EVAL CODE "if(NOT (${condition}))
    string(APPEND failure \"\\n\${step}: \${check_message}\")
  endif()")
endmacro()

# Windows' view of a path on this machine (Wine's Z: drive is the root).
function(windows_path out path)
  string(REPLACE "/" "\\" path "${path}")
  set(${out} "Z:${path}" PARENT_SCOPE)
endfunction()

# Output goes through a file: the service manager that a command may start
# inherits its handles and would hold a pipe open for as long as it runs.
function(run out_output out_code)
  execute_process(COMMAND ${WINE_RUN} ${ARGN} INPUT_FILE /dev/null
                  OUTPUT_FILE ${WORK}/run.txt ERROR_FILE ${WORK}/run.txt
                  RESULT_VARIABLE code TIMEOUT 600)
  file(READ ${WORK}/run.txt output)
  message(STATUS "$ ${ARGN}\n${output}(exit code ${code})")
  set(${out_output} "${output}" PARENT_SCOPE)
  set(${out_code} "${code}" PARENT_SCOPE)
endfunction()

# A card read from a page of origin: the HTTP status and the body.
function(read_card out_status out_body origin)
  execute_process(COMMAND curl -s -m 60 -o ${WORK}/answer.json -w "%{http_code}"
                          -X POST -H "Origin: ${origin}" -H "Content-Type: application/json"
                          -d "{}" http://127.0.0.1:${port}/v1/ic-card/number
                  OUTPUT_VARIABLE status RESULT_VARIABLE failed)
  set(body "")
  if(EXISTS ${WORK}/answer.json)
    file(READ ${WORK}/answer.json body)
    file(REMOVE ${WORK}/answer.json)
  endif()
  set(${out_status} "${status}" PARENT_SCOPE)
  set(${out_body} "${body}" PARENT_SCOPE)
endfunction()

# Waits up to 120 s until the service answers, with the library's version.
function(wait_for_service out_answered)
  set(answered 0)
  foreach(try RANGE 120)
    execute_process(COMMAND curl -s -m 5 http://127.0.0.1:${port}/v1/status
                    OUTPUT_VARIABLE body RESULT_VARIABLE failed)
    if(NOT failed AND body MATCHES "\"version\":86")
      set(answered 1)
      break()
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1)
  endforeach()
  set(${out_answered} ${answered} PARENT_SCOPE)
endfunction()

# The origins that one of the browsers' policies lists (64-bit view).
set(policy_keys
    "HKLM\\SOFTWARE\\Policies\\Google\\Chrome\\LoopbackNetworkAllowedForUrls"
    "HKLM\\SOFTWARE\\Policies\\Google\\Chrome\\LocalNetworkAccessAllowedForUrls"
    "HKLM\\SOFTWARE\\Policies\\Microsoft\\Edge\\LoopbackNetworkAllowedForUrls"
    "HKLM\\SOFTWARE\\Policies\\Microsoft\\Edge\\LocalNetworkAccessAllowedForUrls")
function(policy_values out key)
  run(output code reg query "${key}" /reg:64)
  set(${out} "${output}" PARENT_SCOPE)
endfunction()

# Expects each origin of listed in every policy and none of unlisted.
function(check_policies listed unlisted)
  set(problems "")
  foreach(key IN LISTS policy_keys)
    policy_values(values "${key}")
    foreach(origin IN LISTS listed)
      if(NOT values MATCHES "REG_SZ[ \t]+${origin}")
        string(APPEND problems "\n${step}: ${key} lacks ${origin}")
      endif()
    endforeach()
    foreach(origin IN LISTS unlisted)
      if(values MATCHES "REG_SZ[ \t]+${origin}")
        string(APPEND problems "\n${step}: ${key} still lists ${origin}")
      endif()
    endforeach()
  endforeach()
  set(failure "${failure}${problems}" PARENT_SCOPE)
endfunction()

# The hospital's own value in the first policy is never touched.
macro(check_kept)
  policy_values(values "${first_policy}")
  check("values MATCHES \"1[ \t]+REG_SZ[ \t]+https://kept.example\"" "the hospital's own policy value is gone")
endmacro()

function(install_log out name)
  set(log "")
  if(EXISTS ${WORK}/${name}.log)
    file(READ ${WORK}/${name}.log log)
  endif()
  set(${out} "${log}" PARENT_SCOPE)
endfunction()

# A prefix of the test's own, its Wine server kept up for the whole test: a
# fresh server would boot the prefix and start the registered service anew.
# Through a file: the persistent server would hold a pipe open.
execute_process(COMMAND ${WINE_PREFIX_SCRIPT} --persistent RESULT_VARIABLE failed
                OUTPUT_FILE ${WORK}/prefix.txt ERROR_FILE ${WORK}/prefix.txt)
if(failed)
  message(FATAL_ERROR "cannot set up the Wine prefix ${WORK}/prefix")
endif()
# The 32-bit programs' folder: Program Files (x86) where the prefix is a
# 64-bit Windows, Program Files where it is a 32-bit one.
if(EXISTS "${WORK}/prefix/drive_c/Program Files (x86)")
  set(program_files "${WORK}/prefix/drive_c/Program Files (x86)/readcard")
else()
  set(program_files "${WORK}/prefix/drive_c/Program Files/readcard")
endif()

# The older version: the same package as 85.0.0.
execute_process(COMMAND ${MSI_COMMAND} -DSTAGE=${STAGE} -DVERSION=85.0.0
                        -DOUTPUT=${WORK}/older/readcard-85.msi -P ${MSI_SCRIPT}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot build the older MSI")
endif()
# The vendor's driver with a file it needs; a policy value of the hospital's
# own, which the installer must leave alone.
file(COPY ${DRIVER} DESTINATION ${WORK}/driver)
file(WRITE ${WORK}/driver/vendor.dat "the driver's data\n")
list(GET policy_keys 0 first_policy)
run(output code reg add "${first_policy}" /v 1 /t REG_SZ /d https://kept.example /f /reg:64)
windows_path(older_msi ${WORK}/older/readcard-85.msi)
windows_path(driver_dir ${WORK}/driver)
windows_path(his_dir ${WORK}/his)
windows_path(work_dir ${WORK})

set(step "install with a port the service cannot use")
run(output code msiexec /i ${older_msi} /qn /l*v ${work_dir}\\refused.log PORT=70000
    "ORIGINS=https://his.example")
check("NOT code EQUAL 0" "msiexec succeeded")
run(output code sc query cardservice)
check("NOT output MATCHES \"RUNNING|STOPPED\"" "a service is registered")
check("NOT EXISTS \"${program_files}/cardservice.exe\"" "the program stayed installed")
run(output code reg query "HKLM\\SOFTWARE\\readcard\\cardservice" /reg:32)
check("NOT code EQUAL 0" "settings were kept")

set(step "install with every property")
# (Wine's msiexec takes an unquoted value ending in a backslash together
# with the next argument, which Windows Installer does not.)
set(driver_property "DRIVERDIR=${driver_dir}")
run(output code msiexec /i ${older_msi} /qn /l*v ${work_dir}\\install.log
    PORT=${port} "ORIGINS=https://his.example http://10.1.2.3:8080" TIMEOUT=20
    "${driver_property}" BROWSERPOLICY=1 HISDIR=${his_dir})
check("code EQUAL 0" "msiexec exited with ${code}")
wait_for_service(answered)
check(answered "the service does not answer on ${port}")
run(output code sc query cardservice)
check("output MATCHES \"RUNNING\"" "sc does not show the service running")
read_card(status body https://his.example)
check("status STREQUAL \"200\" AND body MATCHES \"number.:\"" "a listed origin read ${status} ${body}")
read_card(status body http://10.1.2.3:8080)
check("status STREQUAL \"200\"" "the second listed origin read ${status} ${body}")
read_card(status body https://other.example)
check("status STREQUAL \"403\"" "an origin not listed got ${status} ${body}")
foreach(file cardservice.exe readcard.dll cardhost.exe SSCardDriver.dll vendor.dat)
  check("EXISTS \"${program_files}/${file}\"" "${file} is not in the install folder")
endforeach()
check("EXISTS \"${WORK}/his/readcard.dll\"" "readcard.dll is not in HISDIR")
set(event_source "HKLM\\SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\cardservice")
run(output code reg query "${event_source}")
check("output MATCHES \"EventMessageFile\"" "the event source cardservice is not registered")
# The settings where the 32-bit service reads them.
run(output code reg query "HKLM\\SOFTWARE\\readcard\\cardservice" /reg:32)
check("output MATCHES \"port[ \t]+REG_SZ[ \t]+${port}\"" "the port is not kept for the machine")
check_policies("https://his.example;http://10.1.2.3:8080" "")
check_kept()

set(step "re-run with new origins")
run(output code msiexec /i ${older_msi} /qn /l*v ${work_dir}\\rerun.log ORIGINS=https://new.example)
check("code EQUAL 0" "msiexec exited with ${code}")
wait_for_service(answered)
check(answered "the service does not answer on ${port} (the port it was given before)")
read_card(status body https://new.example)
check("status STREQUAL \"200\"" "the new origin read ${status} ${body}")
read_card(status body https://his.example)
check("status STREQUAL \"403\"" "the origin given before still reads: ${status}")
check_policies("https://new.example" "https://his.example;http://10.1.2.3:8080")
check_kept()

set(step "upgrade to this version without properties")
windows_path(msi ${MSI})
run(output code msiexec /i ${msi} /qn /l*v ${work_dir}\\upgrade.log)
check("code EQUAL 0" "msiexec exited with ${code}")
wait_for_service(answered)
check(answered "the upgraded service does not answer on ${port}")
read_card(status body https://new.example)
check("status STREQUAL \"200\" AND body MATCHES \"number.:\""
      "the kept origin read ${status} ${body} (is the driver still there?)")
read_card(status body https://other.example)
check("status STREQUAL \"403\"" "an origin not listed got ${status}")
check("EXISTS \"${program_files}/SSCardDriver.dll\"" "the driver is gone after the upgrade")
check_policies("https://new.example" "")
check_kept()
run(output code reg query "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall" /s)
string(REGEX MATCHALL "readcard cardservice" products "${output}")
list(LENGTH products count)
check("count EQUAL 1" "${count} readcard products are registered after the upgrade")

set(step "silent removal")
run(output code msiexec /x ${msi} /qn /l*v ${work_dir}\\remove.log)
check("code EQUAL 0" "msiexec exited with ${code}")
run(output code sc query cardservice)
check("NOT output MATCHES \"RUNNING|STOPPED\"" "the service is still registered")
file(GLOB_RECURSE left LIST_DIRECTORIES false RELATIVE "${program_files}" "${program_files}/*")
list(FILTER left EXCLUDE REGEX "^Log/")
check("left STREQUAL \"\"" "files left in the install folder: ${left}")
file(GLOB logs "${program_files}/Log/cardservice/*.log")
check("logs" "the service's logs are gone")
check("NOT EXISTS \"${WORK}/his/readcard.dll\"" "readcard.dll is still in HISDIR")
check_policies("" "https://new.example;https://his.example;http://10.1.2.3:8080")
check_kept()
run(output code reg query "HKLM\\SOFTWARE\\readcard\\cardservice" /reg:32)
check("NOT code EQUAL 0" "the kept settings are still there")
run(output code reg query "${event_source}")
check("NOT output MATCHES \"EventMessageFile\"" "the event source is still registered")

execute_process(COMMAND wineserver -k)
execute_process(COMMAND wineserver -w)
if(failure)
  install_log(log remove)
  message(FATAL_ERROR "${failure}\n(msiexec's logs are in ${WORK})")
endif()
if(NOT REUSE_PREFIX)
  file(REMOVE_RECURSE ${WORK})
endif()
