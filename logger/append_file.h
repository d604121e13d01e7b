#pragma once
// Platform seam: a file opened for appending that other processes may append
// to at the same time (every host process that loads the library on the same
// day writes the same log file).
//
// Each Append is one system write on a handle opened for appending, so the
// system puts the whole text at the end of the file as it stands at that
// moment: lines from different processes neither overwrite nor split each
// other. Windows: CreateFileA with FILE_APPEND_DATA, shared for reading and
// writing, the writers taking turns through a lock on the file; POSIX: open
// with O_APPEND.
#include <cstdint>
#include <string>

namespace logger {

class AppendFile {
 public:
  // Opens path (narrow text in the system code page), creating the file when
  // it is missing. A file that cannot be opened leaves the object closed:
  // every Append then does nothing.
  explicit AppendFile(const std::string& path);
  ~AppendFile();  // closes the file
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  bool isOpen() const { return m_handle != kClosed; }

  // Writes bytes at the end of the file in one system write, as they are (no
  // conversion of line ends). True when all of them were written.
  bool Append(const std::string& bytes);

 private:
  static constexpr intptr_t kClosed = -1;  // INVALID_HANDLE_VALUE; fd -1
  intptr_t m_handle = kClosed;             // the Windows HANDLE or the POSIX descriptor
};

}  // namespace logger
