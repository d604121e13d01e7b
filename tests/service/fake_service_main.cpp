// cardservice_double: the card service's program with the test stand-in for
// its card worker, so that the HTTP front end is tested over real sockets
// the same way the real program is.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "service/command_line.h"
#include "service/service_main.h"
#include "tests/service/fake_card_calls.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  service::CommandLine line;
  if (const service::Failure wrong = service::ParseCommandLine(arguments, line)) {
    std::fprintf(stderr, "cardservice: %s\n", service::Say(wrong).c_str());
    return service::kExitWrongConfig;
  }
  const char* delay = std::getenv("FAKE_CARD_DELAY_MS");
  const int delayMs = delay != nullptr ? std::atoi(delay) : 20;
  return service::RunService(
      line, [delayMs](boost::asio::io_context& loop, service::WorkerSettings settings) {
        return service_test::StartFakeCardCalls(loop, std::move(settings), delayMs);
      });
}
