cmake_minimum_required(VERSION 3.25)
# Fails when the binary BINARY imports a function that 32-bit Windows XP SP3
# lacks: the XP loader then refuses to load it ("entry point not found").
# MISSING lists such functions as "DLL!Function", one a line ("#" starts a
# comment); "DLL!*suffix" stands for every function of DLL ending in suffix.
# objdump's own words in English, whatever the locale of the test.
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${OBJDUMP} -p ${BINARY}
                OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${BINARY}")
endif()
get_filename_component(binary_name "${BINARY}" NAME)

# The import table, as "dll!function" in lower case for the DLL name.
set(imports "")
set(dll "")
string(REPLACE "\n" ";" lines "${dump}")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*DLL Name: ([^ \t\r]+)")
    string(TOLOWER "${CMAKE_MATCH_1}" dll)
  elseif(dll AND line MATCHES "^\t[0-9a-f]+\t +[0-9]+ +([A-Za-z_][A-Za-z0-9_@]*)")
    list(APPEND imports "${dll}!${CMAKE_MATCH_1}")
  elseif(line MATCHES "^[ \t\r]*$")
    set(dll "")
  endif()
endforeach()
list(LENGTH imports count)
if(count LESS 10)
  message(FATAL_ERROR "only ${count} imported functions found in ${binary_name}: "
                      "the import table was not read, the check would prove nothing")
endif()

file(STRINGS ${MISSING} entries REGEX "^[^#].*!")
set(refused "")
foreach(entry IN LISTS entries)
  string(STRIP "${entry}" entry)
  string(REGEX MATCH "^([^!]+)!(.+)$" parts "${entry}")
  string(TOLOWER "${CMAKE_MATCH_1}" missing_dll)
  set(missing_function "${CMAKE_MATCH_2}")
  foreach(import IN LISTS imports)
    string(REGEX MATCH "^([^!]+)!(.+)$" parts "${import}")
    if(NOT CMAKE_MATCH_1 STREQUAL missing_dll)
      continue()
    endif()
    set(function "${CMAKE_MATCH_2}")
    if(missing_function MATCHES "^\\*(.*)$")
      # Function names are plain identifiers: the suffix is a safe pattern.
      if(function MATCHES "${CMAKE_MATCH_1}$")
        list(APPEND refused "${import}")
      endif()
    elseif(function STREQUAL missing_function)
      list(APPEND refused "${import}")
    endif()
  endforeach()
endforeach()

if(refused)
  list(REMOVE_DUPLICATES refused)
  list(JOIN refused ", " refused_text)
  message(FATAL_ERROR "${binary_name} imports what Windows XP lacks: ${refused_text}")
endif()
message(STATUS "${binary_name}: ${count} imported functions, all present on Windows XP SP3")
