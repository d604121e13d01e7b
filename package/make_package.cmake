cmake_minimum_required(VERSION 3.25)
# Lays out the release package in STAGE_PARENT/NAME and zips it into ZIP.
# Texts meant for Notepad (README.txt, Login.ini.example) get CR LF line ends;
# so do .txt copies of the documents, with a UTF-8 byte order mark, which
# Notepad on Windows 7 needs to show them as UTF-8 and in lines.
set(stage ${STAGE_PARENT}/${NAME})
file(REMOVE_RECURSE ${stage})
file(REMOVE ${ZIP})
file(MAKE_DIRECTORY ${stage}/include ${stage}/lib ${stage}/docs ${stage}/simulator)

function(copy_text source destination)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
  if(ARGV2 STREQUAL "BOM")
    string(ASCII 239 187 191 bom)  # EF BB BF
    set(text "${bom}${text}")
  endif()
  file(WRITE ${destination} "${text}")
endfunction()

# Each document as it is (for editors and browsers) and as a .txt for
# Notepad.
function(copy_documents pattern destination)
  file(GLOB documents ${pattern})
  file(COPY ${documents} DESTINATION ${destination})
  foreach(document IN LISTS documents)
    get_filename_component(name ${document} NAME_WLE)
    copy_text(${document} ${destination}/${name}.txt BOM)
  endforeach()
endfunction()

# Our programs and DLLs ship stripped; the debug information of each lies
# beside it as <file>.debug, which the file names (.gnu_debuglink), so that
# gdb and addr2line resolve crash addresses of what was shipped. objcopy:
# the binutils of the file's machine.
function(ship_stripped objcopy built directory)
  get_filename_component(name ${built} NAME)
  execute_process(COMMAND ${objcopy} --only-keep-debug ${built} ${directory}/${name}.debug
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot extract the debug information of ${built}")
  endif()
  execute_process(COMMAND ${objcopy} --strip-all --add-gnu-debuglink=${directory}/${name}.debug
                          ${built} ${directory}/${name} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot strip ${built}")
  endif()
endfunction()
ship_stripped(${OBJCOPY} ${READCARD_DLL} ${stage})

# x64\: the 64-bit readcard.dll with its import libraries and module
# definition, and a copy of the 32-bit driver host, which it starts from
# its own directory to run the vendor's 32-bit driver.
file(MAKE_DIRECTORY ${stage}/x64/lib)
ship_stripped(${X64_OBJCOPY} ${X64_DIR}/readcard.dll ${stage}/x64)
file(COPY ${X64_DIR}/lib/libreadcard.dll.a ${X64_DIR}/lib/readcard.lib ${X64_DIR}/lib/readcard.def
     DESTINATION ${stage}/x64/lib)
ship_stripped(${OBJCOPY} ${DRIVERHOST} ${stage}/x64)
ship_stripped(${OBJCOPY} ${CARDHOST} ${stage})
# The driver host runs the vendor's driver for readcard.dll beside it
# (readcard.ini, isolation = process).
ship_stripped(${OBJCOPY} ${DRIVERHOST} ${stage})
# The card service, with its settings beside it as a desk needs them.
ship_stripped(${OBJCOPY} ${CARDSERVICE} ${stage})
copy_text(${CARDSERVICE_INI} ${stage}/cardservice.ini)
file(COPY ${WEB}/cardservice.js ${WEB}/cardservice.d.ts DESTINATION ${stage}/web)
file(COPY ${HEADER} DESTINATION ${stage}/include)
file(COPY ${IMPORT_LIBRARY} ${MSVC_IMPORT_LIBRARY} ${IMPORT_DEF} DESTINATION ${stage}/lib)
file(COPY ${SIMULATED_DRIVER} DESTINATION ${stage}/simulator)
copy_text(${TEXTS}/simulator-README.txt ${stage}/simulator/README.txt)
copy_text(${TEXTS}/README.txt ${stage}/README.txt)
copy_documents(${DOCS}/*.md ${stage}/docs)
copy_documents(${DOCS}/zh-CN/*.md ${stage}/docs/zh-CN)
copy_text(${DOCS}/Login.ini.example ${stage}/docs/Login.ini.example BOM)

include(${TEXTS}/sign.cmake)
file(GLOB_RECURSE binaries ${stage}/*.exe ${stage}/*.dll)
sign_files("${binaries}")

execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${NAME}
                WORKING_DIRECTORY ${STAGE_PARENT} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot write ${ZIP}")
endif()
signing_configured(signed)
if(NOT signed)
  message(STATUS "readcard: READCARD_SIGN_PKCS12 is not set: the zip and the MSI are built unsigned")
endif()
