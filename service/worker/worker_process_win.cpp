#include <windows.h>

#include <cstdio>

#include <boost/asio/windows/object_handle.hpp>
#include <boost/asio/windows/stream_handle.hpp>

#include "service/worker/piped_worker.h"
#include "service/worker/worker_process.h"

namespace service::worker {

namespace {

// The exit code that TerminateProcess leaves on a worker the service ended.
constexpr UINT kEndedByService = 0xE0DE;

// "error 5": the system's reason for the last call that failed.
std::string LastError() {
  char text[32];
  std::snprintf(text, sizeof text, "error %lu", GetLastError());
  return text;
}

std::string HowItEnded(HANDLE process) {
  DWORD code = 0;
  if (!GetExitCodeProcess(process, &code)) return "not known";
  char text[40];
  std::snprintf(text, sizeof text, code > 0xFFFF ? "exit code 0x%08lX" : "exit code %lu", code);
  return text;
}

class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : m_handle(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& other) noexcept : m_handle(other.release()) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Close();
      m_handle = other.release();
    }
    return *this;
  }
  HANDLE get() const { return m_handle; }
  bool valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
  HANDLE release() {
    HANDLE handle = m_handle;
    m_handle = nullptr;
    return handle;
  }
  void Close() {
    if (valid()) CloseHandle(m_handle);
    m_handle = nullptr;
  }

 private:
  HANDLE m_handle = nullptr;
};

class WindowsWorker : public PipedWorker<boost::asio::windows::stream_handle> {
 public:
  WindowsWorker(boost::asio::io_context& loop, HANDLE process, Handle job, HANDLE input,
                HANDLE output)
      : PipedWorker(loop, input, output), m_process(loop, process), m_job(std::move(job)) {}

  ~WindowsWorker() override {
    if (m_process.is_open()) Terminate();
    // Closing the job ends what is left in it (it kills on close).
  }

  void End(std::function<void(const std::string&)> ended) override {
    Terminate();
    ClosePipes();
    auto self = SharedAs<WindowsWorker>();
    m_process.async_wait([self, ended](const boost::system::error_code&) {
      const std::string how = HowItEnded(self->m_process.native_handle());
      boost::system::error_code ignored;
      self->m_process.close(ignored);
      if (ended) ended(how);
    });
  }

 private:
  // The worker and every process it started (they are in its job); fails
  // harmlessly once they are gone.
  void Terminate() {
    if (m_job.valid()) TerminateJobObject(m_job.get(), kEndedByService);
    TerminateProcess(m_process.native_handle(), kEndedByService);
  }

  boost::asio::windows::object_handle m_process;
  Handle m_job;  // the worker's job; invalid where the system refused one
};

// A job that ends every process in it when it is closed or terminated: the
// worker goes in before it runs, so whatever it starts goes in too.
Handle WorkerJob() {
  Handle job(CreateJobObjectA(nullptr, nullptr));
  if (!job.valid()) return Handle();
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                               sizeof limits)) {
    return Handle();
  }
  return job;
}

// A pipe whose service end is overlapped (for the event loop) and whose
// worker end is an ordinary, inheritable handle. inbound: the service reads.
bool MakePipe(bool inbound, Handle& serviceEnd, Handle& workerEnd, Failure& failure) {
  static LONG counter = 0;
  char name[96];
  std::snprintf(name, sizeof name, "\\\\.\\pipe\\readcard-worker-%lu-%lu-%ld",
                GetCurrentProcessId(), GetTickCount(), InterlockedIncrement(&counter));
  const DWORD access = (inbound ? PIPE_ACCESS_INBOUND : PIPE_ACCESS_OUTBOUND) |
                       FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE;
  serviceEnd =
      Handle(CreateNamedPipeA(name, access, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
  if (!serviceEnd.valid()) {
    failure = Failure(Words::kWorkerNoPipe, "CreateNamedPipe", LastError());
    return false;
  }
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  workerEnd = Handle(CreateFileA(name, inbound ? GENERIC_WRITE : GENERIC_READ, 0, &inheritable,
                                 OPEN_EXISTING, 0, nullptr));
  if (!workerEnd.valid()) {
    failure = Failure(Words::kWorkerNoPipe, "CreateFile (pipe)", LastError());
    return false;
  }
  return true;
}

// The worker's standard error: an inheritable copy of the service's own,
// or the null device where the service has none (as a Windows service).
Handle WorkerErrorHandle() {
  HANDLE own = GetStdHandle(STD_ERROR_HANDLE);
  HANDLE copy = nullptr;
  if (own != nullptr && own != INVALID_HANDLE_VALUE &&
      DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE,
                      DUPLICATE_SAME_ACCESS)) {
    return Handle(copy);
  }
  SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
  return Handle(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                            OPEN_EXISTING, 0, nullptr));
}

