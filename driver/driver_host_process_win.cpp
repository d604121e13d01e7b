#include <windows.h>

#include <chrono>
#include <cstdio>

#include "driver/driver_host_process.h"
#include "driver/process_end.h"

namespace driver {

namespace {

// The exit code that the library leaves on a driver host it ended.
constexpr UINT kEndedByLibrary = 0xDEAD;
// How long Kill and HowItEnded wait for the system to finish a process.
constexpr DWORD kEndWaitMs = 2000;

std::string ErrorText(DWORD error) {
  char text[32];
  std::snprintf(text, sizeof text, "error %lu", error);
  return text;
}

void CloseValid(HANDLE& handle) {
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  handle = nullptr;
}

// The attribute list that limits what the child inherits to the handles
// named, where the system has one (Vista and later); on XP the child
// inherits every inheritable handle, as CreateProcess always did there.
class InheritList {
 public:
  InheritList(HANDLE* handles, std::size_t count) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using Initialize = BOOL(WINAPI*)(void*, DWORD, DWORD, SIZE_T*);
    using Update = BOOL(WINAPI*)(void*, DWORD, DWORD_PTR, void*, SIZE_T, void*, SIZE_T*);
    auto initialize = reinterpret_cast<Initialize>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "InitializeProcThreadAttributeList")));
    auto update = reinterpret_cast<Update>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "UpdateProcThreadAttribute")));
    m_delete = reinterpret_cast<Delete>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "DeleteProcThreadAttributeList")));
    if (initialize == nullptr || update == nullptr || m_delete == nullptr) return;
    SIZE_T size = 0;
    initialize(nullptr, 1, 0, &size);
    m_storage.resize(size);
    if (!initialize(m_storage.data(), 1, 0, &size)) return;
    m_initialized = true;
    constexpr DWORD_PTR kHandleList = 0x20002;  // PROC_THREAD_ATTRIBUTE_HANDLE_LIST
    m_ready = update(m_storage.data(), 0, kHandleList, handles, count * sizeof(HANDLE), nullptr,
                     nullptr) != FALSE;
  }
  ~InheritList() {
    if (m_initialized) m_delete(m_storage.data());
  }
  void* get() { return m_ready ? m_storage.data() : nullptr; }

 private:
  using Delete = void(WINAPI*)(void*);
  std::string m_storage;
  Delete m_delete = nullptr;
  bool m_initialized = false;
  bool m_ready = false;
};

// STARTUPINFOEXA without needing the Vista headers' definition.
struct StartupInfoEx {
  STARTUPINFOA startup;
  void* attributes;
};

// A job that ends the driver host when its last handle closes: the host's
// process ending in any way closes it, even while the driver host is still
// starting and has no watch on the host yet. Null where the system has no
// job for it (the host already in a job that allows no other, before
// Windows 8); the watch alone then ties the two.
HANDLE KillOnCloseJob(HANDLE process) {
  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  if (job == nullptr) return nullptr;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
      !AssignProcessToJobObject(job, process)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

// The job let go without ending anything: closing the library's handles is
// all an unload does, and the driver host then ends by itself on its pipe.
void ReleaseJob(HANDLE& job) {
  if (job == nullptr) return;
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  CloseValid(job);
}

}  // namespace

struct DriverHostProcess::Impl {
  HANDLE process = nullptr;
  HANDLE job = nullptr;    // kills the driver host when the host's process ends
  HANDLE pipe = nullptr;   // the library's end, overlapped
  HANDLE event = nullptr;  // for the pipe's overlapped operations
  ~Impl() {
    CloseValid(pipe);
    CloseValid(event);
    ReleaseJob(job);
    CloseValid(process);
  }
};

bool ProgramFileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

DriverHostProcess::DriverHostProcess(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
DriverHostProcess::~DriverHostProcess() = default;

std::unique_ptr<DriverHostProcess> DriverHostProcess::Launch(const std::string& program,
                                                             StartFailure& failure) {
  if (!ProgramFileExists(program)) {
    failure.missing = true;
    failure.detail = ErrorText(GetLastError());
    return nullptr;
  }
  auto impl = std::make_unique<Impl>();
  static LONG counter = 0;
  char name[96];
  std::snprintf(name, sizeof name, "\\\\.\\pipe\\readcard-driverhost-%lu-%lu-%ld",
                GetCurrentProcessId(), GetTickCount(), InterlockedIncrement(&counter));
  impl->pipe = CreateNamedPipeA(
      name, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
      PIPE_TYPE_BYTE | PIPE_WAIT, 1, 64 * 1024, 64 * 1024, 0, nullptr);
  if (impl->pipe == INVALID_HANDLE_VALUE) {
    failure.detail = "CreateNamedPipe " + ErrorText(GetLastError());
    return nullptr;
  }
  impl->event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  HANDLE childEnd =
      CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING, 0, nullptr);
  HANDLE self = nullptr;
  DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE,
                  TRUE, 0);
  // Whatever the driver prints goes to the null device: the host's own
  // standard output may be redirected meanwhile, and a copy held by the
  // driver host would keep that file or pipe open as long as it runs.
  HANDLE output = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inheritable, OPEN_EXISTING, 0, nullptr);
  if (impl->event == nullptr || childEnd == INVALID_HANDLE_VALUE || self == nullptr ||
      output == INVALID_HANDLE_VALUE) {
    failure.detail = "pipe " + ErrorText(GetLastError());
    CloseValid(childEnd);
    CloseValid(self);
    CloseValid(output);
    return nullptr;
  }
  HANDLE inherited[3] = {childEnd, self, output};
  InheritList list(inherited, 3);
  StartupInfoEx startup = {};
  startup.startup.cb = list.get() != nullptr ? sizeof startup : sizeof startup.startup;
  startup.startup.dwFlags = STARTF_USESTDHANDLES;
  startup.startup.hStdInput = childEnd;
  startup.startup.hStdOutput = childEnd;
  startup.startup.hStdError = output;
  startup.attributes = list.get();
  char commandLine[MAX_PATH + 64];
  std::snprintf(commandLine, sizeof commandLine, "\"%s\" --host %lu", program.c_str(),
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(self)));
  PROCESS_INFORMATION started = {};
  constexpr DWORD kExtendedStartupInfo = 0x00080000;  // EXTENDED_STARTUPINFO_PRESENT
  const BOOL ok =
      CreateProcessA(program.c_str(), commandLine, nullptr, nullptr, TRUE,
                     CREATE_NO_WINDOW | CREATE_SUSPENDED |
                         (list.get() != nullptr ? kExtendedStartupInfo : 0),
                     nullptr,
                     nullptr, &startup.startup, &started);
  const DWORD error = GetLastError();
  CloseValid(childEnd);
  CloseValid(self);
  CloseValid(output);
  if (!ok) {
    failure.detail = ErrorText(error);
    return nullptr;
  }
  // In its job before it runs a single instruction.
  impl->job = KillOnCloseJob(started.hProcess);
  ResumeThread(started.hThread);
  CloseHandle(started.hThread);
  impl->process = started.hProcess;
  return std::unique_ptr<DriverHostProcess>(new DriverHostProcess(std::move(impl)));
}

