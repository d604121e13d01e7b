cmake_minimum_required(VERSION 3.25)
# Unpacks ZIP into a fresh temporary directory with the standard unzip tool,
# checks its contents and runs its host tool from there under Wine (WINE_RUN);
# then builds the C host test against the package's header and import library
# and runs it beside the package's readcard.dll; so too a Visual C++ style
# host against its readcard.lib.
if(DEFINED ENV{TMPDIR})
  set(temp $ENV{TMPDIR})
else()
  set(temp /tmp)
endif()
string(RANDOM LENGTH 10 suffix)
set(fresh ${temp}/readcard-package-${suffix})
set(root ${fresh}/${NAME})

function(fail message)
  file(REMOVE_RECURSE ${fresh})
  message(FATAL_ERROR "${message}")
endfunction()

# Runs a program of the unpacked package in its directory; output and exit code.
function(run out_output out_code)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${root}
                  OUTPUT_VARIABLE output ERROR_VARIABLE output RESULT_VARIABLE code)
  message(STATUS "$ ${ARGN}\n${output}")
  set(${out_output} "${output}" PARENT_SCOPE)
  set(${out_code} "${code}" PARENT_SCOPE)
endfunction()

function(expect_output output pattern)
  if(NOT output MATCHES "${pattern}")
    fail("expected output matching '${pattern}'")
  endif()
endfunction()

file(MAKE_DIRECTORY ${fresh})
# The Chinese notes' file name comes out as it is only in a UTF-8 locale; in
# the C locale (the emulated guest's) unzip escapes it.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 unzip -q ${ZIP} -d ${fresh}
                RESULT_VARIABLE failed)
if(failed)
  fail("unzip could not unpack ${ZIP}")
endif()

foreach(file readcard.dll readcard.dll.debug cardhost.exe README.txt include/readcard.h lib/libreadcard.dll.a
             lib/readcard.lib lib/readcard.def simulator/SSCardDriver.dll simulator/README.txt
             docs/deployment.md docs/zh-CN/部署说明.md docs/host-guide.md docs/Login.ini.example)
  if(NOT EXISTS ${root}/${file})
    fail("the package lacks ${file}")
  endif()
endforeach()
if(EXISTS ${root}/SSCardDriver.dll)
  fail("the simulated driver must not lie beside readcard.dll in the package")
endif()
# The DLL ships lean: stripped, at most 400 KB, its debug information in
# readcard.dll.debug beside it. Through the link to that file, the address of
# an export resolves to its source line, as a crash address would.
set(dll ${root}/readcard.dll)
file(SIZE ${dll} dll_size)
if(dll_size GREATER 409600)
  fail("readcard.dll is ${dll_size} bytes, more than 400 KB")
endif()
# Every program of ours ships stripped too, naming its debug file beside it.
foreach(program cardhost.exe readcard.dll cardservice.exe readcard-driverhost.exe
                x64/readcard-driverhost.exe)
  # objdump's own words in English, whatever the locale of the test.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${OBJDUMP} -h -p ${root}/${program}
                  OUTPUT_VARIABLE headers)
  if(headers MATCHES "[ \t]\\.debug_")
    fail("${program} in the package still carries debug sections")
  endif()
  if(NOT headers MATCHES "\\.gnu_debuglink" OR NOT EXISTS ${root}/${program}.debug)
    fail("${program} in the package does not name a debug file beside it")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${OBJDUMP} -h -p ${dll}
                OUTPUT_VARIABLE headers)
string(REGEX MATCH "ImageBase[ \t]+([0-9a-fA-F]+)" ignored "${headers}")
set(image_base ${CMAKE_MATCH_1})
string(REGEX MATCH "\\[ +1\\] \\+base\\[ +2\\] ([0-9a-fA-F]+) Export RVA" ignored
       "${headers}")
set(qtz_dkh_rva ${CMAKE_MATCH_1})
if(NOT image_base OR NOT qtz_dkh_rva)
  fail("cannot find the image base and the address of QTZ_DKH (ordinal 2)")
endif()
math(EXPR qtz_dkh_address "0x${image_base} + 0x${qtz_dkh_rva}" OUTPUT_FORMAT HEXADECIMAL)
execute_process(COMMAND ${ADDR2LINE} -e ${dll} ${qtz_dkh_address} OUTPUT_VARIABLE source_line)
message(STATUS "QTZ_DKH at ${qtz_dkh_address}: ${source_line}")
if(NOT source_line MATCHES "card/exports\\.cpp:[0-9]+")
  fail("the address of QTZ_DKH does not resolve through readcard.dll.debug: ${source_line}")
endif()

# x64\: the 64-bit library for 64-bit hosts, stripped like the 32-bit one,
# its import libraries and module definition, and the 32-bit driver host
# that it starts beside itself. Hosts built against the folder alone (a
# MinGW-w64 one and a Visual C++ one) must import the ten functions by name
# from readcard.dll; the 64-bit build's own tests run such hosts.
set(x64 ${root}/x64)
foreach(file readcard.dll readcard.dll.debug lib/readcard.lib lib/libreadcard.dll.a
             lib/readcard.def)
  if(NOT EXISTS ${x64}/${file})
    fail("the package lacks x64/${file}")
  endif()
