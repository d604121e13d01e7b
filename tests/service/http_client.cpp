#include "tests/service/http_client.h"

#include <memory>
#include <optional>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address_v4.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

namespace service_test {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

namespace {

tcp::endpoint Loopback(unsigned short port) {
  return tcp::endpoint(asio::ip::address_v4::loopback(), port);
}

http::request<http::string_body> ToRequest(unsigned short port, const Exchange& exchange) {
  http::request<http::string_body> request;
  request.method_string(exchange.method);
  request.target(exchange.target);
  request.version(11);
  bool hasHost = false;
  for (const auto& [name, value] : exchange.headers) {
    request.insert(name, value);
    hasHost = hasHost || beast::iequals(name, "host");
  }
  if (!hasHost) request.set(http::field::host, "127.0.0.1:" + std::to_string(port));
  request.body() = exchange.body;
  if (!exchange.body.empty() || exchange.method == "POST") request.prepare_payload();
  return request;
}

Reply ToReply(const http::response<http::string_body>& response) {
  Reply reply;
  reply.received = true;
  reply.status = static_cast<int>(response.result_int());
  for (const auto& field : response) {
    std::string name(field.name_string());
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    reply.headers[name] = std::string(field.value());
  }
  reply.body = response.body();
  return reply;
}

// Runs a chain of exchanges on one connection.
struct Conversation : std::enable_shared_from_this<Conversation> {
  Conversation(asio::io_context& loop, unsigned short port, std::vector<Exchange> exchanges,
               Duration limit)
      : stream(loop), timer(loop), port(port), exchanges(std::move(exchanges)), limit(limit) {}

  void Start() {
    timer.expires_after(exchanges.front().delay);
    timer.async_wait([self = shared_from_this()](beast::error_code) { self->Connect(); });
  }

  void Connect() {
    stream.expires_after(limit);
    stream.async_connect(Loopback(port), [self = shared_from_this()](beast::error_code error) {
      if (!error) self->Next();
    });
  }

  void Next() {
    if (replies.size() == exchanges.size()) {
      beast::error_code ignored;
      stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
      return;
    }
    request = ToRequest(port, exchanges[replies.size()]);
    http::async_write(stream, request,
                      [self = shared_from_this()](beast::error_code error, std::size_t) {
                        if (error) return;
                        self->response = {};
                        self->parser.emplace();
                        self->parser->body_limit(1 << 20);
                        http::async_read(self->stream, self->buffer, *self->parser,
                                         [self](beast::error_code error, std::size_t) {
                                           if (error) return;
                                           self->replies.push_back(ToReply(self->parser->get()));
                                           self->Next();
                                         });
                      });
  }

  beast::tcp_stream stream;
  asio::steady_timer timer;
  unsigned short port;
  std::vector<Exchange> exchanges;
  Duration limit;
  http::request<http::string_body> request;
  http::response<http::string_body> response;
  std::optional<http::response_parser<http::string_body>> parser;
  beast::flat_buffer buffer;
  std::vector<Reply> replies;
};

}  // namespace

std::vector<Reply> SendOnOneConnection(unsigned short port, const std::vector<Exchange>& exchanges,
                                       Duration limit) {
  asio::io_context loop;
  auto conversation = std::make_shared<Conversation>(loop, port, exchanges, limit);
  conversation->Start();
  loop.run();
  std::vector<Reply> replies = conversation->replies;
  replies.resize(exchanges.size());
  return replies;
}

Reply Send(unsigned short port, const Exchange& exchange, Duration limit) {
  return SendOnOneConnection(port, {exchange}, limit).front();
}

std::vector<Reply> SendAtOnce(unsigned short port, const std::vector<Exchange>& exchanges,
                              Duration limit) {
  asio::io_context loop;
  std::vector<std::shared_ptr<Conversation>> conversations;
  for (const Exchange& exchange : exchanges) {
    conversations.push_back(
        std::make_shared<Conversation>(loop, port, std::vector<Exchange>{exchange}, limit));
    conversations.back()->Start();
  }
  loop.run();
  std::vector<Reply> replies;
  for (const auto& conversation : conversations) {
    replies.push_back(conversation->replies.empty() ? Reply{} : conversation->replies.front());
  }
  return replies;
}

RawResult SendRaw(unsigned short port, const std::string& bytes, Duration limit) {
  asio::io_context loop;
  beast::tcp_stream stream(loop);
  RawResult result;
  std::string chunk(4096, '\0');
  std::function<void()> readMore = [&] {
    stream.async_read_some(asio::buffer(chunk), [&](beast::error_code error, std::size_t got) {
      result.received.append(chunk, 0, got);
      if (error == asio::error::eof || error == asio::error::connection_reset) {
        result.closed = true;
      } else if (!error) {
        readMore();
      }
    });
  };
  stream.expires_after(limit);
  stream.async_connect(Loopback(port), [&](beast::error_code error) {
    if (error) return;
    asio::async_write(stream, asio::buffer(bytes), [&](beast::error_code error, std::size_t) {
      // The service may close before it has read everything (headers over
      // the limit, say): what it answered is still to be read.
      (void)error;
      readMore();
    });
  });
  loop.run();
  return result;
}

struct OpenConnections::State {
  asio::io_context loop;
  std::vector<std::unique_ptr<tcp::socket>> sockets;
};

OpenConnections::OpenConnections(unsigned short port, const std::vector<std::string>& bytes,
                                 int receiveBuffer)
    : m_state(new State) {
  for (const std::string& text : bytes) {
    auto socket = std::make_unique<tcp::socket>(m_state->loop);
    beast::error_code error;
    if (receiveBuffer > 0) {
      socket->open(tcp::v4(), error);
      if (!error) socket->set_option(asio::socket_base::receive_buffer_size(receiveBuffer), error);
    }
    socket->connect(Loopback(port), error);
    if (!error) asio::write(*socket, asio::buffer(text), error);
    m_state->sockets.push_back(std::move(socket));
  }
}

OpenConnections::~OpenConnections() { delete m_state; }

std::size_t OpenConnections::ClosedWithin(Duration limit) {
  std::size_t closed = 0;
  std::vector<std::string> chunks(m_state->sockets.size(), std::string(4096, '\0'));
  std::vector<std::function<void()>> readers(m_state->sockets.size());
  for (std::size_t i = 0; i < m_state->sockets.size(); ++i) {
    readers[i] = [this, i, &closed, &chunks, &readers] {
      m_state->sockets[i]->async_read_some(
          asio::buffer(chunks[i]), [i, &closed, &readers](beast::error_code error, std::size_t) {
            if (error && error != asio::error::operation_aborted) {
              ++closed;
            } else if (!error) {
              readers[i]();
            }
          });
    };
    readers[i]();
  }
  m_state->loop.restart();
  m_state->loop.run_for(limit);
  for (auto& socket : m_state->sockets) {
    beast::error_code ignored;
    socket->cancel(ignored);
  }
  m_state->loop.restart();
  m_state->loop.run();
  return closed;
}

unsigned short FreePort() {
  asio::io_context loop;
  tcp::acceptor acceptor(loop, Loopback(0));
  return acceptor.local_endpoint().port();
}

struct PortHolder::State {
  asio::io_context loop;
  tcp::acceptor acceptor{loop};
};

PortHolder::PortHolder() : m_state(new State) {
  m_state->acceptor.open(tcp::v4());
  m_state->acceptor.bind(Loopback(0));
  m_state->acceptor.listen();
  m_port = m_state->acceptor.local_endpoint().port();
}

PortHolder::~PortHolder() { delete m_state; }

}  // namespace service_test
