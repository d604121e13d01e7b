#include "tests/support/scratch_directory.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#include <unistd.h>
#endif

namespace testing_support {

namespace {

std::string MakeDirectory() {
#ifdef _WIN32
  char temp[MAX_PATH] = {};
  if (GetTempPathA(MAX_PATH, temp) == 0) throw std::runtime_error("no temp path");
  static unsigned counter = 0;
  for (;;) {
    std::string path = std::string(temp) + "readcard-" +
                       std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(++counter);
    if (CreateDirectoryA(path.c_str(), nullptr)) return path + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      throw std::runtime_error("cannot create " + path);
  }
#else
  char pattern[] = "/tmp/readcard-XXXXXX";
  if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
  return std::string(pattern) + "/";
#endif
}

void RemoveEmptyDirectory(const std::string& path) {
#ifdef _WIN32
  RemoveDirectoryA(path.c_str());
#else
  rmdir(path.c_str());
#endif
}

}  // namespace

ScratchDirectory::ScratchDirectory() : m_path(MakeDirectory()) {}

ScratchDirectory::~ScratchDirectory() {
  for (const std::string& file : m_files) std::remove(file.c_str());
  RemoveEmptyDirectory(m_path);
}

std::string ScratchDirectory::File(const std::string& name) {
  std::string path = m_path + name;
  m_files.push_back(path);
  return path;
}

std::string ScratchDirectory::Write(const std::string& name,
                                    const std::string& bytes) {
  std::string path = File(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

std::string ScratchDirectory::Copy(const std::string& source,
                                   const std::string& name) {
  std::ifstream in(source, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + source);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return Write(name, bytes.str());
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in),
                     std::istreambuf_iterator<char>());
}

}  // namespace testing_support
