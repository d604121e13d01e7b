cmake_minimum_required(VERSION 3.25)
# Writes OUTPUT, a C++ source holding the web files of WEB_DIR as byte arrays
# and FindWebFile over them. FILES is a comma-separated list of
# file=path: the file below WEB_DIR and the request path that serves it.
set(table "")
set(arrays "")
string(REPLACE "," ";" FILES "${FILES}")
foreach(entry IN LISTS FILES)
  string(REPLACE "=" ";" pair "${entry}")
  list(GET pair 0 file)
  list(GET pair 1 path)
  if(file MATCHES "\\.html$")
    set(type "text/html; charset=utf-8")
  elseif(file MATCHES "\\.d\\.ts$")
    set(type "text/plain; charset=utf-8")
  elseif(file MATCHES "\\.js$")
    set(type "text/javascript; charset=utf-8")
  elseif(file MATCHES "\\.css$")
    set(type "text/css; charset=utf-8")
  else()
    set(type "application/octet-stream")
  endif()
  file(READ ${WEB_DIR}/${file} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(MAKE_C_IDENTIFIER "${file}" name)
  string(APPEND arrays "const unsigned char k_${name}[] = {${bytes}0x00};\n")
  string(APPEND table "    {\"${path}\", \"${type}\", k_${name}, ${size}},\n")
endforeach()
file(WRITE ${OUTPUT}.new
"// Generated from web/ by service/embed_web_files.cmake; do not edit.
#include \"service/web_files.h\"

namespace service {
namespace {
${arrays}
const WebFile kFiles[] = {
${table}};
}  // namespace

const WebFile* FindWebFile(const std::string& path) {
  for (const WebFile& file : kFiles) {
    if (path == file.path) return &file;
  }
  return nullptr;
}

}  // namespace service
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
