#include "tests/support/scratch_directory.h"

#include <stdexcept>

#include "tests/support/files.h"

namespace testing_support {

ScratchDirectory::ScratchDirectory() : m_path(MakeTempDirectory()) {}

ScratchDirectory::~ScratchDirectory() { RemoveTree(m_path); }

std::string ScratchDirectory::File(const std::string& name) const { return m_path + name; }

std::string ScratchDirectory::Write(const std::string& name, const std::string& bytes) {
  std::string path = File(name);
  if (!WriteBytes(path, bytes)) throw std::runtime_error("cannot write " + path);
  return path;
}

std::string ScratchDirectory::Copy(const std::string& source, const std::string& name) {
  if (!IsFile(source)) throw std::runtime_error("cannot read " + source);
  return Write(name, ReadBytes(source));
}

}  // namespace testing_support
