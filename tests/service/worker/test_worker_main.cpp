// The worker program of the end-to-end tests: the card worker itself, as
// cardservice --worker runs it, or (READCARD_TEST_WORKER set) a worker that
// misbehaves in a way the real one cannot be made to on every system.
#include <cstdlib>
#include <cstring>

#include "service/card_calls.h"
#include "service/worker/worker_protocol.h"
#include "service/worker/worker_streams.h"
#include "tests/service/worker/stray_handle.h"

namespace {

using service::worker::AnswerPayload;
using service::worker::EncodeFrame;
using service::worker::Frame;
using service::worker::FrameKind;

// Says it is ready, waits for the first bytes of a call, then misbehaves.
int Misbehave(const char* how) {
  const char* stray = std::getenv("READCARD_TEST_HANDLE");
  const bool inherited = stray != nullptr && testing_support::HoldsStrayHandle(stray);
  if (!service::worker::TakeStandardStreams()) return 3;
  service::worker::WriteOutput(EncodeFrame(Frame{FrameKind::Ready, "86"}));
  char byte;
  if (service::worker::ReadInput(&byte, 1) == 0) return 0;
  if (std::strcmp(how, "handles") == 0) {
    const service::worker::WorkerAnswer answer{true, inherited ? "inherited" : "not inherited"};
    service::worker::WriteOutput(EncodeFrame(Frame{FrameKind::Answer, AnswerPayload(answer)}));
    char rest[64];
    while (service::worker::ReadInput(rest, sizeof rest) > 0) {
    }
    return 0;
  }
  if (std::strcmp(how, "garbage") == 0) {
    service::worker::WriteOutput("this is no frame at all");
    char rest[64];
    while (service::worker::ReadInput(rest, sizeof rest) > 0) {
    }
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
