// The worker process: holds the card library and answers one framed request
// after another from standard input until it ends.
#include "driver/library_loader.h"
#include "logger/local_time.h"
#include "service/card_calls.h"
#include "service/library_location.h"
#include "service/worker/card_library.h"
#include "service/worker/worker_protocol.h"
#include "service/worker/worker_streams.h"
#include "host/executable_path.h"
#include "host/host_directory.h"

namespace service {

namespace {

// Exit codes, for the service's log.
enum WorkerExit { kInputEnded = 0, kNoStreams = 3, kLibraryUnavailable = 4, kProtocolFault = 5 };

// call: the number of the request answered, 0 for the start's frames.
bool Send(worker::FrameKind kind, const std::string& payload, std::uint32_t call = 0) {
  return worker::WriteOutput(worker::EncodeFrame(worker::Frame{kind, payload, call}));
}

}  // namespace

int RunCardWorker() {
  if (!worker::TakeStandardStreams()) return kNoStreams;
  // The library where a host finds it (library_location.h); its log where
  // the library itself puts it (below READCARD_HOME natively, when that is set).
  const std::string ownDirectory =
      host::DirectoryOf(host::ExecutablePath(), host::kPathSeparator, host::IsLeadByte);
  worker::CardLibrary library(driver::PlatformLibraryLoader(), CardLibraryLocation(ownDirectory),
                              host::HostDirectory(), logger::LocalTimeNow);
  if (!library.Load()) {
    Send(worker::FrameKind::Unavailable, library.problem());
    return kLibraryUnavailable;
  }
  if (!Send(worker::FrameKind::Ready, worker::ReadyPayload(library.Version()))) return kInputEnded;
  worker::FrameReader reader;
  char buffer[4096];
  for (;;) {
    const std::size_t got = worker::ReadInput(buffer, sizeof buffer);
    if (got == 0) return reader.partial() ? kProtocolFault : kInputEnded;
    reader.Append(buffer, got);
    while (std::optional<worker::Frame> frame = reader.Next()) {
      std::optional<CardRequest> request;
      if (frame->kind == worker::FrameKind::Request) request = worker::ParseRequest(frame->payload);
      if (!request) return kProtocolFault;
      const std::optional<worker::WorkerAnswer> answer = library.Call(*request);
      if (!answer) {
        Send(worker::FrameKind::Unavailable, library.problem(), frame->call);
        return kLibraryUnavailable;
      }
      if (!Send(worker::FrameKind::Answer, worker::AnswerPayload(*answer), frame->call)) {
        return kInputEnded;
      }
    }
    if (reader.failed()) return kProtocolFault;
  }
}

}  // namespace service
