// A card read through the card service (HTTP on the loopback address, the
// front end, the worker process and its pipe) against the same read called
// in-process, as a host that loads the library calls it. Both read the IC
// card number and the card information line from the simulated driver.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address_v4.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "card/exports.h"
#include "driver/card_driver.h"

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

constexpr unsigned short kPort = 18386;

// The card service in a desk directory of its own, for the whole run.
class RunningService {
 public:
  RunningService() {
    m_directory =
        std::filesystem::temp_directory_path() / ("cardservice-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(m_directory);
    for (const char* file : {CARDSERVICE_PROGRAM, CARD_LIBRARY, CARD_DRIVER}) {
      std::filesystem::copy_file(file, m_directory / std::filesystem::path(file).filename(),
                                 std::filesystem::copy_options::overwrite_existing);
    }
    const std::string program = (m_directory / "cardservice").string();
    chmod(program.c_str(), 0755);
    m_pid = fork();
    if (m_pid == 0) {
      freopen("/dev/null", "w", stdout);
      execl(program.c_str(), program.c_str(), "--port", std::to_string(kPort).c_str(), nullptr);
      _exit(127);
    }
  }
  ~RunningService() {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
    std::filesystem::remove_all(m_directory);
  }

 private:
  std::filesystem::path m_directory;
  pid_t m_pid = -1;
};

// One kept-alive connection, as a page's fetch calls reuse it.
class Client {
 public:
  bool Connect() {
    for (int attempt = 0; attempt < 200; ++attempt) {
      beast::error_code error;
      m_stream.socket().close(error);
      m_stream.connect(tcp::endpoint(asio::ip::address_v4::loopback(), kPort), error);
      if (!error && Post("/v1/ic-card/number") == 200) return true;
      usleep(50000);
    }
    return false;
  }

  int Post(const char* target) {
    http::request<http::string_body> request{http::verb::post, target, 11};
    request.set(http::field::host, "127.0.0.1:" + std::to_string(kPort));
    request.set(http::field::content_type, "application/json");
    request.body() = "{}";
    request.prepare_payload();
    beast::error_code error;
    http::write(m_stream, request, error);
    if (error) return 0;
    http::response<http::string_body> response;
    http::read(m_stream, m_buffer, response, error);
    if (error || response.body().find("\"ok\":true") == std::string::npos) return 0;
    return static_cast<int>(response.result_int());
  }

 private:
  asio::io_context m_loop;
  beast::tcp_stream m_stream{m_loop};
  beast::flat_buffer m_buffer;
};

void ServiceRead(benchmark::State& state, const char* target) {
  RunningService service;
  Client client;
  if (!client.Connect()) {
    state.SkipWithError("the card service does not answer");
    return;
  }
  for (auto _ : state) {
    if (client.Post(target) != 200) {
      state.SkipWithError("a read through the service failed");
      break;
    }
  }
}

void ServiceCardNumberRead(benchmark::State& state) { ServiceRead(state, "/v1/ic-card/number"); }
BENCHMARK(ServiceCardNumberRead)->UseRealTime();

void ServiceCardInfoRead(benchmark::State& state) { ServiceRead(state, "/v1/ic-card/info"); }
BENCHMARK(ServiceCardInfoRead)->UseRealTime();

void InProcessCardNumberRead(benchmark::State& state) {
  for (auto _ : state) {
    char *number = nullptr, *copy = nullptr;
    if (QTZ_DKH(0, 0, 0, 0, &number, &copy) != 0) {
      state.SkipWithError("QTZ_DKH failed");
      break;
    }
  }
}
BENCHMARK(InProcessCardNumberRead)->UseRealTime();

void InProcessCardInfoRead(benchmark::State& state) {
  for (auto _ : state) {
    char* info = nullptr;
    int32_t status = 1;
    if (SBK_YKT_ICGETINFO(0, 0, &info, &status) != 0) {
      state.SkipWithError("SBK_YKT_ICGETINFO failed");
      break;
    }
  }
}
BENCHMARK(InProcessCardInfoRead)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
