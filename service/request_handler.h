#pragma once
// The card service's HTTP interface apart from the sockets: who may call it
// (Host and Origin), CORS, the routes and their methods, the request bodies,
// and the answers to the card operations. Pure: everything it needs comes in
// through its arguments.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
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
  std::function<int()> version;        // -1 while unknown
  std::function<std::string()> desk;   // the /v1/desk answer, JSON text
};

// The outcome of one request: an answer at once, or a card call whose
// answer AnswerCard turns into the response.
struct Routed {
  std::optional<HttpResponse> response;
  std::optional<CardRequest> card;
  std::vector<HttpHeader> cors;  // headers that every answer to it carries
  std::string refusal;           // non-empty: why it was refused, for the log
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

  AccessPolicy m_policy;
  ServiceState m_state;
};

// {"ok":false,"message":message} with status.
HttpResponse ErrorResponse(int status, const std::string& message);

// True when a Content-Type value names application/json, with or without
// parameters such as "; charset=utf-8" (case-insensitive).
bool IsJsonContentType(const std::string& value);

// The path of a request target: without its query or fragment.
std::string PathOf(const std::string& target);

}  // namespace service
