// The card service's HTTP interface without sockets: who may call it, CORS,
// the routes, the bodies, and how card answers become HTTP answers.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "service/messages.h"
#include "service/request_handler.h"

namespace service {
namespace {

using nlohmann::json;

constexpr unsigned short kPort = 18086;
const char kHis[] = "https://his.hospital.example";

RequestHandler Handler(bool busy = false, int version = 86, unsigned short port = kPort,
                       bool refuseReads = false) {
  ServiceState state;
  state.refuseReads = refuseReads;
  state.busy = [busy] { return busy; };
  state.version = [version] { return version; };
  state.desk = [](bool detail) {
    return std::string(R"({"service":"readcard","desk":true,"detail":)") +
           (detail ? "true}" : "false}");
  };
  return RequestHandler(AccessPolicy{port, {kHis, "http://10.1.2.3:8080"}}, state);
}

HttpRequest Post(const std::string& target, const std::string& body,
                 std::optional<std::string> origin = kHis) {
  HttpRequest request;
  request.method = "POST";
  request.target = target;
  request.host = "127.0.0.1:18086";
  request.origin = std::move(origin);
  request.contentType = "application/json";
  request.body = body;
  return request;
}

HttpRequest Get(const std::string& target, std::optional<std::string> origin = std::nullopt) {
  HttpRequest request;
  request.method = "GET";
  request.target = target;
  request.host = "127.0.0.1:18086";
  request.origin = std::move(origin);
  return request;
}

std::optional<std::string> Header(const HttpResponse& response, const std::string& name) {
  for (const auto& [key, value] : response.headers) {
    if (key == name) return value;
  }
  return std::nullopt;
}

json Body(const HttpResponse& response) { return json::parse(response.body); }

struct RefusedCase {
  const char* name;
  HttpRequest request;
  int status;
  bool logged;  // the refusal names its reason for the service log
  std::string message;
};

TEST(RequestHandler, ProtocolFailuresAnswerTheirStatusWithAMessage) {
  auto withHost = [](HttpRequest request, std::optional<std::string> host) {
    request.host = std::move(host);
    return request;
  };
  auto withType = [](HttpRequest request, std::optional<std::string> type) {
    request.contentType = std::move(type);
    return request;
  };
  auto withMethod = [](HttpRequest request, std::string method) {
    request.method = std::move(method);
    return request;
  };
  const std::vector<RefusedCase> cases = {
      {"foreign host", withHost(Get("/v1/status"), "evil.example"), 403, true,
       Say(Words::kRefusedHost)},
      {"foreign host with our port", withHost(Get("/v1/status"), "evil.example:18086"), 403, true,
       Say(Words::kRefusedHost)},
      {"loopback host on another port", withHost(Get("/v1/status"), "127.0.0.1:80"), 403, true,
       Say(Words::kRefusedHost)},
      {"no host", withHost(Get("/v1/status"), std::nullopt), 403, true, Say(Words::kRefusedHost)},
      {"host with a suffix", withHost(Get("/v1/status"), "localhost:18086.evil.example"), 403, true,
       Say(Words::kRefusedHost)},
      {"foreign origin", Post("/v1/ic-card/number", "{}", "https://evil.example"), 403, true,
       Say(Words::kRefusedOrigin)},
      {"origin differing by scheme",
       Post("/v1/ic-card/number", "{}", "http://his.hospital.example"), 403, true,
       Say(Words::kRefusedOrigin)},
      {"origin with a trailing slash",
       Post("/v1/ic-card/number", "{}", "https://his.hospital.example/"), 403, true,
       Say(Words::kRefusedOrigin)},
      {"origin on another port",
       Post("/v1/ic-card/number", "{}", "https://his.hospital.example:8443"), 403, true,
       Say(Words::kRefusedOrigin)},
      {"origin with a wildcard", Post("/v1/ic-card/number", "{}", "https://*.hospital.example"),
       403, true, Say(Words::kRefusedOrigin)},
      {"origin with a user", Post("/v1/ic-card/number", "{}", "https://x@his.hospital.example"),
       403, true, Say(Words::kRefusedOrigin)},
      {"null origin", Get("/v1/status", "null"), 403, true, Say(Words::kRefusedOrigin)},
      {"unknown path", Get("/v2/status"), 404, false, Say(Words::kNoSuchPath, {"/v2/status"})},
      {"path with a prefix", Get("/v1/status/x"), 404, false,
       Say(Words::kNoSuchPath, {"/v1/status/x"})},
      {"GET of a card operation", Get("/v1/ic-card/number"), 405, false,
       Say(Words::kMethodOnly, {"POST"})},
      {"POST of the status", Post("/v1/status", "{}"), 405, false,
       Say(Words::kMethodOnly, {"GET"})},
      {"DELETE of a card operation", withMethod(Post("/v1/magnetic-card", "{}"), "DELETE"), 405,
       false, Say(Words::kMethodOnly, {"POST"})},
      {"lower-case method", withMethod(Get("/v1/status"), "get"), 405, false,
       Say(Words::kMethodOnly, {"GET"})},
      {"body over 4 KiB", Post("/v1/ic-card/number", std::string(4097, ' ') + "{}"), 413, true,
       Say(Words::kBodyTooLarge)},
      {"no content type", withType(Post("/v1/ic-card/number", "{}"), std::nullopt), 415, true,
       Say(Words::kNotJsonType)},
      {"form content type",
       withType(Post("/v1/ic-card/number", "{}"), "application/x-www-form-urlencoded"), 415, true,
       Say(Words::kNotJsonType)},
      {"text content type", withType(Post("/v1/ic-card/info", "{}"), "text/plain"), 415, true,
       Say(Words::kNotJsonType)},
      {"json as a prefix", withType(Post("/v1/ic-card/info", "{}"), "application/jsonp"), 415, true,
       Say(Words::kNotJsonType)},
      {"malformed json", Post("/v1/ic-card/number", "{"), 400, false, Say(Words::kBodyNotJson)},
      {"empty body", Post("/v1/ic-card/info", ""), 400, false, Say(Words::kBodyNotJson)},
      {"array body", Post("/v1/ic-card/number", "[]"), 400, false, Say(Words::kBodyNotObject)},
      {"string body", Post("/v1/ic-card/number", "\"x\""), 400, false, Say(Words::kBodyNotObject)},
      {"missing track", Post("/v1/magnetic-card", "{}"), 400, false, Say(Words::kNoTrack)},
      {"numeric track", Post("/v1/magnetic-card", R"({"track":123})"), 400, false,
       Say(Words::kNoTrack)},
      {"null track", Post("/v1/magnetic-card", R"({"track":null})"), 400, false,
       Say(Words::kNoTrack)},
      {"trailing garbage", Post("/v1/magnetic-card", R"({"track":"1"} x)"), 400, false,
       Say(Words::kBodyNotJson)},
  };
  const RequestHandler handler = Handler();
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Routed routed = handler.Route(c.request);
    ASSERT_TRUE(routed.response());
    EXPECT_EQ(routed.response()->status, c.status);
    json body = Body(*routed.response());  // not const: a missing key reads as null
    EXPECT_EQ(body["ok"], false);
    EXPECT_EQ(body["message"], c.message);
    EXPECT_EQ(!routed.refusal.empty(), c.logged) << routed.refusal;
  }
}

TEST(RequestHandler, RefusalsForTheLogNameTheOriginOrHost) {
  const RequestHandler handler = Handler();
  HttpRequest foreignHost = Get("/v1/status");
  foreignHost.host = "evil.example";
  EXPECT_NE(handler.Route(foreignHost).refusal.find("evil.example"), std::string::npos);
  const Routed foreignOrigin =
      handler.Route(Post("/v1/ic-card/number", "{}", "https://evil.example:8443"));
  EXPECT_NE(foreignOrigin.refusal.find("https://evil.example:8443"), std::string::npos);
  HttpRequest wrongType = Post("/v1/ic-card/number", "{}");
  wrongType.contentType = "text/plain";
  EXPECT_NE(handler.Route(wrongType).refusal.find("text/plain"), std::string::npos);
}

TEST(RequestHandler, AForeignOriginGetsNoCorsHeaders) {
  const RequestHandler handler = Handler();
  for (const char* method : {"GET", "POST", "OPTIONS"}) {
    SCOPED_TRACE(method);
    HttpRequest request = Post("/v1/ic-card/number", "{}", "https://evil.example");
    request.method = method;
    const Routed routed = handler.Route(request);
    ASSERT_TRUE(routed.response());
    EXPECT_EQ(routed.response()->status, 403);
    EXPECT_FALSE(Header(*routed.response(), "Access-Control-Allow-Origin"));
    EXPECT_FALSE(Header(*routed.response(), "Access-Control-Allow-Methods"));
    EXPECT_TRUE(routed.cors.empty());
  }
}

TEST(RequestHandler, AllowedOriginsAreEchoedExactlyWithVary) {
  const RequestHandler handler = Handler();
  // Compared as browsers write origins (lower case, no default port), and
  // echoed as sent.
  for (const char* origin : {kHis, "http://10.1.2.3:8080", "http://127.0.0.1:18086",
                             "http://localhost:18086", "HTTPS://His.Hospital.Example",
                             "https://his.hospital.example:443", "http://LOCALHOST:18086"}) {
    SCOPED_TRACE(origin);
    const HttpResponse status = *handler.Route(Get("/v1/status", origin)).response();
    EXPECT_EQ(status.status, 200);
    EXPECT_EQ(Header(status, "Access-Control-Allow-Origin"), origin);
    EXPECT_EQ(Header(status, "Vary"), "Origin");
    // A card call carries them into its answer too, whatever the outcome.
    const Routed card = handler.Route(Post("/v1/ic-card/number", "{}", origin));
    ASSERT_TRUE(card.card());
    for (CallOutcome outcome : {CallOutcome::Answered, CallOutcome::Busy, CallOutcome::TimedOut}) {
      const HttpResponse answer = handler.AnswerCard(card, CardAnswer{outcome, true, "A1"});
      EXPECT_EQ(Header(answer, "Access-Control-Allow-Origin"), origin);
    }
  }
  // The own origins follow the port it listens on, not a fixed one; on
  // port 80 browsers send them without the port.
  EXPECT_EQ(handler.Route(Get("/v1/status", "http://127.0.0.1:18087")).response()->status, 403);
  HttpRequest ownOnPort80 = Post("/v1/ic-card/number", "{}", "http://127.0.0.1");
  ownOnPort80.host = "127.0.0.1";
  EXPECT_TRUE(Handler(false, 86, 80).Route(ownOnPort80).card());
  EXPECT_EQ(
      Handler().Route(Post("/v1/ic-card/number", "{}", "http://127.0.0.1")).response()->status,
      403);
}

// The desk's detail (paths, the log's lines) only for the service's own
// page; a listed origin gets the version and the health flags.
TEST(RequestHandler, DeskDetailIsForTheOwnPageOnly) {
  const RequestHandler handler = Handler();
  struct Case {
    std::optional<std::string> origin;
    bool detail;
  };
  for (const Case& c : {Case{std::nullopt, true}, Case{"http://127.0.0.1:18086", true},
                        Case{"http://localhost:18086", true}, Case{kHis, false},
                        Case{"http://10.1.2.3:8080", false}}) {
    SCOPED_TRACE(c.origin.value_or("no origin"));
    const HttpResponse desk = *handler.Route(Get("/v1/desk", c.origin)).response();
    EXPECT_EQ(desk.status, 200);
    EXPECT_EQ(Body(desk)["detail"], c.detail);
  }
}

TEST(RequestHandler, RequestsWithoutOriginAreServedWithoutCors) {
  const RequestHandler handler = Handler();
  const HttpResponse status = *handler.Route(Get("/v1/status")).response();
  EXPECT_EQ(status.status, 200);
  EXPECT_FALSE(Header(status, "Access-Control-Allow-Origin"));
  const Routed card = handler.Route(Post("/v1/ic-card/info", "{}", std::nullopt));
  EXPECT_TRUE(card.card());
}

TEST(RequestHandler, PreflightAllowsPostGetAndContentType) {
  const RequestHandler handler = Handler();
  for (const char* path : {"/v1/ic-card/number", "/v1/ic-card/info", "/v1/magnetic-card",
                           "/v1/status", "/v1/cardservice.js"}) {
    SCOPED_TRACE(path);
    HttpRequest request = Get(path, kHis);
    request.method = "OPTIONS";
    request.privateNetworkPreflight = true;
    const Routed routed = handler.Route(request);
    ASSERT_TRUE(routed.response());
    const HttpResponse& preflight = *routed.response();
    EXPECT_EQ(preflight.status, 204);
    EXPECT_TRUE(preflight.body.empty());
    EXPECT_EQ(Header(preflight, "Access-Control-Allow-Origin"), kHis);
    EXPECT_EQ(Header(preflight, "Vary"), "Origin");
    const std::string methods = Header(preflight, "Access-Control-Allow-Methods").value_or("");
    EXPECT_NE(methods.find("POST"), std::string::npos);
    EXPECT_NE(methods.find("GET"), std::string::npos);
    EXPECT_EQ(Header(preflight, "Access-Control-Allow-Headers"), "Content-Type");
    EXPECT_EQ(Header(preflight, "Access-Control-Allow-Private-Network"), "true");
  }
  HttpRequest unknown = Get("/nowhere", kHis);
  unknown.method = "OPTIONS";
  EXPECT_EQ(handler.Route(unknown).response()->status, 404);
}

TEST(RequestHandler, JsonContentTypeAcceptsParametersAndCase) {
  struct Case {
    const char* value;
    bool json;
  };
  for (const Case& c :
       std::vector<Case>{{"application/json", true},
                         {"application/json; charset=utf-8", true},
                         {"Application/JSON;charset=UTF-8", true},
                         {" application/json ", true},
                         {"application/json-patch+json", false},
                         {"text/json", false},
                         {"", false},
                         {"multipart/form-data; boundary=application/json", false}}) {
    EXPECT_EQ(IsJsonContentType(c.value), c.json) << c.value;
  }
}

TEST(RequestHandler, CardRoutesBecomeTheirCardRequests) {
  const RequestHandler handler = Handler();
  struct Case {
    const char* target;
    const char* body;
    CardOperation operation;
    std::string track;
  };
  for (const Case& c : std::vector<Case>{
           {"/v1/ic-card/number", "{}", CardOperation::IcCardNumber, ""},
           {"/v1/ic-card/info?x=1", R"({"extra":[1,2]})", CardOperation::IcCardInfo, ""},
           {"/v1/magnetic-card", R"({"track":"1234567890123456789012345678901234567"})",
            CardOperation::MagneticCard, "1234567890123456789012345678901234567"},
           {"/v1/magnetic-card", R"({"track":"卡\u0041"})", CardOperation::MagneticCard, "卡A"},
           {"/v1/magnetic-card", R"({"track":""})", CardOperation::MagneticCard, ""}}) {
    SCOPED_TRACE(c.target);
    const Routed routed = handler.Route(Post(c.target, c.body));
    ASSERT_FALSE(routed.response()) << routed.response()->body;
    ASSERT_TRUE(routed.card());
    EXPECT_EQ(routed.card()->operation, c.operation);
    EXPECT_EQ(routed.card()->track, c.track);
  }
}

// A desk that ordinary users can change: every read refused, with its
// reason; the rest of the interface answers as ever.
TEST(RequestHandler, AWritableDeskRefusesEveryRead) {
  const RequestHandler refusing = Handler(false, 86, kPort, true);
  for (const char* target : {"/v1/ic-card/number", "/v1/ic-card/info", "/v1/magnetic-card"}) {
    SCOPED_TRACE(target);
    const Routed routed = refusing.Route(Post(target, R"({"track":"t"})"));
    ASSERT_TRUE(routed.response());
    EXPECT_EQ(routed.response()->status, 500);
    EXPECT_EQ(Body(*routed.response())["message"], Say(Words::kDeskReadsRefused));
    EXPECT_EQ(Header(*routed.response(), "Access-Control-Allow-Origin"), kHis);
  }
  EXPECT_EQ(refusing.Route(Get("/v1/status")).response()->status, 200);
  EXPECT_EQ(
      refusing.Route(Post("/v1/ic-card/number", "{}", "https://evil.example")).response()->status,
      403);
}

TEST(RequestHandler, CardAnswersMapToStatusAndBody) {
  const RequestHandler handler = Handler();
  const Routed number = handler.Route(Post("/v1/ic-card/number", "{}"));
  const Routed info = handler.Route(Post("/v1/ic-card/info", "{}"));
  const Routed magnetic = handler.Route(Post("/v1/magnetic-card", R"({"track":"t"})"));
  struct Case {
    const char* name;
    const Routed& routed;
    CardAnswer answer;
    int status;
    json body;  // the fields that must be there
  };
  const std::vector<Case> cases = {
      {"number",
       number,
       {CallOutcome::Answered, true, "A12345678"},
       200,
       {{"ok", true}, {"number", "A12345678"}}},
      {"info",
       info,
       {CallOutcome::Answered, true, "330100#张三#"},
       200,
       {{"ok", true}, {"info", "330100#张三#"}}},
      {"magnetic",
       magnetic,
       {CallOutcome::Answered, true, "0000123456"},
       200,
       {{"ok", true}, {"number", "0000123456"}}},
      {"failed read",
       number,
       {CallOutcome::Answered, false, "读卡失败,错误码:-3 错误信息NOCARD"},
       200,
       {{"ok", false}, {"message", "读卡失败,错误码:-3 错误信息NOCARD"}}},
      // Without the worker's words, the outcome's own.
      {"busy",
       info,
       {CallOutcome::Busy, false, ""},
       503,
       {{"ok", false}, {"message", Say(Words::kCardBusy)}}},
      {"timed out",
       number,
       {CallOutcome::TimedOut, false, ""},
       504,
       {{"ok", false}, {"message", Say(Words::kDriverTimedOut)}}},
      {"worker died",
       magnetic,
       {CallOutcome::WorkerDied, false, ""},
       502,
       {{"ok", false}, {"message", Say(Words::kDriverCrashed)}}},
      {"unavailable without words",
       number,
       {CallOutcome::Unavailable, false, ""},
       500,
       {{"ok", false}, {"message", Say(Words::kCardUnavailable)}}},
      {"unavailable",
       number,
       {CallOutcome::Unavailable, false, "找不到读卡库"},
       500,
       {{"ok", false}, {"message", "找不到读卡库"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HttpResponse response = handler.AnswerCard(c.routed, c.answer);
    EXPECT_EQ(response.status, c.status);
    json body = Body(response);
    for (const auto& [key, value] : c.body.items()) EXPECT_EQ(body[key], value) << key;
    if (body["ok"] == false) {
      EXPECT_FALSE(body["message"].get<std::string>().empty());
    }
  }
  // A failed read with nothing logged still says why.
  const json unlogged = Body(handler.AnswerCard(number, {CallOutcome::Answered, false, ""}));
  EXPECT_EQ(unlogged["message"], Say(Words::kReadFailedUnlogged));
  // Bytes that are not UTF-8 cannot break the JSON.
  const json broken = Body(handler.AnswerCard(number, {CallOutcome::Answered, true, "\xB2\xE2"}));
  EXPECT_TRUE(broken["number"].is_string());
}

TEST(RequestHandler, StatusSaysVersionAndBusy) {
  struct Case {
    bool busy;
    int version;
    json expected;
  };
  for (const Case& c : std::vector<Case>{
           {false,
            86,
            {{"service", "readcard"}, {"version", 86}, {"busy", false}, {"timeout", 30}}},
           {true, 86, {{"service", "readcard"}, {"version", 86}, {"busy", true}, {"timeout", 30}}},
           {false,
            -1,
            {{"service", "readcard"}, {"version", nullptr}, {"busy", false}, {"timeout", 30}}}}) {
    const HttpResponse status = *Handler(c.busy, c.version).Route(Get("/v1/status")).response();
    EXPECT_EQ(Body(status), c.expected);
  }
}

TEST(RequestHandler, ServesDeskAndWebFilesWithTheirTypes) {
  const RequestHandler handler = Handler();
  struct Case {
    const char* path;
    const char* typePrefix;
  };
  for (const Case& c : std::vector<Case>{{"/", "text/html"},
                                         {"/status.js", "text/javascript"},
                                         {"/v1/cardservice.js", "text/javascript"},
                                         {"/v1/cardservice.d.ts", "text/plain"},
                                         {"/v1/desk", "application/json"}}) {
    SCOPED_TRACE(c.path);
    const HttpResponse response = *handler.Route(Get(c.path, kHis)).response();
    EXPECT_EQ(response.status, 200);
    EXPECT_EQ(response.contentType.rfind(c.typePrefix, 0), 0u) << response.contentType;
    EXPECT_FALSE(response.body.empty());
    EXPECT_EQ(Header(response, "Access-Control-Allow-Origin"), kHis);
  }
  EXPECT_NE(handler.Route(Get("/")).response()->body.find("<html"), std::string::npos);
  EXPECT_EQ(Body(*handler.Route(Get("/v1/desk")).response())["desk"], true);
  EXPECT_EQ(handler.Route(Get("/index.html")).response()->status, 404);
}

}  // namespace
}  // namespace service