namespace {

// Waits for the overlapped operation to finish, for the process to end or
// for the deadline; the operation is over (done or cancelled) on return.
// Bytes moved in moved. 0: done, 1: process ended or pipe broken, 2: time up.
int Finish(HANDLE pipe, HANDLE event, HANDLE process, OVERLAPPED& overlapped, BOOL started,
           DWORD deadline, DWORD& moved) {
  if (!started && GetLastError() != ERROR_IO_PENDING) return 1;
  // Done at once (a write into the pipe's buffer, an answer already there):
  // no wait.
  if (started) return GetOverlappedResult(pipe, &overlapped, &moved, FALSE) ? 0 : 1;
  const DWORD now = GetTickCount();
  const DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
  HANDLE waits[2] = {event, process};
  const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, left);
  if (woke == WAIT_OBJECT_0) {
    return GetOverlappedResult(pipe, &overlapped, &moved, FALSE) ? 0 : 1;
  }
  CancelIo(pipe);
  GetOverlappedResult(pipe, &overlapped, &moved, TRUE);
  return woke == WAIT_OBJECT_0 + 1 ? 1 : 2;
}

}  // namespace

namespace {

// GetTickCount's deadline for a deadline on the steady clock.
DWORD TickDeadline(long long deadlineMs) {
  const long long left = deadlineMs - std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count();
  return GetTickCount() + static_cast<DWORD>(left > 0 ? left : 0);
}

}  // namespace

DriverHostProcess::Exchanged DriverHostProcess::Send(const std::string& bytes,
                                                     long long deadlineMs) {
  const DWORD deadline = TickDeadline(deadlineMs);
  OVERLAPPED overlapped = {};
  overlapped.hEvent = m_impl->event;
  ResetEvent(m_impl->event);
  DWORD moved = 0;
  const BOOL wrote =
      WriteFile(m_impl->pipe, bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &overlapped);
  switch (
      Finish(m_impl->pipe, m_impl->event, m_impl->process, overlapped, wrote, deadline, moved)) {
    case 0:
      return moved == bytes.size() ? Exchanged::kAnswered : Exchanged::kNotSent;
    case 1:
      return Exchanged::kNotSent;
    default:
      return Exchanged::kTimedOut;
  }
}

DriverHostProcess::Exchanged DriverHostProcess::Receive(std::size_t size, long long deadlineMs,
                                                        std::string& bytes) {
  const DWORD deadline = TickDeadline(deadlineMs);
  bytes.assign(size, '\0');
  std::size_t got = 0;
  while (got < size) {
    OVERLAPPED overlapped = {};
    overlapped.hEvent = m_impl->event;
    ResetEvent(m_impl->event);
    DWORD moved = 0;
    const BOOL read =
        ReadFile(m_impl->pipe, &bytes[got], static_cast<DWORD>(size - got), nullptr, &overlapped);
    switch (
        Finish(m_impl->pipe, m_impl->event, m_impl->process, overlapped, read, deadline, moved)) {
      case 0:
        if (moved == 0) return Exchanged::kEnded;
        got += moved;
        break;
      case 1:
        return Exchanged::kEnded;
      default:
        return Exchanged::kTimedOut;
    }
  }
  return Exchanged::kAnswered;
}

void DriverHostProcess::Kill() {
  TerminateProcess(m_impl->process, kEndedByLibrary);
  WaitForSingleObject(m_impl->process, kEndWaitMs);
}

std::string DriverHostProcess::HowItEnded() {
  WaitForSingleObject(m_impl->process, kEndWaitMs);
  DWORD code = 0;
  if (!GetExitCodeProcess(m_impl->process, &code)) return "an end not known";
  if (code == STILL_ACTIVE) return "its pipe closed while it still ran";
  return DescribeExitCode(code);
}

}  // namespace driver
