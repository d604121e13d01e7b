#include <windows.h>
#include <winternl.h>

#include <cstdint>

#include "service/worker/own_log_end.h"

namespace service::worker {

namespace {

// Handle values are multiples of 4, and the system reuses freed slots before
// it grows the table, so a process's handles lie close together from 4 on.
// A run this long without a live handle ends the search (the worker holds a
// few dozen; the library opens its log at its load, early). A handle beyond
// such a gap goes unseen: the call's own record is then not told apart, and
// the message takes nothing from the log.
constexpr std::uintptr_t kHandleStep = 4;
constexpr std::uintptr_t kFreeSlotsThatEnd = 1024;

// The access the handle was opened with; nothing when value is no live
// handle of this process. Asks the object manager only: no file system call,
// so it cannot wait on any I/O (the worker does not turn on strict handle
// checks, under which asking about a free value would raise).
std::optional<ACCESS_MASK> GrantedAccess(HANDLE handle) {
  PUBLIC_OBJECT_BASIC_INFORMATION basic = {};
  ULONG length = 0;
  if (!NT_SUCCESS(NtQueryObject(handle, ObjectBasicInformation, &basic, sizeof basic, &length))) {
    return std::nullopt;
  }
  return basic.GrantedAccess;
}

// Appending without writing: what the library's log handle has. A pipe's or
// a port's handle has reading access alone or writing access (FILE_WRITE_DATA)
// with it, so it never reaches the file system calls below. Those calls wait
// while another thread has synchronous I/O pending on the same handle; the
// library writes its log on the calling thread, whose write has ended by
// now. Should a driver's thread hold such a handle mid-write, the worker
// waits, and the service's time-out for a call bounds that.
bool OpenedForAppendingOnly(ACCESS_MASK access) {
  return (access & FILE_APPEND_DATA) != 0 && (access & FILE_WRITE_DATA) == 0;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

bool IdentityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& identity) {
  const HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(file, &identity) != FALSE;
  CloseHandle(file);
  return known;
}

// The position of handle when it is a disk file's and that file is the one
// identity names.
std::optional<std::size_t> PositionOnFile(HANDLE handle,
                                          const BY_HANDLE_FILE_INFORMATION& identity) {
  BY_HANDLE_FILE_INFORMATION open;
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &open) ||
      !SameFile(open, identity)) {
    return std::nullopt;
  }
  LARGE_INTEGER at = {};
  if (!SetFilePointerEx(handle, LARGE_INTEGER{}, &at, FILE_CURRENT) || at.QuadPart < 0)
    return std::nullopt;
  return static_cast<std::size_t>(at.QuadPart);
}

}  // namespace

// A handle opened with appending access and without FILE_FLAG_OVERLAPPED is
// synchronous: each write goes to the end of the file as it stands then, and
// the file system sets the handle's position to where that write ended. So
// its position is the end of this process's last append, whatever other
// processes appended since.
std::optional<std::size_t> OwnAppendEnd(const std::string& path) {
  BY_HANDLE_FILE_INFORMATION identity;
  if (!IdentityOf(path, identity)) return std::nullopt;
  std::optional<std::size_t> end;
  std::uintptr_t freeSlots = 0;
  for (std::uintptr_t value = kHandleStep; freeSlots < kFreeSlotsThatEnd; value += kHandleStep) {
    const HANDLE handle = reinterpret_cast<HANDLE>(value);
    const std::optional<ACCESS_MASK> access = GrantedAccess(handle);
    if (!access) {
      ++freeSlots;
      continue;
    }
    freeSlots = 0;
    if (!OpenedForAppendingOnly(*access)) continue;
    const std::optional<std::size_t> at = PositionOnFile(handle, identity);
    if (at && (!end || *at > *end)) end = at;
  }
  return end;
}

}  // namespace service::worker
