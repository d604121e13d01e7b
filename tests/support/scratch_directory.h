#pragma once
// A fresh directory under the system's temporary directory for the files that
// one test writes; it removes itself and everything in it when it ends.
#include <string>

namespace testing_support {

class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  // The directory, with its trailing separator.
  const std::string& path() const { return m_path; }

  // The full path of name inside the directory.
  std::string File(const std::string& name) const;

  // Writes bytes, exactly as given, into the file name; returns its path.
  std::string Write(const std::string& name, const std::string& bytes);

  // Copies the file at source into the directory under name; returns the path.
  std::string Copy(const std::string& source, const std::string& name);

 private:
  std::string m_path;
};

}  // namespace testing_support
