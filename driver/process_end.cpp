#include "driver/process_end.h"

#include <cstdio>

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#endif

namespace driver {

namespace {

struct Named {
  uint32_t code;
  const char* name;
};

// The ways a driver takes its process down that IT staff meet in the field.
constexpr Named kExceptions[] = {
    {0xC0000005u, "access violation"},
    {0xC000001Du, "illegal instruction"},
    {0xC0000094u, "integer divide by zero"},
    {0xC0000096u, "privileged instruction"},
    {0xC00000FDu, "stack overflow"},
    {0xC0000374u, "heap corruption"},
    {0xC0000409u, "stack buffer overrun"},
    {0xC0000135u, "a library it needs was not found"},
    {0xC0000142u, "a library failed to initialise"},
    {0x80000003u, "breakpoint"},
    {0xE06D7363u, "uncaught C++ exception"},
};

}  // namespace

std::string DescribeExitCode(uint32_t code) {
  char text[96];
  // Exit codes that programs choose are small; the system's status codes,
  // left as the exit code of a process an exception ended, are not.
  if (code < 0x10000u) {
    std::snprintf(text, sizeof text, "exit code %lu", static_cast<unsigned long>(code));
    return text;
  }
  const char* name = "";
  for (const Named& exception : kExceptions) {
    if (exception.code == code) name = exception.name;
  }
  std::snprintf(text, sizeof text, "exception 0x%08lX%s%s", static_cast<unsigned long>(code),
                *name != '\0' ? " " : "", name);
  return text;
}

#ifndef _WIN32
std::string DescribeWaitStatus(int status) {
  char text[64];
  if (WIFEXITED(status)) {
    std::snprintf(text, sizeof text, "exit code %d", WEXITSTATUS(status));
  } else if (WIFSIGNALED(status)) {
    const int signal = WTERMSIG(status);
    const char* name = signal == SIGSEGV   ? " (SIGSEGV)"
                       : signal == SIGABRT ? " (SIGABRT)"
                       : signal == SIGBUS  ? " (SIGBUS)"
                       : signal == SIGFPE  ? " (SIGFPE)"
                       : signal == SIGILL  ? " (SIGILL)"
                       : signal == SIGKILL ? " (SIGKILL)"
                                           : "";
    std::snprintf(text, sizeof text, "signal %d%s", signal, name);
  } else {
    std::snprintf(text, sizeof text, "wait status %d", status);
  }
  return text;
}
#endif

}  // namespace driver
