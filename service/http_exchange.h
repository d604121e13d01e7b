#pragma once
// A request as the card service sees it, and the answer it gives: plain data,
// so that the policy and the routes are tested and fuzzed without sockets.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace service {

struct HttpRequest {
  std::string method;                      // "GET", "POST", ... as sent
  std::string target;                      // "/v1/status?x=1", as sent
  std::optional<std::string> host;         // the Host header, if any
  std::optional<std::string> origin;       // the Origin header, if any
  std::optional<std::string> contentType;  // the Content-Type header, if any
  bool privateNetworkPreflight = false;    // Access-Control-Request-Private-Network: true
  std::string body;
};

using HttpHeader = std::pair<std::string, std::string>;

struct HttpResponse {
  int status = 200;
  std::string contentType = "application/json; charset=utf-8";
  std::vector<HttpHeader> headers;  // beyond Content-Type
  std::string body;
};

}  // namespace service
