#pragma once
// The card service's HTTP front end: Boost.Beast over one Boost.Asio event
// loop, listening on 127.0.0.1 only. It reads each request within limits
// (header and body size, a time limit for every request, a cap on open
// connections), hands it to the RequestHandler, and writes the answer; card
// operations wait for the CardCalls' answer without holding up anyone else.
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include "service/card_calls.h"
#include "service/messages.h"
#include "service/request_handler.h"

namespace service {

struct ServerLimits {
  std::size_t headerLimit = 8 * 1024;               // request line and headers
  std::size_t bodyLimit = kBodyLimit;               // larger bodies answer 413
  std::chrono::milliseconds requestTimeout{10000};  // headers, then the body, each
  std::size_t connectionLimit = 64;                 // more are closed at once
};

using LogLine = std::function<void(const std::string&)>;
// A refused request: who sent it (origin, or host when it names none) and
// the log's line about it.
using RefusalHook = std::function<void(const std::string& sender, const std::string& line)>;

class HttpServer {
 public:
  HttpServer(boost::asio::io_context& loop, LogLine log, ServerLimits limits);
  ~HttpServer();

  // Binds 127.0.0.1:port (0: the system chooses) and listens. When that
  // fails: kListenInUse, kListenDenied or kListenFailed (with the system's
  // reason), the port as the value.
  Failure Listen(unsigned short port);
  unsigned short Port() const;

  // Starts accepting connections, each answered by handler, the card
  // operations by cards (which must outlive the event loop's run).
  void Serve(std::shared_ptr<const RequestHandler> handler, CardCalls& cards);

  // Also tells hook of each request that the handler refused.
  void ReportRefusals(RefusalHook hook);

  // Stops accepting; open connections end with the event loop.
  void Stop();

  struct Shared;  // what the connections share with the server

 private:
  void Accept();

  boost::asio::ip::tcp::acceptor m_acceptor;
  boost::asio::steady_timer m_retry;  // after a failed accept (no descriptors left, say)
  std::shared_ptr<Shared> m_shared;
};

}  // namespace service
