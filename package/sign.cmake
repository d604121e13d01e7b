# Authenticode signing (SHA-256, osslsigncode) of the files we ship, with the
# certificate the environment names:
#   READCARD_SIGN_PKCS12    a .pfx/.p12 file with the key and its chain
#   READCARD_SIGN_PASSWORD  its password
#   READCARD_SIGN_TIMESTAMP an RFC 3161 time-stamping URL (optional)
# Without READCARD_SIGN_PKCS12 the files stay unsigned.

# True when a certificate is configured.
function(signing_configured out)
  if("$ENV{READCARD_SIGN_PKCS12}" STREQUAL "")
    set(${out} FALSE PARENT_SCOPE)
  else()
    set(${out} TRUE PARENT_SCOPE)
  endif()
endfunction()

# Signs each of files in place; fails the build when one cannot be signed.
function(sign_files files)
  signing_configured(configured)
  if(NOT configured OR NOT files)
    return()
  endif()
  find_program(OSSLSIGNCODE osslsigncode REQUIRED)
  set(certificate "$ENV{READCARD_SIGN_PKCS12}")
  if(NOT EXISTS "${certificate}")
    message(FATAL_ERROR "READCARD_SIGN_PKCS12 names ${certificate}, which does not exist")
  endif()
  # The password goes through a file, not the command line others can read.
  string(RANDOM LENGTH 12 suffix)
  set(password_file "${CMAKE_CURRENT_BINARY_DIR}/.sign-${suffix}")
  file(WRITE "${password_file}" "$ENV{READCARD_SIGN_PASSWORD}")
  file(CHMOD "${password_file}" PERMISSIONS OWNER_READ OWNER_WRITE)
  set(timestamp)
  if(NOT "$ENV{READCARD_SIGN_TIMESTAMP}" STREQUAL "")
    set(timestamp -ts "$ENV{READCARD_SIGN_TIMESTAMP}")
  endif()
  set(problem "")
  foreach(file IN LISTS files)
    execute_process(COMMAND ${OSSLSIGNCODE} sign -pkcs12 "${certificate}"
                            -readpass "${password_file}" -h sha256 -n readcard ${timestamp}
                            -in "${file}" -out "${file}.signed"
                    RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(failed)
      set(problem "cannot sign ${file}:\n${output}")
      break()
    endif()
    file(RENAME "${file}.signed" "${file}")
  endforeach()
  file(REMOVE "${password_file}")
  if(problem)
    message(FATAL_ERROR "${problem}")
  endif()
endfunction()
