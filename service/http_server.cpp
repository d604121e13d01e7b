#include "service/http_server.h"

#include <list>
#include <optional>
#include <utility>

#include <boost/asio/ip/address_v4.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "service/system_text.h"
#include "service/messages.h"
#include "service/refusal_limiter.h"
#include "service/service_log.h"

namespace service {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {
class Connection;
}  // namespace

struct HttpServer::Shared {
  CardCalls* cards = nullptr;
  LogLine log;
  RefusalHook refused;
  ServerLimits limits;
  std::shared_ptr<const RequestHandler> handler;
  RefusalLimiter refusals;
  std::size_t connections = 0;
  // The connections waiting for their client (to send the request's headers
  // or body, or to read the answer), the longest waiting first: at the cap
  // the first gives way. A client that sends requests and never reads the
  // answers waits here too, so it cannot hold a place against a new one.
  std::list<Connection*> waiting;
};

namespace {

std::optional<std::string> Field(const http::request<http::string_body>& request,
                                 http::field name) {
  auto found = request.find(name);
  if (found == request.end()) return std::nullopt;
  return std::string(found->value());
}

HttpRequest ToHttpRequest(http::request<http::string_body>& request) {
  HttpRequest plain;
  plain.method = std::string(request.method_string());
  plain.target = std::string(request.target());
  plain.host = Field(request, http::field::host);
  plain.origin = Field(request, http::field::origin);
  plain.contentType = Field(request, http::field::content_type);
  auto privateNetwork = request.find("Access-Control-Request-Private-Network");
  plain.privateNetworkPreflight =
      privateNetwork != request.end() && beast::iequals(privateNetwork->value(), "true");
  plain.body = std::move(request.body());
  return plain;
}

// Who sent a request, for the log: origin or host.
std::string Sender(const http::request<http::string_body>& request) {
  if (auto origin = Field(request, http::field::origin)) {
    return Say(Words::kSenderOrigin, {CutForLog(*origin)});
  }
  return Say(Words::kSenderHost,
             {CutForLog(Field(request, http::field::host).value_or(Say(Words::kNoOrigins)))});
}

// A refusal's line, within the sender's share of the log; the refusal hook
// sees every refusal, and keeps its own count.
void LogRefusal(HttpServer::Shared& shared, const std::string& sender, const std::string& line) {
  for (const std::string& text :
       shared.refusals.Refused(sender, line, RefusalLimiter::Clock::now())) {
    shared.log(text);
  }
  if (shared.refused) shared.refused(sender, line);
}

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(tcp::socket socket, std::shared_ptr<HttpServer::Shared> shared)
      : m_stream(std::move(socket)), m_shared(std::move(shared)) {
    ++m_shared->connections;
  }
  ~Connection() {
    StopWaiting();
    --m_shared->connections;
  }

  void Start() { ReadHeader(); }

  // Closes the connection while it waits for its client (to send or to
  // read): a new one needs its place.
  void GiveWay() {
    StopWaiting();
    Close();
  }

 private:
  void StartWaiting() {
    if (m_waiting) return;
    m_waiting = m_shared->waiting.insert(m_shared->waiting.end(), this);
  }

  void StopWaiting() {
    if (!m_waiting) return;
    m_shared->waiting.erase(*m_waiting);
    m_waiting.reset();
  }

  void ReadHeader() {
    StartWaiting();
    m_parser.emplace();
    m_parser->header_limit(static_cast<std::uint32_t>(m_shared->limits.headerLimit));
    m_parser->body_limit(m_shared->limits.bodyLimit);
    m_stream.expires_after(m_shared->limits.requestTimeout);
    http::async_read_header(m_stream, m_buffer, *m_parser,
                            [self = shared_from_this()](beast::error_code error, std::size_t) {
                              self->OnHeader(error);
                            });
  }

  void OnHeader(beast::error_code error) {
    if (error == http::error::header_limit) {
      LogRefusal(*m_shared, Say(Words::kHeadersTooLargeSender),
                 Say(Words::kRefusedHeaders, {std::to_string(m_shared->limits.headerLimit)}));
      return WriteAndClose(m_shared->handler->HeadersTooLarge(), 11);
    }
    // A Content-Length over the limit ends the header read already.
    if (error == http::error::body_limit) return RefuseTooLarge();
    if (error) return FailedRead(error);
    const auto length = m_parser->content_length();
    if (length && *length > m_shared->limits.bodyLimit) {
      return RefuseTooLarge();
    }
    if (m_parser->is_done()) return Dispatch();
    m_stream.expires_after(m_shared->limits.requestTimeout);
    http::async_read(
        m_stream, m_buffer, *m_parser,
        [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnBody(error); });
  }

  void OnBody(beast::error_code error) {
    if (error == http::error::body_limit) return RefuseTooLarge();
    if (error) return FailedRead(error);
    Dispatch();
  }

  void RefuseTooLarge() {
    const auto& request = m_parser->get();
    const std::string sender = Sender(request);
    LogRefusal(*m_shared, sender,
               Say(Words::kRefusedBody, {CutForLog(std::string(request.method_string())),
                                         CutForLog(std::string(request.target())),
                                         std::to_string(m_shared->limits.bodyLimit), sender}));
    WriteAndClose(m_shared->handler->TooLarge(), m_parser->get().version());
  }

  // A read that ended: the peer went away or took too long (nothing to
  // answer), or sent something that is not HTTP (answered 400).
  void FailedRead(beast::error_code error) {
    if (error.category() == beast::error_code(http::error::bad_target).category() &&
        error != http::error::end_of_stream && error != http::error::partial_message) {
      return WriteAndClose(m_shared->handler->NotHttp(), 11);
    }
    Close();
  }

