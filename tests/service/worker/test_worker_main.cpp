// The worker program of the end-to-end tests: the card worker itself, as
// cardservice --worker runs it, or (READCARD_TEST_WORKER set) a worker that
// misbehaves in a way the real one cannot be made to on every system.
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "service/card_calls.h"
#include "service/worker/worker_protocol.h"
#include "service/worker/worker_streams.h"
#include "tests/service/worker/stray_handle.h"

namespace {

using service::worker::AnswerPayload;
using service::worker::EncodeFrame;
using service::worker::Frame;
using service::worker::FrameKind;

// The next whole request from the service; nothing once input ends.
std::optional<Frame> NextRequest(service::worker::FrameReader& reader) {
  char buffer[256];
  for (;;) {
    if (std::optional<Frame> frame = reader.Next()) return frame;
    const std::size_t got = service::worker::ReadInput(buffer, sizeof buffer);
    if (got == 0) return std::nullopt;
    reader.Append(buffer, got);
  }
}

void Answer(const std::string& text, std::uint32_t call) {
  const service::worker::WorkerAnswer answer{true, text};
  service::worker::WriteOutput(EncodeFrame(Frame{FrameKind::Answer, AnswerPayload(answer), call}));
}

void DrainInput() {
  char rest[64];
  while (service::worker::ReadInput(rest, sizeof rest) > 0) {
  }
}

// Says it is ready, waits for the first call, then misbehaves.
int Misbehave(const char* how) {
  if (std::strcmp(how, "sleep") == 0) {  // the helper that "orphan" leaves behind
    testing_support::SleepLong();
    return 0;
  }
  const char* stray = std::getenv("READCARD_TEST_HANDLE");
  const bool inherited = stray != nullptr && testing_support::HoldsStrayHandle(stray);
  if (!service::worker::TakeStandardStreams()) return 3;
  service::worker::WriteOutput(EncodeFrame(Frame{FrameKind::Ready, "86"}));
  service::worker::FrameReader reader;
  std::optional<Frame> request = NextRequest(reader);
  if (!request) return 0;
  if (std::strcmp(how, "handles") == 0) {
    Answer(inherited ? "inherited" : "not inherited", request->call);
    DrainInput();
    return 0;
  }
  if (std::strcmp(how, "garbage") == 0) {
    service::worker::WriteOutput("this is no frame at all");
    DrainInput();
    return 0;
  }
  if (std::strcmp(how, "extra") == 0) {
    // A driver that writes an answer of its own besides the worker's.
    for (; request; request = NextRequest(reader)) {
      Answer("first", request->call);
      Answer("forged", request->call);
    }
    return 0;
  }
  if (std::strcmp(how, "orphan") == 0) {
    // A driver that starts a helper process, then hangs.
    Answer(testing_support::StartHelper("sleep"), request->call);
    DrainInput();
    testing_support::SleepLong();
    return 0;
  }
  // "abrupt": gone at once, as a crash that nothing catches ends a process.
  std::abort();
}

}  // namespace

int main() {
  if (const char* how = std::getenv("READCARD_TEST_WORKER")) return Misbehave(how);
  return service::RunCardWorker();
}
