#pragma once
// The card service's HTTP interface apart from the sockets: who may call it
// (Host and Origin), CORS, the routes and their methods, the request bodies,
// and the answers to the card operations. Pure: everything it needs comes in
// through its arguments.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "service/card_calls.h"
#include "service/http_exchange.h"

namespace service {

constexpr std::size_t kBodyLimit = 4096;

struct AccessPolicy {
  unsigned short port = 0;           // the port the service listens on
  std::vector<std::string> origins;  // the allowed web origins besides its own
};

// What the service knows of itself for /v1/status and /v1/desk.
struct ServiceState {
  std::function<bool()> busy;
  std::function<int()> version;  // -1 while unknown
  // The /v1/desk answer, JSON text: with the paths and the log's lines
  // (detail) for the service's own page, without for the listed origins.
  std::function<std::string(bool detail)> desk;
  int timeoutSeconds = 30;  // the wait for the driver, for pages to follow
  // The service's folder or its files can be changed by ordinary users and
  // cardservice.ini does not say to serve anyway: every card read is refused.
  bool refuseReads = false;
};

// The outcome of one request: an answer at once, or a card call whose
// answer AnswerCard turns into the response.
struct Routed {
  std::variant<HttpResponse, CardRequest> next;
  std::vector<HttpHeader> cors;  // headers that every answer to it carries
  std::string refusal;           // non-empty: why it was refused, for the log

  const HttpResponse* response() const { return std::get_if<HttpResponse>(&next); }
  const CardRequest* card() const { return std::get_if<CardRequest>(&next); }
};

class RequestHandler {
 public:
  RequestHandler(AccessPolicy policy, ServiceState state);

  Routed Route(const HttpRequest& request) const;

  // The answer to a routed card call; routed is what Route gave.
  HttpResponse AnswerCard(const Routed& routed, const CardAnswer& answer) const;

  // Answers for failures found while reading the request, before Route:
  // 413 (body over the limit), 431 (headers over the limit), 400 (not HTTP).
  HttpResponse TooLarge() const;
  HttpResponse HeadersTooLarge() const;
  HttpResponse NotHttp() const;

  const AccessPolicy& policy() const { return m_policy; }

 private:
  bool HostAllowed(const std::optional<std::string>& host) const;
  bool OriginAllowed(const std::string& origin) const;
  bool OwnOrigin(const std::string& origin) const;

  AccessPolicy m_policy;
  ServiceState m_state;
};

// The headers that every answer carries, whatever its route: no page may
// frame the service's answers, and the status page runs only its own files.
const std::vector<HttpHeader>& SecurityHeaders();

// {"ok":false,"message":message} with status.
HttpResponse ErrorResponse(int status, const std::string& message);

// True when a Content-Type value names application/json, with or without
// parameters such as "; charset=utf-8" (case-insensitive).
bool IsJsonContentType(const std::string& value);

// The path of a request target: without its query or fragment.
std::string PathOf(const std::string& target);

}  // namespace service
