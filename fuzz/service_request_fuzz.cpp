// The card service's request handling with any method, path, headers and
// body that a web page or a local program could send.
//
// Input: a flags byte (which of Host, Origin and Content-Type are present,
// and the private-network preflight header), then method, target, Host,
// Origin and Content-Type, each ended by a line feed; the rest is the body.
//
// What holds for every request:
// - it becomes exactly one of an answer and a card call;
// - an answer's status is one the interface names, its JSON body parses,
//   and every failure says ok:false with a message;
// - a Host other than 127.0.0.1:PORT or localhost:PORT is refused with 403,
//   and so is an Origin that is neither listed nor the service's own;
// - CORS headers appear only for an allowed Origin, echoing it exactly;
// - a card call needs POST, a JSON content type, a body of at most 4 KiB
//   that is a JSON object, and for the magnetic card a string track that is
//   exactly the body's;
// - every outcome of a card call becomes a JSON answer with its status.
#include <cctype>
#include <cstdint>
#include <set>
#include <string>

#include <nlohmann/json.hpp>

#include "fuzz_check.h"
#include "service/request_handler.h"

namespace {

using nlohmann::json;
using service::CallOutcome;
using service::CardAnswer;
using service::HttpRequest;
using service::HttpResponse;

constexpr unsigned short kPort = 18086;
const char kListed[] = "https://his.hospital.example";

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool HostAllowed(const std::optional<std::string>& host) {
  if (!host) return false;
  const std::string lowered = Lowered(*host);
  return lowered == "127.0.0.1:18086" || lowered == "localhost:18086";
}

// Origins compare as browsers write them: case aside, and without the
// scheme's default port.
bool OriginAllowed(std::string origin) {
  for (char& c : origin) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* suffix : {":443", ":80"}) {
    const std::string end = suffix;
    const bool https = origin.rfind("https://", 0) == 0;
    if (origin.size() > end.size() &&
        origin.compare(origin.size() - end.size(), end.size(), end) == 0 &&
        (https == (end == ":443"))) {
      origin.erase(origin.size() - end.size());
    }
  }
  return origin == kListed || origin == "http://127.0.0.1:18086" ||
         origin == "http://localhost:18086";
}

std::string HeaderOf(const HttpResponse& response, const std::string& name) {
  for (const auto& [key, value] : response.headers) {
    if (key == name) return value;
  }
  return {};
}

void CheckAnswer(const HttpResponse& response, const HttpRequest& request) {
  static const std::set<int> statuses = {200, 204, 400, 403, 404, 405,
                                         413, 415, 500, 502, 503, 504};
  FUZZ_CHECK(statuses.count(response.status) == 1);
  const std::string allowOrigin = HeaderOf(response, "Access-Control-Allow-Origin");
  if (!allowOrigin.empty()) {
    FUZZ_CHECK(request.origin && allowOrigin == *request.origin);
    FUZZ_CHECK(OriginAllowed(allowOrigin));
    FUZZ_CHECK(HeaderOf(response, "Vary") == "Origin");
  }
  if (response.status == 204) {
    FUZZ_CHECK(request.method == "OPTIONS" && response.body.empty());
    return;
  }
  if (response.contentType.rfind("application/json", 0) != 0) {
    FUZZ_CHECK(response.status == 200 && request.method == "GET");
    return;
  }
  const json body = json::parse(response.body, nullptr, false);
  FUZZ_CHECK(body.is_object());
  if (response.status != 200) {
    FUZZ_CHECK(body["ok"] == false);
    FUZZ_CHECK(body["message"].is_string() && !body["message"].get<std::string>().empty());
  }
}

std::string NextField(const std::string& input, std::size_t& at) {
  const std::size_t end = input.find('\n', at);
  const std::size_t stop = end == std::string::npos ? input.size() : end;
  std::string field = input.substr(at, stop - at);
  at = end == std::string::npos ? input.size() : end + 1;
  return field;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const uint8_t flags = data[0];
  std::size_t at = 0;
  HttpRequest request;
  request.method = NextField(input, at);
  request.target = NextField(input, at);
  const std::string host = NextField(input, at);
  const std::string origin = NextField(input, at);
  const std::string contentType = NextField(input, at);
  if (flags & 1) request.host = host;
  if (flags & 2) request.origin = origin;
  if (flags & 4) request.contentType = contentType;
  request.privateNetworkPreflight = (flags & 8) != 0;
  request.body = input.substr(at);

  service::ServiceState state;
  state.busy = [flags] { return (flags & 16) != 0; };
  state.version = [] { return 86; };
  state.desk = [](bool) { return std::string("{}"); };
  const service::RequestHandler handler(service::AccessPolicy{kPort, {kListed}}, state);
  const service::Routed routed = handler.Route(request);

  if (!HostAllowed(request.host) || (request.origin && !OriginAllowed(*request.origin))) {
    FUZZ_CHECK(routed.response() && routed.response()->status == 403);
    FUZZ_CHECK(HeaderOf(*routed.response(), "Access-Control-Allow-Origin").empty());
    FUZZ_CHECK(!routed.refusal.empty());
  }
  if (routed.response()) {
    CheckAnswer(*routed.response(), request);
    return 0;
  }

  FUZZ_CHECK(request.method == "POST");
  FUZZ_CHECK(request.contentType && service::IsJsonContentType(*request.contentType));
  FUZZ_CHECK(request.body.size() <= service::kBodyLimit);
  const json body = json::parse(request.body, nullptr, false);
  FUZZ_CHECK(body.is_object());
  if (routed.card()->operation == service::CardOperation::MagneticCard) {
    FUZZ_CHECK(body.contains("track") && body["track"].is_string());
    FUZZ_CHECK(body["track"].get<std::string>() == routed.card()->track);
  }
  // The worker's answer text is whatever the library said: any bytes.
  static const int expected[] = {200, 503, 504, 502, 500};
  const CallOutcome outcomes[] = {CallOutcome::Answered, CallOutcome::Busy, CallOutcome::TimedOut,
                                  CallOutcome::WorkerDied, CallOutcome::Unavailable};
  for (int i = 0; i < 5; ++i) {
    const HttpResponse answer =
        handler.AnswerCard(routed, CardAnswer{outcomes[i], (flags & 32) != 0, request.body});
    FUZZ_CHECK(answer.status == expected[i]);
    CheckAnswer(answer, request);
  }
  return 0;
}
