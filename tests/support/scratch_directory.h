#pragma once
// A fresh directory under the system's temporary directory for the files that
// one test writes; it removes those files and itself when it ends.
#include <string>
#include <vector>

namespace testing_support {

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  // The directory, with its trailing separator.
  const std::string& path() const { return m_path; }

  // The full path of name inside the directory; the file, once something
  // creates it, is removed with the directory.
  std::string File(const std::string& name);

  // Writes bytes, exactly as given, into the file name; returns its path.
  std::string Write(const std::string& name, const std::string& bytes);

  // Copies the file at source into the directory under name; returns the path.
  std::string Copy(const std::string& source, const std::string& name);

 private:
  std::string m_path;
  std::vector<std::string> m_files;
};

// The whole content of a file, read as bytes; "" when it cannot be read.
std::string ReadBytes(const std::string& path);

}  // namespace testing_support
