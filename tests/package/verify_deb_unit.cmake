cmake_minimum_required(VERSION 3.25)
# The card service's systemd unit in the Debian package, checked by
# systemd-analyze verify in the package's own unpacked root (with this
# system's units beside it, for the targets the unit names), so the
# program it starts is the packaged one. Anything verify says about the
# unit fails the test, warnings included (a misspelt key is only a
# warning); two broken copies of the unit prove the check sees faults.
# (--man=no: the manual page it names is the package's, not this system's.)
#
# DEB, WORK.
file(REMOVE_RECURSE ${WORK})
set(root ${WORK}/root)
file(MAKE_DIRECTORY ${root})

execute_process(COMMAND systemd-analyze --version RESULT_VARIABLE cannot OUTPUT_QUIET ERROR_QUIET)
if(cannot OR NOT IS_DIRECTORY /lib/systemd/system)
  # Only where the tool itself is missing (scripts/setup.sh installs it).
  message(STATUS "SKIPPED: systemd-analyze cannot run here (install systemd); the unit is not verified")
  return()
endif()
execute_process(COMMAND dpkg -x ${DEB} ${root} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "dpkg -x ${DEB} failed")
endif()
set(units ${root}/lib/systemd/system)
file(READ ${units}/cardservice.service unit)
# This system's units, for sysinit.target and the rest of the defaults.
# (cp -n: the package's own unit stays; some names hold backslashes.)
execute_process(COMMAND cp -an /lib/systemd/system/. ${units}/ RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot copy this system's units into ${units}")
endif()

# verify NAME: what systemd-analyze says about the unit NAME.service.
function(verify name)
  execute_process(COMMAND systemd-analyze verify --man=no --root=${root} ${name}.service
                  RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(said "${out}${err}")
  if(failed AND said STREQUAL "")
    set(said "exit code ${failed}")
  endif()
  set(verdict "${said}" PARENT_SCOPE)
endfunction()

# name|text to replace|replacement: copies that verify must find fault with.
foreach(fault "cardservice-misspelt|NoNewPrivileges=|NoNewPrivilege="
              "cardservice-no-program|ExecStart=/usr/bin/cardservice|ExecStart=/usr/bin/cardservice-gone")
  string(REPLACE "|" ";" parts "${fault}")
  list(GET parts 0 name)
  list(GET parts 1 from)
  list(GET parts 2 to)
  string(REPLACE "${from}" "${to}" broken "${unit}")
  if(broken STREQUAL unit)
    message(FATAL_ERROR "the unit has no ${from} to break")
  endif()
  file(WRITE ${units}/${name}.service "${broken}")
  verify(${name})
  if(verdict STREQUAL "")
    message(FATAL_ERROR "systemd-analyze verify found nothing wrong with ${name}.service")
  endif()
  file(REMOVE ${units}/${name}.service)
endforeach()

verify(cardservice)
if(NOT verdict STREQUAL "")
  message(FATAL_ERROR "systemd-analyze verify cardservice.service:\n${verdict}")
endif()
message(STATUS "cardservice.service: systemd-analyze verify finds nothing to say")