// The attribute list that lets the worker inherit exactly handles, not
// every inheritable handle the service happens to hold.
class HandleList {
 public:
  explicit HandleList(HANDLE* handles, std::size_t count) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    m_storage.resize(size);
    m_list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_storage.data());
    m_ready = InitializeProcThreadAttributeList(m_list, 1, 0, &size) &&
              UpdateProcThreadAttribute(m_list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles,
                                        count * sizeof(HANDLE), nullptr, nullptr);
  }
  ~HandleList() {
    if (m_ready) DeleteProcThreadAttributeList(m_list);
  }
  LPPROC_THREAD_ATTRIBUTE_LIST get() const { return m_ready ? m_list : nullptr; }

 private:
  std::string m_storage;
  LPPROC_THREAD_ATTRIBUTE_LIST m_list = nullptr;
  bool m_ready = false;
};

}  // namespace

std::shared_ptr<WorkerProcess> StartWorkerProcess(boost::asio::io_context& loop,
                                                  const std::string& program,
                                                  const std::string& directory, Failure& failure) {
  Handle inputService, inputWorker, outputService, outputWorker;
  if (!MakePipe(false, inputService, inputWorker, failure) ||
      !MakePipe(true, outputService, outputWorker, failure)) {
    return nullptr;
  }
  Handle errorWorker = WorkerErrorHandle();
  HANDLE inherited[3] = {inputWorker.get(), outputWorker.get(), errorWorker.get()};
  HandleList handleList(inherited, errorWorker.valid() ? 3 : 2);
  if (handleList.get() == nullptr) {
    failure = Failure(Words::kWorkerNoPipe, "UpdateProcThreadAttribute", LastError());
    return nullptr;
  }
  STARTUPINFOEXA startup = {};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = inputWorker.get();
  startup.StartupInfo.hStdOutput = outputWorker.get();
  startup.StartupInfo.hStdError = errorWorker.get();
  startup.lpAttributeList = handleList.get();
  std::string commandLine = "\"" + program + "\" --worker";
  PROCESS_INFORMATION process = {};
  // No console of its own (nor the service's: Ctrl+C there is the service's
  // business, not the worker's).
  // Suspended until it is in its job, so that nothing it starts escapes.
  if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE,
                      EXTENDED_STARTUPINFO_PRESENT | CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr,
                      directory.empty() ? nullptr : directory.c_str(), &startup.StartupInfo,
                      &process)) {
    failure = Failure(Words::kWorkerCannotStart, program, "CreateProcess: " + LastError());
    return nullptr;
  }
  // Where the service itself runs in a job that allows no other (Windows 7
  // and older), the worker goes without one and only it is ended.
  Handle job = WorkerJob();
  if (job.valid() && !AssignProcessToJobObject(job.get(), process.hProcess)) job.Close();
  ResumeThread(process.hThread);
  CloseHandle(process.hThread);
  return std::make_shared<WindowsWorker>(loop, process.hProcess, std::move(job),
                                         inputService.release(), outputService.release());
}

}  // namespace service::worker
