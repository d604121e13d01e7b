cmake_minimum_required(VERSION 3.25)
# Writes OUTPUT, the module definition that import libraries are made from:
# each export of SOURCE (card/readcard.def, "NAME = NAME@BYTES @ORDINAL") under
# its __stdcall decorated name, "NAME@BYTES @ORDINAL". dlltool -k then makes
# an import library whose symbol _NAME@BYTES, the one a __stdcall caller
# refers to, imports the DLL's plain export NAME.
file(STRINGS "${SOURCE}" lines)
set(text "; readcard.dll: exports with their __stdcall decorated names.\n")
string(APPEND text "; Import library: dlltool -d readcard.def -k -l libreadcard.dll.a\n")
set(count 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*(LIBRARY|EXPORTS)")
    string(APPEND text "${line}\n")
  elseif(line MATCHES "^[ \t]*([A-Za-z0-9_]+)[ \t]*=[ \t]*([A-Za-z0-9_]+)(@[0-9]+)[ \t]+(@[0-9]+)[ \t]*$")
    if(NOT CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
      message(FATAL_ERROR "${SOURCE}: ${CMAKE_MATCH_1} is exported under another name")
    endif()
    string(APPEND text "    ${CMAKE_MATCH_1}${CMAKE_MATCH_3} ${CMAKE_MATCH_4}\n")
    math(EXPR count "${count} + 1")
  elseif(NOT line MATCHES "^[ \t]*(;.*)?$")
    message(FATAL_ERROR "${SOURCE}: cannot read the line '${line}'")
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${SOURCE}: no exports found")
endif()
file(WRITE "${OUTPUT}" "${text}")
