cmake_minimum_required(VERSION 3.25)
# Builds SOURCE as Visual C++ builds a host program: clang in its cl mode
# for i686-pc-windows-msvc (MACHINE x86, the default) or
# x86_64-pc-windows-msvc (MACHINE x64), lld-link, no C runtime (the program
# has its own entry point HostMain), linked against READCARD_LIB and a
# kernel32.lib that llvm-dlltool makes from KERNEL32_DEF in WORK. Writes
# OUTPUT.
#   cmake -DCLANG=... -DLLD_LINK=... -DDLLTOOL=... -DSOURCE=... -DINCLUDE=...
#         -DREADCARD_LIB=... -DKERNEL32_DEF=... -DWORK=... -DOUTPUT=...
#         [-DMACHINE=x64] -P this
foreach(variable CLANG LLD_LINK DLLTOOL SOURCE INCLUDE READCARD_LIB KERNEL32_DEF WORK OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "build_msvc_host.cmake needs -D${variable}=...")
  endif()
endforeach()
file(MAKE_DIRECTORY ${WORK})

function(step what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE output
                  ERROR_VARIABLE output)
  if(failed)
    message(FATAL_ERROR "${what} failed:\n${ARGN}\n${output}")
  endif()
endfunction()

if(NOT DEFINED MACHINE)
  set(MACHINE x86)
endif()
if(MACHINE STREQUAL x64)
  # x64 decorates no name: kernel32's functions under their plain names.
  file(READ ${KERNEL32_DEF} text)
  string(REGEX REPLACE "@[0-9]+" "" text "${text}")
  file(WRITE ${WORK}/kernel32.def "${text}")
  step("making kernel32.lib" ${DLLTOOL} -m i386:x86-64 -d ${WORK}/kernel32.def
       -l ${WORK}/kernel32.lib)
  set(target x86_64-pc-windows-msvc)
elseif(MACHINE STREQUAL x86)
  step("making kernel32.lib" ${DLLTOOL} -m i386 -k -d ${KERNEL32_DEF} -l ${WORK}/kernel32.lib)
  set(target i686-pc-windows-msvc)
else()
  message(FATAL_ERROR "MACHINE is x86 or x64, not ${MACHINE}")
endif()
# /GS-: no security cookie, which needs the C runtime. /Zl: no default C
# runtime named in the object. '--' ends the options: paths start with '/'.
step("compiling ${SOURCE}" ${CLANG} --driver-mode=cl --target=${target}
     /nologo /c /O2 /GS- /Zl /W4 /WX -I ${INCLUDE} /Fo${WORK}/host.obj -- ${SOURCE})
step("linking ${OUTPUT}" ${LLD_LINK} /nologo /machine:${MACHINE} /subsystem:console
     /entry:HostMain /nodefaultlib /out:${OUTPUT} ${WORK}/host.obj ${READCARD_LIB}
     ${WORK}/kernel32.lib)