endforeach()
function(expect_pe binary format)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${ARGN} -f ${binary}
                  OUTPUT_VARIABLE header)
  if(NOT header MATCHES "file format ${format}")
    fail("${binary} is not ${format}:\n${header}")
  endif()
endfunction()
expect_pe(${x64}/readcard.dll pei-x86-64 ${X64_OBJDUMP})
foreach(copy ${root}/readcard-driverhost.exe ${x64}/readcard-driverhost.exe)
  if(NOT EXISTS ${copy})
    fail("the package lacks ${copy}")
  endif()
  expect_pe(${copy} pei-i386 ${OBJDUMP})
endforeach()
set(ten_functions QTZ_DLL_BBH QTZ_DKH QTZ_ErrorString QTZ_FindWindow2 CK_DKH QTZ_HSXK
                  QTZ_YKT_JK_SD SBK_YKT_ICGETINFO SBK_YKT_ICPURCHASE SBK_YKT_ICTRANSLOG)
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${X64_OBJDUMP} -h -p ${x64}/readcard.dll
                OUTPUT_VARIABLE headers)
if(headers MATCHES "[ \t]\\.debug_" OR NOT headers MATCHES "\\.gnu_debuglink")
  fail("x64/readcard.dll must ship stripped and name its debug file")
endif()
# objdump lists each name with its ordinal less the base, 1.
set(ordinal 1)
foreach(function IN LISTS ten_functions)
  math(EXPR index "${ordinal} - 1")
  if(NOT headers MATCHES "\\[ +${index}\\] ${function}\n")
    fail("x64/readcard.dll does not export ${function} at ordinal ${ordinal}")
  endif()
  math(EXPR ordinal "${ordinal} + 1")
endforeach()
# The functions a 64-bit host's program imports from readcard.dll.
function(expect_imports_ten binary)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${X64_OBJDUMP} -p ${binary}
                  OUTPUT_VARIABLE dump)
  string(REGEX MATCH "DLL Name: readcard\\.dll\n[^\n]*\n(\t[^\n]+\n)+" imports "${dump}")
  foreach(function IN LISTS ten_functions)
    if(NOT imports MATCHES "[0-9]+  ${function}\n")
      fail("${binary} does not import ${function} from readcard.dll:\n${imports}")
    endif()
  endforeach()
endfunction()
execute_process(COMMAND ${X64_C_COMPILER} -std=c99 -Wall -Werror -O2 -I ${root}/include
                        ${C_HOST_SOURCE} ${x64}/lib/libreadcard.dll.a -o ${fresh}/c_host_x64.exe
                RESULT_VARIABLE failed ERROR_VARIABLE errors)
if(failed)
  fail("a 64-bit C host does not build against x64/lib:\n${errors}")
endif()
expect_pe(${fresh}/c_host_x64.exe pei-x86-64 ${X64_OBJDUMP})
expect_imports_ten(${fresh}/c_host_x64.exe)
execute_process(COMMAND ${CMAKE_COMMAND} -DCLANG=${CLANG} -DLLD_LINK=${LLD_LINK}
                        -DDLLTOOL=${DLLTOOL} -DSOURCE=${MSVC_HOST_SOURCE} -DMACHINE=x64
                        -DINCLUDE=${root}/include -DREADCARD_LIB=${x64}/lib/readcard.lib
                        -DKERNEL32_DEF=${KERNEL32_DEF} -DWORK=${fresh}/msvc_x64
                        -DOUTPUT=${fresh}/msvc_host_x64.exe -P ${MSVC_HOST_SCRIPT}
                RESULT_VARIABLE failed ERROR_VARIABLE errors)
if(failed)
  fail("a 64-bit Visual C++ style host does not build against x64/lib:\n${errors}")
endif()
expect_imports_ten(${fresh}/msvc_host_x64.exe)
# Each document has a .txt copy for Notepad: a UTF-8 byte order mark, CR LF.
foreach(copy docs/deployment.txt docs/web-guide.txt docs/zh-CN/部署说明.txt)
  if(NOT EXISTS ${root}/${copy})
    fail("the package lacks ${copy}")
  else()
    file(READ ${root}/${copy} head LIMIT 3 HEX)
    file(READ ${root}/${copy} start LIMIT 400 HEX)
    if(NOT head STREQUAL "efbbbf" OR NOT start MATCHES "0d0a")
      fail("${copy} lacks its byte order mark or CR LF line ends")
    endif()
  endif()
endforeach()

# Notepad needs CR LF line ends. file(READ) drops the carriage returns, so
# they are counted as the difference to the file's size.
set(example_file ${root}/docs/Login.ini.example)
file(READ ${example_file} example)
file(SIZE ${example_file} example_size)
string(LENGTH "${example}" example_length)
string(REGEX MATCHALL "\n" line_ends "${example}")
list(LENGTH line_ends example_lines)
math(EXPR carriage_returns "${example_size} - ${example_length}")
if(NOT carriage_returns EQUAL example_lines OR example_lines EQUAL 0)
  fail("Login.ini.example has ${example_lines} lines but ${carriage_returns} CR")
