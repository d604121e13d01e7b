#pragma once
// The web files that the service serves, built into the program from web/
// (the generated web_files.cpp), so that a desk needs no folder of them.
#include <cstddef>
#include <string>

namespace service {

struct WebFile {
  const char* path;         // the request path that serves it, e.g. "/status.js"
  const char* contentType;  // its Content-Type header
  const unsigned char* data;
  std::size_t size;
};

// The file served at path, or nullptr.
const WebFile* FindWebFile(const std::string& path);

}  // namespace service
