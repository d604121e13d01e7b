#include "service/request_handler.h"

#include <cctype>
#include <utility>

#include <nlohmann/json.hpp>

#include "config/ini_reader.h"
#include "service/messages.h"
#include "service/service_log.h"
#include "text/blanks.h"
#include "service/web_files.h"
#include "service/web_origin.h"

namespace service {
namespace {

using json = nlohmann::ordered_json;  // keys in the order written

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// JSON text that never throws: bytes that are not UTF-8 become U+FFFD.
std::string JsonText(const json& value) {
  return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

HttpResponse JsonResponse(int status, const json& value) {
  HttpResponse response;
  response.status = status;
  response.body = JsonText(value);
  response.headers.emplace_back("Cache-Control", "no-store");
  return response;
}

enum class Endpoint { None, Status, Desk, WebFile, IcCardNumber, IcCardInfo, MagneticCard };

Endpoint EndpointOf(const std::string& path) {
  if (path == "/v1/status") return Endpoint::Status;
  if (path == "/v1/desk") return Endpoint::Desk;
  if (path == "/v1/ic-card/number") return Endpoint::IcCardNumber;
  if (path == "/v1/ic-card/info") return Endpoint::IcCardInfo;
  if (path == "/v1/magnetic-card") return Endpoint::MagneticCard;
  if (FindWebFile(path) != nullptr) return Endpoint::WebFile;
  return Endpoint::None;
}

bool IsCardRoute(Endpoint route) {
  return route == Endpoint::IcCardNumber || route == Endpoint::IcCardInfo ||
         route == Endpoint::MagneticCard;
}

void AddHeaders(HttpResponse& response, const std::vector<HttpHeader>& headers) {
  response.headers.insert(response.headers.end(), headers.begin(), headers.end());
}

Routed Answer(HttpResponse response, std::vector<HttpHeader> cors, std::string refusal = {}) {
  Routed routed;
  AddHeaders(response, cors);
  routed.next = std::move(response);
  routed.cors = std::move(cors);
  routed.refusal = std::move(refusal);
  return routed;
}

// The worker's own words when it gave any, else the fallback.
std::string Or(const std::string& text, Words fallback) {
  return text.empty() ? Say(fallback) : text;
}

}  // namespace

const std::vector<HttpHeader>& SecurityHeaders() {
  static const std::vector<HttpHeader> headers = {
      {"X-Content-Type-Options", "nosniff"},
      {"X-Frame-Options", "DENY"},
      {"Content-Security-Policy",
       "default-src 'none'; script-src 'self'; style-src 'self'; connect-src 'self'; "
       "img-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'"},
  };
  return headers;
}

HttpResponse ErrorResponse(int status, const std::string& message) {
  return JsonResponse(status, json{{"ok", false}, {"message", message}});
}

bool IsJsonContentType(const std::string& value) {
  std::string type = value.substr(0, value.find(';'));
  type = Lowered(text::TrimBlanks(type));
  return type == "application/json";
}

std::string PathOf(const std::string& target) {
  return target.substr(0, target.find_first_of("?#"));
}

RequestHandler::RequestHandler(AccessPolicy policy, ServiceState state)
    : m_policy(std::move(policy)), m_state(std::move(state)) {}

bool RequestHandler::HostAllowed(const std::optional<std::string>& host) const {
  if (!host) return false;
  const std::string name = Lowered(*host);
  const std::string port = std::to_string(m_policy.port);
  for (const char* allowed : {"127.0.0.1", "localhost"}) {
    if (name == std::string(allowed) + ":" + port) return true;
    if (m_policy.port == 80 && name == allowed) return true;
  }
  return false;
}

bool RequestHandler::OwnOrigin(const std::string& origin) const {
  const std::optional<std::string> sent = NormalizeOrigin(origin);
  if (!sent) return false;
  const std::string port = std::to_string(m_policy.port);
  for (const char* own : {"http://127.0.0.1:", "http://localhost:"}) {
    if (*sent == NormalizeOrigin(own + port)) return true;
  }
  return false;
}

bool RequestHandler::OriginAllowed(const std::string& origin) const {
  if (OwnOrigin(origin)) return true;
  const std::optional<std::string> sent = NormalizeOrigin(origin);
  if (!sent) return false;
  for (const std::string& allowed : m_policy.origins) {
    if (*sent == NormalizeOrigin(allowed)) return true;
  }
  return false;
}

Routed RequestHandler::Route(const HttpRequest& request) const {
  if (!HostAllowed(request.host)) {
    return Answer(
        ErrorResponse(403, Say(Words::kRefusedHost)), {},
        Say(Words::kHostNotAccepted, {CutForLog(request.host.value_or(Say(Words::kNoOrigins)))}));
  }
  std::vector<HttpHeader> cors;
  if (request.origin) {
    if (!OriginAllowed(*request.origin)) {
      return Answer(ErrorResponse(403, Say(Words::kRefusedOrigin)), {},
                    Say(Words::kOriginNotAllowed, {CutForLog(*request.origin)}));
    }
    cors.emplace_back("Access-Control-Allow-Origin", *request.origin);
    cors.emplace_back("Vary", "Origin");
  }

  const std::string path = PathOf(request.target);
  const Endpoint route = EndpointOf(path);
  if (route == Endpoint::None)
    return Answer(ErrorResponse(404, Say(Words::kNoSuchPath, {path.substr(0, 200)})), cors);

  const std::string allowedMethod = IsCardRoute(route) ? "POST" : "GET";
  if (request.method == "OPTIONS") {
    HttpResponse preflight;
    preflight.status = 204;
    preflight.contentType.clear();
    preflight.headers = {{"Allow", allowedMethod + ", OPTIONS"}};
    if (request.origin) {
      preflight.headers.emplace_back("Access-Control-Allow-Methods", "POST, GET");
      preflight.headers.emplace_back("Access-Control-Allow-Headers", "Content-Type");
      preflight.headers.emplace_back("Access-Control-Max-Age", "600");
      if (request.privateNetworkPreflight) {
        preflight.headers.emplace_back("Access-Control-Allow-Private-Network", "true");
      }
    }
    return Answer(std::move(preflight), cors);
  }
  if (request.method != allowedMethod) {
    HttpResponse refused = ErrorResponse(405, Say(Words::kMethodOnly, {allowedMethod}));
    refused.headers.emplace_back("Allow", allowedMethod + ", OPTIONS");
    return Answer(std::move(refused), cors);
  }
  if (request.body.size() > kBodyLimit) {
    return Answer(TooLarge(), cors, Say(Words::kBodyTooLarge));
  }

  switch (route) {
    case Endpoint::Status: {
      const int version = m_state.version ? m_state.version() : -1;
      json status{{"service", "readcard"},
                  {"version", version >= 0 ? json(version) : json(nullptr)},
                  {"busy", m_state.busy ? m_state.busy() : false},
                  {"timeout", m_state.timeoutSeconds}};
      return Answer(JsonResponse(200, status), cors);
    }
    case Endpoint::Desk: {
      HttpResponse desk = JsonResponse(200, json::object());
      // Browsers send no Origin with a page's GET of its own origin.
      const bool ownPage = !request.origin || OwnOrigin(*request.origin);
      if (m_state.desk) desk.body = m_state.desk(ownPage);
      return Answer(std::move(desk), cors);
    }
    case Endpoint::WebFile: {
      const WebFile* file = FindWebFile(path);
      HttpResponse page;
      page.contentType = file->contentType;
      page.body.assign(reinterpret_cast<const char*>(file->data), file->size);
      page.headers.emplace_back("Cache-Control", "no-cache");
      return Answer(std::move(page), cors);
    }
    default:
      break;
  }

  // A card operation.
  if (!request.contentType || !IsJsonContentType(*request.contentType)) {
    return Answer(ErrorResponse(415, Say(Words::kNotJsonType)), cors,
                  Say(Words::kContentTypeRefused,
                      {CutForLog(request.contentType.value_or(Say(Words::kNoOrigins)))}));
  }
  const json body = json::parse(request.body, nullptr, false);
  if (body.is_discarded()) return Answer(ErrorResponse(400, Say(Words::kBodyNotJson)), cors);
  if (!body.is_object()) return Answer(ErrorResponse(400, Say(Words::kBodyNotObject)), cors);

  if (m_state.refuseReads) return Answer(ErrorResponse(500, Say(Words::kDeskReadsRefused)), cors);

  CardRequest card;
  if (route == Endpoint::IcCardNumber) {
    card.operation = CardOperation::IcCardNumber;
  } else if (route == Endpoint::IcCardInfo) {
    card.operation = CardOperation::IcCardInfo;
  } else {
    card.operation = CardOperation::MagneticCard;
    auto track = body.find("track");
    if (track == body.end() || !track->is_string()) {
      return Answer(ErrorResponse(400, Say(Words::kNoTrack)), cors);
    }
    card.track = track->get<std::string>();
  }
  Routed routed;
  routed.next = std::move(card);
  routed.cors = std::move(cors);
  return routed;
}

HttpResponse RequestHandler::AnswerCard(const Routed& routed, const CardAnswer& answer) const {
  HttpResponse response;
  switch (answer.outcome) {
    case CallOutcome::Answered:
      if (!answer.ok) {
        const std::string message =
            answer.text.empty() ? Say(Words::kReadFailedUnlogged) : answer.text;
        response = JsonResponse(200, json{{"ok", false}, {"message", message}});
      } else if (routed.card() && routed.card()->operation == CardOperation::IcCardInfo) {
        response = JsonResponse(200, json{{"ok", true}, {"info", answer.text}});
      } else {
        response = JsonResponse(200, json{{"ok", true}, {"number", answer.text}});
      }
      break;
    case CallOutcome::Busy:
      response = ErrorResponse(503, Or(answer.text, Words::kCardBusy));
      response.headers.emplace_back("Retry-After", "1");
      break;
    case CallOutcome::TimedOut:
      response = ErrorResponse(504, Or(answer.text, Words::kDriverTimedOut));
      break;
    case CallOutcome::WorkerDied:
      response = ErrorResponse(502, Or(answer.text, Words::kDriverCrashed));
      break;
    case CallOutcome::Unavailable:
    default:
      response = ErrorResponse(500, Or(answer.text, Words::kCardUnavailable));
      break;
  }
  AddHeaders(response, routed.cors);
  return response;
}

HttpResponse RequestHandler::TooLarge() const {
  return ErrorResponse(413, Say(Words::kBodyTooLarge));
}

HttpResponse RequestHandler::HeadersTooLarge() const {
  return ErrorResponse(431, Say(Words::kHeadersTooLarge));
}

HttpResponse RequestHandler::NotHttp() const { return ErrorResponse(400, Say(Words::kNotHttp)); }

}  // namespace service
