#pragma once
// An HTTP client for the tests of the card service over the loopback
// address (Boost.Beast, one event loop, no threads: it runs in the win32
// build too). Every exchange has a time limit, so that a service that does
// not answer fails the test instead of hanging it.
#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace service_test {

struct Exchange {
  std::string method = "GET";
  std::string target = "/v1/status";
  std::vector<std::pair<std::string, std::string>> headers;  // Host added when absent
  std::string body;
  std::chrono::milliseconds delay{0};  // wait this long before connecting
};

struct Reply {
  bool received = false;  // a whole answer came back
  int status = 0;
  std::map<std::string, std::string> headers;  // names lowered
  std::string body;
  std::string Header(const std::string& lowered) const {
    auto found = headers.find(lowered);
    return found == headers.end() ? std::string() : found->second;
  }
};

using Duration = std::chrono::milliseconds;

// One exchange on a connection of its own.
Reply Send(unsigned short port, const Exchange& exchange, Duration limit = Duration(20000));

// Several exchanges on one kept-alive connection, one after another.
std::vector<Reply> SendOnOneConnection(unsigned short port, const std::vector<Exchange>& exchanges,
                                       Duration limit = Duration(20000));

// All exchanges at once, each on a connection of its own; the replies in
// the same order.
std::vector<Reply> SendAtOnce(unsigned short port, const std::vector<Exchange>& exchanges,
                              Duration limit = Duration(60000));

// Writes bytes on a fresh connection, then reads what comes back until the
// service closes the connection or limit passes. closed tells which.
struct RawResult {
  std::string received;
  bool closed = false;
};
RawResult SendRaw(unsigned short port, const std::string& bytes, Duration limit);

// Opens connections, writes each its bytes, and leaves them open
// (for connections that the service must drop by itself). receiveBuffer,
// when not 0, shrinks each one's receive buffer to about that many bytes
// (a client that reads nothing then soon stalls the service's writes).
class OpenConnections {
 public:
  OpenConnections(unsigned short port, const std::vector<std::string>& bytes,
                  int receiveBuffer = 0);
  ~OpenConnections();
  // How many of them the service has closed within limit.
  std::size_t ClosedWithin(Duration limit);

 private:
  struct State;
  State* m_state;
};

// A port on 127.0.0.1 that nobody listens on just now.
unsigned short FreePort();

// Holds a port busy (listening) while it lives.
class PortHolder {
 public:
  PortHolder();
  ~PortHolder();
  unsigned short port() const { return m_port; }

 private:
  struct State;
  State* m_state;
  unsigned short m_port = 0;
};

}  // namespace service_test
