cmake_minimum_required(VERSION 3.25)
# Unpacks ZIP into a fresh temporary directory with the standard unzip tool,
# checks its contents and runs its host tool from there under Wine (WINE_RUN);
# then builds the C host test against the package's header and import library
# and runs it beside the package's readcard.dll.
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
execute_process(COMMAND unzip -q ${ZIP} -d ${fresh} RESULT_VARIABLE failed)
if(failed)
  fail("unzip could not unpack ${ZIP}")
endif()

foreach(file readcard.dll cardhost.exe README.txt include/readcard.h lib/libreadcard.dll.a
             lib/readcard.def simulator/SSCardDriver.dll simulator/README.txt
             docs/deployment.md docs/host-guide.md docs/Login.ini.example)
  if(NOT EXISTS ${root}/${file})
    fail("the package lacks ${file}")
  endif()
endforeach()
if(EXISTS ${root}/SSCardDriver.dll)
  fail("the simulated driver must not lie beside readcard.dll in the package")
endif()
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

run(output code ${WINE_RUN} ${root}/cardhost.exe QTZ_DLL_BBH)
expect_output("${output}" "QTZ_DLL_BBH returned 86")
if(NOT code EQUAL 0)
  fail("cardhost QTZ_DLL_BBH exited with ${code}")
endif()

run(output code ${WINE_RUN} ${root}/cardhost.exe --check)
expect_output("${output}" "readcard.dll +found, QTZ_DLL_BBH answers 86")
expect_output("${output}" "SSCardDriver.dll +NOT FOUND")
if(NOT code EQUAL 1)
  fail("cardhost --check without a driver exited with ${code}, not 1")
endif()

# A test PC: the simulator beside readcard.dll, the example as Login.ini.
file(COPY ${root}/simulator/SSCardDriver.dll DESTINATION ${root})
file(COPY_FILE ${root}/docs/Login.ini.example ${root}/Login.ini)
run(output code ${WINE_RUN} ${root}/cardhost.exe --check)
expect_output("${output}" "exports iReadCardBas")
expect_output("${output}" "SIMULATED card driver")
expect_output("${output}" "REALCARD += \"false\": the virtual card is off")
if(NOT code EQUAL 0)
  fail("cardhost --check with the simulator exited with ${code}, not 0")
endif()

run(output code ${WINE_RUN} ${root}/cardhost.exe QTZ_DKH)
expect_output("${output}" "QTZ_DKH returned 0")
run(output code ${WINE_RUN} ${root}/cardhost.exe SBK_YKT_ICGETINFO)
expect_output("${output}" "SBK_YKT_ICGETINFO returned 0")

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

file(REMOVE_RECURSE ${fresh})
