cmake_minimum_required(VERSION 3.25)
# Builds readcard-<version>.msi with wixl from the files of the release
# package laid out in STAGE (stripped and, when a certificate is set, signed
# there already), and signs the MSI itself.
#   STAGE     the zip's staging folder
#   VERSION   the MSI's version, major.minor.build (86.0.0)
#   OUTPUT    the .msi to write
#   WIXL      wixl
#   TEMPLATE  readcard.wxs.in
#   TEXTS     this folder (sign.cmake)
# The product code follows from the version, so that the same version built
# again is the same product (a re-run reconfigures it) and another version
# is another product (it upgrades).
get_filename_component(work ${OUTPUT} DIRECTORY)
string(REGEX MATCH "^[0-9]+" VERSION_MAJOR ${VERSION})
set(MSI_VERSION ${VERSION})
string(UUID PRODUCT_CODE NAMESPACE 8a3f2c47-5d1e-4b6a-9c0d-7e2f4a6b8c91 NAME "product ${VERSION}"
       TYPE SHA1 UPPER)

# Each file its own component, its key path.
set(COMPONENTS "")
set(DOC_COMPONENTS "")
set(COMPONENT_REFS "")
# wixl takes sources relative to where it runs: the staging folder.
function(add_file list directory name source)
  file(RELATIVE_PATH source ${STAGE} ${source})
  string(MAKE_C_IDENTIFIER "${name}" id)
  set(${list} "${${list}}          <Component Id=\"c_${id}\" Guid=\"*\">\n            <File Id=\"${name}\" Name=\"${name}\" Source=\"${source}\" KeyPath=\"yes\"/>\n          </Component>\n" PARENT_SCOPE)
  set(COMPONENT_REFS "${COMPONENT_REFS}      <ComponentRef Id=\"c_${id}\"/>\n" PARENT_SCOPE)
endfunction()
foreach(name cardservice.exe readcard.dll cardhost.exe)
  if(NOT EXISTS ${STAGE}/${name})
    message(FATAL_ERROR "${STAGE}/${name} is missing: the MSI needs it")
  endif()
  add_file(COMPONENTS INSTALLDIR ${name} ${STAGE}/${name})
endforeach()
# The driver host, once the build makes it.
if(EXISTS ${STAGE}/readcard-driverhost.exe)
  add_file(COMPONENTS INSTALLDIR readcard-driverhost.exe ${STAGE}/readcard-driverhost.exe)
endif()
add_file(COMPONENTS INSTALLDIR README.txt ${STAGE}/README.txt)
foreach(name deployment.md msi-deployment.md web-guide.md cardservice.md)
  if(EXISTS ${STAGE}/docs/${name})
    add_file(DOC_COMPONENTS DOCSDIR ${name} ${STAGE}/docs/${name})
  endif()
endforeach()
# The Chinese notes under ASCII names: Windows Installer's file names stand
# in the package's code page.
foreach(pair 部署说明=deployment.zh-CN.md MSI部署=msi-deployment.zh-CN.md)
  string(REPLACE "=" ";" pair ${pair})
  list(GET pair 0 stem)
  list(GET pair 1 name)
  if(EXISTS ${STAGE}/docs/zh-CN/${stem}.md)
    add_file(DOC_COMPONENTS DOCSDIR ${name} ${STAGE}/docs/zh-CN/${stem}.md)
  endif()
endforeach()

# A removal that forgets the desk (Wine's msiexec, which removes an older
# version without telling it that a newer one takes over) leaves this
# version the settings read before: each empty property takes them.
set(PREVIOUS_PROPERTIES "")
set(KEEP_ACTIONS "")
set(KEEP_SEQUENCE "")
set(sequence 51)
foreach(pair PORT=port ORIGINS=origins TIMEOUT=timeout DRIVERDIR=driverdir HISDIR=hisdir
             BROWSERPOLICY=browserpolicy)
  string(REPLACE "=" ";" pair ${pair})
  list(GET pair 0 property)
  list(GET pair 1 key)
  string(APPEND PREVIOUS_PROPERTIES "    <Property Id=\"PREVIOUS${property}\">\n      <RegistrySearch Id=\"previous_${key}\" Root=\"HKLM\" Key=\"SOFTWARE\\readcard\\cardservice\" Name=\"${key}\" Type=\"raw\"/>\n    </Property>\n")
  string(APPEND KEEP_ACTIONS "    <CustomAction Id=\"Keep${property}\" Property=\"${property}\" Value=\"[PREVIOUS${property}]\"/>\n")
  string(APPEND KEEP_SEQUENCE "      <Custom Action=\"Keep${property}\" Sequence=\"${sequence}\">NOT ${property} AND PREVIOUS${property}</Custom>\n")
  math(EXPR sequence "${sequence} + 1")
endforeach()

configure_file(${TEMPLATE} ${work}/readcard.wxs @ONLY)
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${WIXL} -a x86 -o ${OUTPUT} ${work}/readcard.wxs
                WORKING_DIRECTORY ${STAGE} RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(failed OR NOT EXISTS ${OUTPUT})
  message(FATAL_ERROR "wixl could not build ${OUTPUT}:\n${output}")
endif()
include(${TEXTS}/sign.cmake)
sign_files(${OUTPUT})
