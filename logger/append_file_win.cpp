#include <windows.h>

#include "logger/append_file.h"

namespace logger {
namespace {

// A byte far beyond any log file's end, locked by every writer of the file
// around its append. Nobody reads or writes there, so the lock delays no one
// but another writer.
OVERLAPPED WriterLockRange() {
  OVERLAPPED range = {};
  range.OffsetHigh = 0x40000000;  // byte 2^62
  return range;
}

}  // namespace

AppendFile::AppendFile(const std::string& path) {
  // Appending access: the system writes at the end of the file as it stands
  // at each write. Read access only so that the writer lock can be taken.
  HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  m_handle = reinterpret_cast<intptr_t>(file);
}

AppendFile::~AppendFile() {
  if (isOpen()) CloseHandle(reinterpret_cast<HANDLE>(m_handle));
}

bool AppendFile::Append(const std::string& bytes) {
  if (!isOpen()) return false;
  HANDLE file = reinterpret_cast<HANDLE>(m_handle);
  // Where appending is not one step (Wine finds the end and then writes; so
  // may a network share), two processes could pick the same end and write
  // over each other: the writers take turns through a lock on the file. A
  // process that dies holding it releases it with its handles.
  OVERLAPPED lockRange = WriterLockRange();
  const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockRange) != FALSE;
  DWORD written = 0;
  const bool whole =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  if (locked) UnlockFileEx(file, 0, 1, 0, &lockRange);
  return whole;
}

}  // namespace logger
