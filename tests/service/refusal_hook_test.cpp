// The server's refusal hook (the system's event log takes its refusals)
// against a real socket, on one event loop: it sees every refusal, also
// those that the log's limiter holds back.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>

#include "service/http_server.h"
#include "service/messages.h"
#include "service/request_handler.h"
#include "tests/service/fake_card_calls.h"

namespace service {
namespace {

using boost::asio::ip::tcp;

// Sends request on a connection of its own and runs the loop until the
// server closes it: the bytes that came back.
std::string Exchange(boost::asio::io_context& loop, unsigned short port,
                     const std::string& request) {
  tcp::socket socket(loop);
  std::string answer;
  bool done = false;
  socket.async_connect(tcp::endpoint(boost::asio::ip::address_v4::loopback(), port),
                       [&](const boost::system::error_code& error) {
                         if (error) {
                           done = true;
                           return;
                         }
                         boost::asio::async_write(
                             socket, boost::asio::buffer(request),
                             [&](const boost::system::error_code& error, std::size_t) {
                               if (error) {
                                 done = true;
                                 return;
                               }
                               boost::asio::async_read(socket, boost::asio::dynamic_buffer(answer),
                                                       [&](const boost::system::error_code&,
                                                           std::size_t) { done = true; });
                             });
                       });
  loop.restart();
  const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done && std::chrono::steady_clock::now() < limit) {
    loop.run_one_for(std::chrono::milliseconds(100));
  }
  return answer;
}

std::string Request(const std::string& host, const std::string& origin,
                    const std::string& extra = "") {
  std::string text = "POST /v1/ic-card/number HTTP/1.1\r\nHost: " + host + "\r\n";
  if (!origin.empty()) text += "Origin: " + origin + "\r\n";
  return text + extra +
         "Content-Type: application/json\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}";
}

TEST(RefusalHook, SeesEveryRefusalTheLogLimits) {
  boost::asio::io_context loop;
  std::vector<std::string> logged;
  HttpServer server(
      loop, [&logged](const std::string& line) { logged.push_back(line); }, ServerLimits{});
  ASSERT_FALSE(server.Listen(0));
  const unsigned short port = server.Port();
  const std::string own = "127.0.0.1:" + std::to_string(port);
  ServiceState state;
  state.busy = [] { return false; };
  state.version = [] { return 86; };
  state.desk = [](bool) { return std::string("{}"); };
  auto handler = std::make_shared<const RequestHandler>(AccessPolicy{port, {"https://his.example"}},
                                                        std::move(state));
  WorkerSettings settings;
  settings.log = [](const std::string&) {};
  std::unique_ptr<CardCalls> cards = service_test::StartFakeCardCalls(loop, std::move(settings), 0);
  server.Serve(handler, *cards);
  std::vector<std::string> reported;  // the senders the hook was told of
  server.ReportRefusals(
      [&reported](const std::string& sender, const std::string&) { reported.push_back(sender); });

  struct Case {
    const char* name;
    std::string request;
    int times;
    std::string sender;  // "" : not refused
  };
  const std::vector<Case> cases = {
      {"a listed origin reads", Request(own, "https://his.example"), 1, ""},
      {"a foreign origin, more often than the log takes", Request(own, "https://evil.example"), 20,
       Say(Words::kSenderOrigin, {"https://evil.example"})},
      {"a foreign host without an origin", Request("evil.example", ""), 1,
       Say(Words::kSenderHost, {"evil.example"})},
      {"headers over the limit",
       Request(own, "https://his.example", "X-Filler: " + std::string(9000, 'x') + "\r\n"), 1,
       Say(Words::kHeadersTooLargeSender)},
  };
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 0; i < c.times; ++i) {
      EXPECT_FALSE(Exchange(loop, port, c.request).empty());
      if (!c.sender.empty()) expected.push_back(c.sender);
    }
  }
  EXPECT_EQ(reported, expected);
  std::size_t loggedEvil = 0;
  for (const std::string& line : logged) {
    if (line.find("https://evil.example") != std::string::npos) ++loggedEvil;
  }
  EXPECT_GT(loggedEvil, 0u);
  EXPECT_LT(loggedEvil, 20u) << "the log's limiter held none back: the hook saw more than it";
  server.Stop();
}

}  // namespace
}  // namespace service
