cmake_minimum_required(VERSION 3.25)
# Packaging with and without a certificate. With one (from a certificate
# authority made here, thrown away after): every .exe and .dll in the zip and
# in the MSI, and the MSI itself, carry an Authenticode signature (SHA-256)
# that osslsigncode verifies against that authority, and against no other,
# with an RFC 3161 time stamp from a time-stamping authority that the same
# authority issued (time_stamp_server.py, on loopback).
# Without one: the build says in one line that the packages are unsigned,
# and nothing is signed.
#   ZIP_COMMAND, ZIP_SCRIPT, MSI_COMMAND, MSI_SCRIPT: the packaging steps
#   NAME, VERSION: the package's name and the MSI's version
#   WORK: a folder for this test (emptied first)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/ca ${WORK}/signed ${WORK}/unsigned ${WORK}/extracted)
set(failure "")

function(openssl)
  execute_process(COMMAND openssl ${ARGN} WORKING_DIRECTORY ${WORK}/ca
                  RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE error)
  if(failed)
    message(FATAL_ERROR "openssl ${ARGN}:\n${error}")
  endif()
endfunction()
# A certificate authority, a code-signing certificate it issued, and an
# authority that issued nothing here.
file(WRITE ${WORK}/ca/signer.ext
     "basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n")
foreach(ca ca other)
  openssl(req -x509 -newkey rsa:2048 -nodes -keyout ${ca}.key -out ${ca}.pem -days 2
          -subj "/CN=readcard test ${ca}" -addext "basicConstraints=critical,CA:TRUE"
          -addext "keyUsage=critical,keyCertSign")
endforeach()
openssl(req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=readcard test signer")
openssl(x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out signer.pem -days 2
        -extfile signer.ext)
# The time-stamping authority's certificate and its settings.
file(WRITE ${WORK}/ca/tsa.ext
     "basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=critical,timeStamping\n")
openssl(req -newkey rsa:2048 -nodes -keyout tsa.key -out tsa.csr -subj "/CN=readcard test time stamps")
openssl(x509 -req -in tsa.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out tsa.pem -days 2
        -extfile tsa.ext)
file(WRITE ${WORK}/ca/serial "01\n")
file(WRITE ${WORK}/ca/tsa.cnf "[tsa]\ndefault_tsa = tsa_config\n[tsa_config]\nserial = ./serial\n"
     "signer_digest = sha256\ndefault_policy = 1.2.3.4.1\ndigests = sha256, sha384, sha512\n"
     "accuracy = secs:1\ness_cert_id_alg = sha256\n")
openssl(pkcs12 -export -out signer.p12 -inkey signer.key -in signer.pem -certfile ca.pem
        -passout "pass:test pass phrase")

# Builds the zip and the MSI into folder; out gets what the build said. In a
# UTF-8 locale, as the build runs: the emulated guest's C locale cannot name
# the Chinese deployment notes in the zip.
function(package out folder)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 ${ZIP_COMMAND} -DSTAGE_PARENT=${WORK}/${folder}
                          -DZIP=${WORK}/${folder}/${NAME}.zip -P ${ZIP_SCRIPT}
                  RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(NOT failed)
    execute_process(COMMAND ${MSI_COMMAND} -DSTAGE=${WORK}/${folder}/${NAME} -DVERSION=${VERSION}
                            -DOUTPUT=${WORK}/${folder}/${NAME}.msi -P ${MSI_SCRIPT}
                    RESULT_VARIABLE failed OUTPUT_VARIABLE msi_said ERROR_VARIABLE msi_said)
    string(APPEND said "${msi_said}")
  endif()
  if(failed)
    message(FATAL_ERROR "packaging into ${folder} failed:\n${said}")
  endif()
  set(${out} "${said}" PARENT_SCOPE)
endfunction()

# 0 when osslsigncode verifies file against the authority ca; its time stamp
# is checked against the same authority.
function(verify out file ca)
  execute_process(COMMAND osslsigncode verify -CAfile ${WORK}/ca/${ca}.pem
                          -TSA-CAfile ${WORK}/ca/${ca}.pem -in ${file}
                  RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(${out} ${code} PARENT_SCOPE)
  set(verify_output "${output}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/time_stamp_server.py ${WORK}/ca
                RESULT_VARIABLE failed)
if(failed OR NOT EXISTS ${WORK}/ca/port)
  message(FATAL_ERROR "the time-stamping authority for the test did not start")
endif()
file(READ ${WORK}/ca/port port)
set(ENV{READCARD_SIGN_TIMESTAMP} http://127.0.0.1:${port}/)
set(ENV{READCARD_SIGN_PKCS12} ${WORK}/ca/signer.p12)
set(ENV{READCARD_SIGN_PASSWORD} "test pass phrase")
package(said signed)
if(said MATCHES "unsigned")
  string(APPEND failure "\na signed build says it is unsigned:\n${said}")
endif()
# The MSI's own files, as Windows Installer will put them on the desk.
execute_process(COMMAND msiextract -C ${WORK}/extracted ${WORK}/signed/${NAME}.msi
                RESULT_VARIABLE failed OUTPUT_QUIET ERROR_VARIABLE error)
if(failed)
  string(APPEND failure "\nmsiextract cannot unpack the signed MSI: ${error}")
endif()
file(GLOB_RECURSE staged ${WORK}/signed/${NAME}/*.exe ${WORK}/signed/${NAME}/*.dll)
file(GLOB_RECURSE extracted ${WORK}/extracted/*.exe ${WORK}/extracted/*.dll)
list(LENGTH staged staged_count)
list(LENGTH extracted extracted_count)
# cardservice.exe, cardhost.exe, readcard.dll and the simulated driver at least.
if(staged_count LESS 4 OR extracted_count LESS 3)
  string(APPEND failure "\nonly ${staged_count} files in the zip's folder and ${extracted_count} in the MSI")
endif()
foreach(file IN LISTS staged extracted ITEMS ${WORK}/signed/${NAME}.msi)
  verify(code ${file} ca)
  if(NOT code EQUAL 0)
    string(APPEND failure "\n${file} does not verify:\n${verify_output}")
  elseif(NOT verify_output MATCHES "Timestamp Server Signature verification: ok")
    # osslsigncode answers 0 for a signature whose time stamp it could not verify.
    string(APPEND failure "\n${file} has no time stamp that verifies:\n${verify_output}")
  else()
    file(RELATIVE_PATH shown ${WORK} ${file})
    message(STATUS "verified: ${shown}")
  endif()
endforeach()
# The check can fail: a signature from another authority does not verify.
verify(code ${WORK}/signed/${NAME}.msi other)
if(code EQUAL 0)
  string(APPEND failure "\nthe MSI verifies against an authority that did not sign it")
endif()

file(WRITE ${WORK}/ca/stop "")
unset(ENV{READCARD_SIGN_TIMESTAMP})
unset(ENV{READCARD_SIGN_PKCS12})
unset(ENV{READCARD_SIGN_PASSWORD})
package(said unsigned)
string(REGEX MATCHALL "[^\n]*unsigned[^\n]*" lines "${said}")
list(LENGTH lines count)
if(NOT count EQUAL 1)
  string(APPEND failure "\nan unsigned build says so in ${count} lines, not one:\n${said}")
endif()
verify(code ${WORK}/unsigned/${NAME}/cardservice.exe ca)
if(code EQUAL 0)
  string(APPEND failure "\ncardservice.exe of an unsigned build verifies")
endif()

if(failure)
  message(FATAL_ERROR "${failure}")
endif()
file(REMOVE_RECURSE ${WORK})
