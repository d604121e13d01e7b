cmake_minimum_required(VERSION 3.25)
# Runs a host program that is not ours (Python through ctypes, Java through
# JNA, C linked with -lreadcard) the way a Linux desk runs it: the host
# starts in a directory of its own, READCARD_HOME names a scratch desk
# directory with Login.ini, the simulated libSSCardDriver.so and its answer.
# Two rounds, the card read through the driver and Login.ini's virtual card;
# the host prints each answer on a line (texts as hex), which must be what
# the library answers; the log must lie in the desk directory, lines in LF
# (CR LF on Windows). A Windows desk (HOST_PROGRAM given) is the host program's own directory:
# the program, readcard.dll, the driver and whatever else DESK_FILES names
# are copied there, and the program runs from there, started elsewhere.
#
# NAME, WORK (a scratch directory of the build), DATA (this directory),
# DRIVER (the simulated driver), COMMAND (the host's command line, items
# separated by |), optional PREPARE (a command to run first, e.g. javac) and
# EMULATOR (the cross build's emulator, items separated by |). Windows:
# HOST_PROGRAM (appended to COMMAND as the desk's copy), DESK_FILES (items
# separated by |; DRIVER is copied as SSCardDriver.dll) and READCARD_INI
# (a file copied to the desk as readcard.ini).
string(REPLACE "|" ";" command "${COMMAND}")
string(REPLACE "|" ";" prepare "${PREPARE}")
string(REPLACE "|" ";" emulator "${EMULATOR}")
string(REPLACE "|" ";" desk_files "${DESK_FILES}")
set(desk ${WORK}/desk/)
set(elsewhere ${WORK}/elsewhere)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${desk} ${elsewhere})
if(HOST_PROGRAM)
  file(COPY ${HOST_PROGRAM} ${desk_files} DESTINATION ${desk})
  file(COPY_FILE ${DRIVER} ${desk}SSCardDriver.dll)
  get_filename_component(host_name ${HOST_PROGRAM} NAME)
  list(APPEND command ${desk}${host_name})
else()
  file(COPY_FILE ${DRIVER} ${desk}libSSCardDriver.so)
endif()
if(READCARD_INI)
  file(COPY_FILE ${READCARD_INI} ${desk}readcard.ini)
endif()
# The simulated driver answers A|B|0000777888|D|<a GBK name>|F|G|H|I.
file(COPY_FILE ${DATA}/SSCardDriver.txt ${desk}SSCardDriver.txt)

if(prepare)
  execute_process(COMMAND ${prepare} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE rc
                  OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NAME}: preparing the host failed (${rc}):\n${out}")
  endif()
endif()

function(hex_of text variable)
  string(HEX "${text}" hex)
  set(${variable} ${hex} PARENT_SCOPE)
endfunction()
hex_of("0000123456" magnetic)
hex_of("0000777888" card)
hex_of("0000654321" virtual)
# A#H#2#<number>#01#B#<name>######D#, the name's GBK bytes as they came.
hex_of("A#H#2#0000777888#01#B#" info_head)
hex_of("######D#" info_tail)
set(info "${info_head}d5c5c8fd${info_tail}")

function(run_round ini number)
  file(COPY_FILE ${DATA}/${ini} ${desk}Login.ini)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env READCARD_HOME=${desk} ${emulator} ${command}
                  WORKING_DIRECTORY ${elsewhere} RESULT_VARIABLE rc
                  OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REPLACE "\r\n" "\n" out "${out}")  # a Windows console's line ends
  string(JOIN "\n" expected
    "QTZ_DLL_BBH 86"
    "inactive 0 0 0 0 0 0"
    "CK_DKH -1 -"
    "CK_DKH 0 ${magnetic}"
    "QTZ_DKH 0 ${number} ${number}"
    "SBK_YKT_ICGETINFO 0 0 ${info}"
    "")
  if(NOT rc EQUAL 0 OR NOT out STREQUAL expected)
    message(FATAL_ERROR "${NAME} with ${ini}: exit code ${rc}; printed\n${out}\n"
                        "instead of\n${expected}\n${err}")
  endif()
  message(STATUS "${NAME} with ${ini}: every answer as expected")
endfunction()
run_round(Login-real.ini ${card})
run_round(Login-virtual.ini ${virtual})

# Both refused tracks were logged, in GBK, in the desk's Log/readcard/.
file(GLOB logs ${desk}Log/readcard/qtz-*.log)
list(LENGTH logs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "${NAME}: ${count} log files in ${desk}Log/readcard/ instead of one")
endif()
file(READ ${logs} log HEX)
set(wrong_length "b4c5bfa8bac5b3a4b6c8b2bbd5fdb3a3")  # "磁卡号长度不正常" in GBK
if(HOST_PROGRAM)
  set(line_end 0d0a)
  set(line_end_name "CR LF")
else()
  set(line_end 0a)
  set(line_end_name LF)
endif()
string(REGEX MATCHALL "${wrong_length}${line_end}" records "${log}")
list(LENGTH records count)
if(NOT count EQUAL 2)
  message(FATAL_ERROR
    "${NAME}: the log holds ${count} wrong-length records ending in ${line_end_name}, not 2")
endif()
if(NOT HOST_PROGRAM AND log MATCHES "0d0a")
  message(FATAL_ERROR "${NAME}: the log has CR LF line ends")
endif()
if(EXISTS ${elsewhere}/Log)
  message(FATAL_ERROR "${NAME}: a log directory appeared in the host's current directory")
endif()
message(STATUS "${NAME}: the log lies in the desk directory")
