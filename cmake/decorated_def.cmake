cmake_minimum_required(VERSION 3.25)
# Writes OUTPUT, the module definition that import libraries are made from:
# each export of SOURCE (card/readcard.def, "NAME = NAME@BYTES @ORDINAL") under
# its __stdcall decorated name, "NAME@BYTES @ORDINAL". dlltool -k then makes
# an import library whose symbol _NAME@BYTES, the one a __stdcall caller
# refers to, imports the DLL's plain export NAME.
# With -DPLAIN=ON (x64, which has one calling convention and decorates no
# name), each export is "NAME @ORDINAL": the 64-bit DLL links with it and its
# import libraries are made from it.
file(STRINGS "${SOURCE}" lines)
if(PLAIN)
  set(text "; readcard.dll for 64-bit hosts: exports by name and ordinal.\n")
  string(APPEND text "; Import library: dlltool -d readcard.def -l libreadcard.dll.a\n")
else()
  set(text "; readcard.dll: exports with their __stdcall decorated names.\n")
  string(APPEND text "; Import library: dlltool -d readcard.def -k -l libreadcard.dll.a\n")
endif()
set(count 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*(LIBRARY|EXPORTS)")
    string(APPEND text "${line}\n")
  elseif(line MATCHES "^[ \t]*([A-Za-z0-9_]+)[ \t]*=[ \t]*([A-Za-z0-9_]+)(@[0-9]+)[ \t]+(@[0-9]+)[ \t]*$")
    if(NOT CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
      message(FATAL_ERROR "${SOURCE}: ${CMAKE_MATCH_1} is exported under another name")
    endif()
    if(PLAIN)
      string(APPEND text "    ${CMAKE_MATCH_1} ${CMAKE_MATCH_4}\n")
    else()
      string(APPEND text "    ${CMAKE_MATCH_1}${CMAKE_MATCH_3} ${CMAKE_MATCH_4}\n")
    endif()
    math(EXPR count "${count} + 1")
  elseif(NOT line MATCHES "^[ \t]*(;.*)?$")
    message(FATAL_ERROR "${SOURCE}: cannot read the line '${line}'")
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${SOURCE}: no exports found")
endif()
file(WRITE "${OUTPUT}" "${text}")