endif()
if(NOT example MATCHES "\nREALCARD *= *false\n")
  fail("Login.ini.example must switch the virtual card off")
endif()

# On a Chinese desk (as Wine runs here) cardhost answers in Chinese; the
# checks below ask for English.
run(output code ${WINE_RUN} ${root}/cardhost.exe QTZ_DLL_BBH --utf8)
expect_output("${output}" "QTZ_DLL_BBH 返回 86")
if(NOT code EQUAL 0)
  fail("cardhost QTZ_DLL_BBH exited with ${code}")
endif()
run(output code ${WINE_RUN} ${root}/cardhost.exe QTZ_DLL_BBH --lang en)
expect_output("${output}" "QTZ_DLL_BBH returned 86")

run(output code ${WINE_RUN} ${root}/cardhost.exe --check --lang en)
expect_output("${output}" "readcard.dll +found, QTZ_DLL_BBH answers 86")
expect_output("${output}" "SSCardDriver.dll +ERROR: NOT FOUND")
# No driver is an error (exit code 2).
if(NOT code EQUAL 2)
  fail("cardhost --check without a driver exited with ${code}, not 2")
endif()

# A test PC: the simulator beside readcard.dll, the example as Login.ini.
file(COPY ${root}/simulator/SSCardDriver.dll DESTINATION ${root})
file(COPY_FILE ${root}/docs/Login.ini.example ${root}/Login.ini)
run(output code ${WINE_RUN} ${root}/cardhost.exe --check --lang en)
expect_output("${output}" "exports iReadCardBas")
expect_output("${output}" "SIMULATED card driver")
expect_output("${output}" "REALCARD += \"false\": the virtual card is off")
# The simulated driver is never "no problems": a warning (exit code 1).
if(NOT code EQUAL 1)
  fail("cardhost --check with the simulator exited with ${code}, not 1")
endif()

run(output code ${WINE_RUN} ${root}/cardhost.exe QTZ_DKH --lang en)
expect_output("${output}" "QTZ_DKH returned 0")
run(output code ${WINE_RUN} ${root}/cardhost.exe SBK_YKT_ICGETINFO --lang en)
expect_output("${output}" "SBK_YKT_ICGETINFO returned 0")

# The card service, ready for a desk: the program and its settings, which
# Notepad shows (CR LF) and the service reads as they ship.
foreach(file cardservice.exe cardservice.ini web/cardservice.js web/cardservice.d.ts)
  if(NOT EXISTS ${root}/${file})
    fail("the package lacks ${file}")
  endif()
endforeach()
file(READ ${root}/cardservice.ini service_ini HEX)
if(NOT service_ini MATCHES "0d0a" OR NOT service_ini MATCHES "5b736572766963655d")
  fail("cardservice.ini must hold [service] with CR LF line ends")
endif()
run(output code ${WINE_RUN} ${root}/cardservice.exe --help)
expect_output("${output}" "--install")
if(NOT code EQUAL 0)
  fail("cardservice --help exited with ${code}")
endif()
# A port that cannot be is refused before anything starts.
run(output code ${WINE_RUN} ${root}/cardservice.exe --port 99999)
if(NOT code EQUAL 2)
  fail("cardservice --port 99999 exited with ${code}, not 2")
endif()

# A host developer's program, built against the package alone.
execute_process(COMMAND ${C_COMPILER} -std=c99 -Wall -Werror -O2 -I ${root}/include
                        ${C_HOST_SOURCE} ${root}/lib/libreadcard.dll.a
                        -o ${root}/c_host_test.exe
                RESULT_VARIABLE failed ERROR_VARIABLE errors)
if(failed)
  fail("the C host does not build against the package:\n${errors}")
endif()
run(output code ${WINE_RUN} ${root}/c_host_test.exe)
if(NOT code EQUAL 0)
  fail("the C host built against the package failed")
endif()

# A Visual C++ host's program (clang-cl, lld-link) against the package's
# header and readcard.lib.
execute_process(COMMAND ${CMAKE_COMMAND} -DCLANG=${CLANG} -DLLD_LINK=${LLD_LINK}
                        -DDLLTOOL=${DLLTOOL} -DSOURCE=${MSVC_HOST_SOURCE}
                        -DINCLUDE=${root}/include -DREADCARD_LIB=${root}/lib/readcard.lib
                        -DKERNEL32_DEF=${KERNEL32_DEF} -DWORK=${fresh}/msvc
                        -DOUTPUT=${root}/msvc_host_test.exe -P ${MSVC_HOST_SCRIPT}
                RESULT_VARIABLE failed ERROR_VARIABLE errors)
if(failed)
  fail("the Visual C++ style host does not build against the package:\n${errors}")
endif()
run(output code ${WINE_RUN} ${root}/msvc_host_test.exe)
if(NOT code EQUAL 0)
  fail("the Visual C++ style host built against the package failed")
endif()

file(REMOVE_RECURSE ${fresh})
