#include "driver/driver_host_client.h"

#include <memory>

#include "driver/call_queue.h"
#include "driver/driver_host_process.h"

namespace driver {

namespace {

// The running driver host and the queue of reads waiting for it. A plain
// object built at load: its destructor, at unload, only closes the pipe.
struct DriverHostSlot {
  CallQueue queue;
  std::unique_ptr<DriverHostProcess> process;
  std::string program;  // the file it was started from
};

DriverHostSlot g_slot;

bool Start(const std::string& program, RemoteRead& read) {
  DriverHostProcess::StartFailure failure;
  g_slot.process = DriverHostProcess::Start(program, failure);
  g_slot.program = program;
  if (g_slot.process) return true;
  read.status = failure.missing ? RemoteRead::kMissing : RemoteRead::kCannotStart;
  read.detail = failure.detail;
  return false;
}

}  // namespace

RemoteRead ReadThroughDriverHost(const std::string& program, const std::string& driverPath,
                                 const char* record, int timeoutSeconds) {
  CallTurn turn(g_slot.queue);
  RemoteRead read;
  // A library moved, or a second copy loaded: the driver host beside it.
  if (g_slot.process && g_slot.program != program) g_slot.process.reset();
  if (!g_slot.process && !Start(program, read)) return read;

  protocol::Request request;
  request.driverPath = driverPath;
  request.record.assign(record, protocol::kRecordSize);
  const std::string bytes = protocol::EncodeRequest(request);
  std::string answer;
  DriverHostProcess::Exchanged exchanged =
      g_slot.process->Exchange(bytes, protocol::kAnswerSize, timeoutSeconds * 1000, answer);
  if (exchanged == DriverHostProcess::Exchanged::kNotSent) {
    // It ended between reads (its host watch, someone ending it): this read
    // never reached it, so a fresh one takes it.
    g_slot.process.reset();
    if (!Start(program, read)) return read;
    exchanged =
        g_slot.process->Exchange(bytes, protocol::kAnswerSize, timeoutSeconds * 1000, answer);
  }
  switch (exchanged) {
    case DriverHostProcess::Exchanged::kAnswered:
      if (std::optional<protocol::Answer> decoded = protocol::DecodeAnswer(answer)) {
        read.answer = *decoded;
        return read;
      }
      // Not an answer: whatever it is, it cannot be trusted with the next read.
      g_slot.process->Kill();
      read.status = RemoteRead::kEnded;
      read.detail = "a garbled answer";
      break;
    case DriverHostProcess::Exchanged::kTimedOut:
      g_slot.process->Kill();
      read.status = RemoteRead::kTimedOut;
      break;
    case DriverHostProcess::Exchanged::kEnded:
    case DriverHostProcess::Exchanged::kNotSent:
      read.status = RemoteRead::kEnded;
      read.detail = g_slot.process->HowItEnded();
      break;
  }
  g_slot.process.reset();
  return read;
}

}  // namespace driver
