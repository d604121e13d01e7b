#include "driver/driver_host_process.h"

#include <chrono>

#include "driver/driver_host_protocol.h"

namespace driver {

namespace {

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

std::unique_ptr<DriverHostProcess> DriverHostProcess::Start(const std::string& program,
                                                            StartFailure& failure) {
  std::unique_ptr<DriverHostProcess> process = Launch(program, failure);
  if (!process) return nullptr;
  std::string greeting;
  switch (process->Receive(protocol::kGreetingSize, NowMs() + kStartMs, greeting)) {
    case Exchanged::kAnswered:
      if (greeting == protocol::Greeting()) return process;
      process->Kill();
      failure.detail = "it is not readcard-driverhost";
      return nullptr;
    case Exchanged::kTimedOut:
      process->Kill();
      failure.detail = "no greeting in " + std::to_string(kStartMs / 1000) + " s";
      return nullptr;
    case Exchanged::kEnded:
    case Exchanged::kNotSent:
      failure.detail = process->HowItEnded();
      return nullptr;
  }
  return nullptr;
}

DriverHostProcess::Exchanged DriverHostProcess::Exchange(const std::string& request,
                                                         std::size_t answerSize, int timeoutMs,
                                                         std::string& answer) {
  const long long deadline = NowMs() + timeoutMs;
  const Exchanged sent = Send(request, deadline);
  if (sent != Exchanged::kAnswered) return sent;
  return Receive(answerSize, deadline, answer);
}

}  // namespace driver