  void Dispatch() {
    StopWaiting();
    auto& request = m_parser->get();
    m_version = request.version();
    m_keepAlive = request.keep_alive();
    const std::string line = CutForLog(std::string(request.method_string())) + " " +
                             CutForLog(std::string(request.target()));
    const std::string sender = Sender(request);
    const HttpRequest plain = ToHttpRequest(request);
    Routed routed = m_shared->handler->Route(plain);
    if (!routed.refusal.empty())
      LogRefusal(*m_shared, sender, Say(Words::kRefusedRequest, {line, routed.refusal}));
    if (const HttpResponse* response = routed.response()) return Write(*response, !m_keepAlive);
    // The card call may take up to the driver's timeout: no time limit here.
    m_stream.expires_never();
    CardRequest card = *routed.card();
    m_shared->cards->Submit(std::move(card), [self = shared_from_this(),
                                              routed = std::move(routed)](CardAnswer answer) {
      self->Write(self->m_shared->handler->AnswerCard(routed, answer), !self->m_keepAlive);
    });
  }

  void WriteAndClose(const HttpResponse& response, unsigned version) {
    StopWaiting();
    m_version = version;
    Write(response, true);
  }

  void Write(const HttpResponse& answer, bool close) {
    auto response = std::make_shared<http::response<http::string_body>>(
        static_cast<http::status>(answer.status), m_version);
    response->set(http::field::server, "cardservice");
    if (!answer.contentType.empty()) response->set(http::field::content_type, answer.contentType);
    for (const auto& [name, value] : SecurityHeaders()) response->set(name, value);
    for (const auto& [name, value] : answer.headers) response->insert(name, value);
    response->body() = answer.body;
    response->keep_alive(!close);
    response->prepare_payload();
    m_stream.expires_after(m_shared->limits.requestTimeout);
    StartWaiting();  // until the client has taken the answer
    http::async_write(
        m_stream, *response,
        [self = shared_from_this(), response, close](beast::error_code error, std::size_t) {
          self->StopWaiting();
          if (error || close) return self->Close();
          self->ReadHeader();
        });
  }

  void Close() {
    beast::error_code ignored;
    m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
    m_stream.close();
  }

  beast::tcp_stream m_stream;
  beast::flat_buffer m_buffer;
  std::optional<http::request_parser<http::string_body>> m_parser;
  std::shared_ptr<HttpServer::Shared> m_shared;
  unsigned m_version = 11;
  bool m_keepAlive = true;
  std::optional<std::list<Connection*>::iterator> m_waiting;
};

}  // namespace

void HttpServer::ReportRefusals(RefusalHook hook) { m_shared->refused = std::move(hook); }

HttpServer::HttpServer(asio::io_context& loop, LogLine log, ServerLimits limits)
    : m_acceptor(loop), m_retry(loop), m_shared(std::make_shared<Shared>()) {
  m_shared->log = std::move(log);
  m_shared->limits = limits;
}

HttpServer::~HttpServer() {
  Stop();
  for (const std::string& line : m_shared->refusals.Flush()) m_shared->log(line);
}

Failure HttpServer::Listen(unsigned short port) {
  const tcp::endpoint endpoint(asio::ip::address_v4::loopback(), port);
  beast::error_code failure;
  m_acceptor.open(endpoint.protocol(), failure);
#ifndef _WIN32
  // A restart may bind while connections of the last run linger; on Windows
  // the same option would let two programs share the port.
  if (!failure) m_acceptor.set_option(tcp::acceptor::reuse_address(true), failure);
#endif
  if (!failure) m_acceptor.bind(endpoint, failure);
  if (!failure) m_acceptor.listen(asio::socket_base::max_listen_connections, failure);
  if (!failure) return Failure{};
  beast::error_code ignored;
  m_acceptor.close(ignored);
  const std::string number = std::to_string(port);
  if (failure == asio::error::address_in_use) return Failure{Words::kListenInUse, number};
  if (failure == asio::error::access_denied) return Failure{Words::kListenDenied, number};
  return Failure{Words::kListenFailed, number, LocalTextToUtf8(failure.message())};
}

unsigned short HttpServer::Port() const {
  beast::error_code ignored;
  return m_acceptor.local_endpoint(ignored).port();
}

void HttpServer::Serve(std::shared_ptr<const RequestHandler> handler, CardCalls& cards) {
  m_shared->handler = std::move(handler);
  m_shared->cards = &cards;
  Accept();
}

void HttpServer::Accept() {
  m_acceptor.async_accept([this](beast::error_code error, tcp::socket socket) {
    if (error == asio::error::operation_aborted || !m_acceptor.is_open()) return;
    if (error) {
      // Accepting again at once would fail again at once: wait a little.
      m_retry.expires_after(std::chrono::milliseconds(100));
      m_retry.async_wait([this](beast::error_code waited) {
        if (!waited) Accept();
      });
      return;
    }
    if (m_shared->connections >= m_shared->limits.connectionLimit) {
      if (m_shared->waiting.empty()) {
        // Every connection is being answered: the client may try again.
        beast::error_code ignored;
        socket.close(ignored);
        return Accept();
      }
      m_shared->waiting.front()->GiveWay();
    }
    std::make_shared<Connection>(std::move(socket), m_shared)->Start();
    Accept();
  });
}

void HttpServer::Stop() {
  beast::error_code ignored;
  m_acceptor.close(ignored);
  m_retry.cancel();
}

}  // namespace service
