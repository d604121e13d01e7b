cmake_minimum_required(VERSION 3.25)
# Lays out the release package in STAGE_PARENT/NAME and zips it into ZIP.
# Texts meant for Notepad (README.txt, Login.ini.example) get CR LF line ends.
set(stage ${STAGE_PARENT}/${NAME})
file(REMOVE_RECURSE ${stage})
file(REMOVE ${ZIP})
file(MAKE_DIRECTORY ${stage}/include ${stage}/lib ${stage}/docs ${stage}/simulator)

function(copy_text source destination)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
  file(WRITE ${destination} "${text}")
endfunction()

# readcard.dll ships stripped; its debug information lies beside it as
# readcard.dll.debug, which the DLL names (.gnu_debuglink), so that gdb and
# addr2line resolve crash addresses of the shipped DLL.
execute_process(COMMAND ${OBJCOPY} --only-keep-debug ${READCARD_DLL}
                        ${stage}/readcard.dll.debug RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot extract the debug information of ${READCARD_DLL}")
endif()
execute_process(COMMAND ${OBJCOPY} --strip-all
                        --add-gnu-debuglink=${stage}/readcard.dll.debug
                        ${READCARD_DLL} ${stage}/readcard.dll RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot strip ${READCARD_DLL}")
endif()
file(COPY ${CARDHOST} DESTINATION ${stage})
# The card service, with its settings beside it as a desk needs them.
if(CARDSERVICE)
  file(COPY ${CARDSERVICE} DESTINATION ${stage})
  copy_text(${CARDSERVICE_INI} ${stage}/cardservice.ini)
  file(COPY ${WEB}/cardservice.js ${WEB}/cardservice.d.ts DESTINATION ${stage}/web)
endif()
file(COPY ${HEADER} DESTINATION ${stage}/include)
file(COPY ${IMPORT_LIBRARY} ${MSVC_IMPORT_LIBRARY} ${IMPORT_DEF} DESTINATION ${stage}/lib)
file(COPY ${SIMULATED_DRIVER} DESTINATION ${stage}/simulator)
copy_text(${TEXTS}/simulator-README.txt ${stage}/simulator/README.txt)
copy_text(${TEXTS}/README.txt ${stage}/README.txt)
file(GLOB documents ${DOCS}/*.md)
file(COPY ${documents} DESTINATION ${stage}/docs)
file(GLOB chinese_documents ${DOCS}/zh-CN/*.md)
file(COPY ${chinese_documents} DESTINATION ${stage}/docs/zh-CN)
copy_text(${DOCS}/Login.ini.example ${stage}/docs/Login.ini.example)

execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${NAME}
                WORKING_DIRECTORY ${STAGE_PARENT} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot write ${ZIP}")
endif()
