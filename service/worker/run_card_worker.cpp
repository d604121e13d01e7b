// The worker process: holds the card library and answers one framed request
// after another from standard input until it ends.
#include "driver/library_loader.h"
#include "logger/local_time.h"
#include "service/card_calls.h"
#include "service/worker/card_library.h"
#include "service/worker/worker_protocol.h"
#include "service/worker/worker_streams.h"
#include "text/executable_path.h"
#include "text/module_directory.h"

namespace service {

namespace {

// Exit codes, for the service's log.
enum WorkerExit { kInputEnded = 0, kNoStreams = 3, kLibraryUnavailable = 4, kProtocolFault = 5 };

bool Send(worker::FrameKind kind, const std::string& payload) {
  return worker::WriteOutput(worker::EncodeFrame(worker::Frame{kind, payload}));
}

}  // namespace

int RunCardWorker() {
  if (!worker::TakeStandardStreams()) return kNoStreams;
  // The library beside this program; its log where the library itself puts
  // it (below READCARD_HOME natively, when that is set).
  const std::string ownDirectory =
      text::DirectoryOf(text::ExecutablePath(), text::kPathSeparator, text::IsLeadByte);
  worker::CardLibrary library(driver::PlatformLibraryLoader(), ownDirectory + READCARD_LIBRARY_FILE,
                              GetModuleDirectory(), logger::LocalTimeNow);
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
        Send(worker::FrameKind::Unavailable, library.problem());
        return kLibraryUnavailable;
      }
      if (!Send(worker::FrameKind::Answer, worker::AnswerPayload(*answer))) return kInputEnded;
    }
    if (reader.failed()) return kProtocolFault;
  }
}

}  // namespace service
