// The card service's program over real loopback sockets, with the test
// stand-in for its card worker: every protocol failure, CORS, keep-alive,
// concurrent reads, garbage, a port in use, a clean stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <thread>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <nlohmann/json.hpp>

#include "service/messages.h"
#include "service/service_log.h"
#include "tests/service/service_desk.h"
#include "tests/support/emulation.h"
#include "tests/support/stdout_capture.h"
#include "text/code_page.h"

namespace service_test {
namespace {

using nlohmann::json;
using service::Failure;
using service::Language;
using service::Say;
using service::Words;

const char kHis[] = "https://his.hospital.example";

class FrontEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    m_desk.directory().Write("cardservice.ini", std::string("[service]\norigins = ") + kHis +
                                                    ", http://10.1.2.3:8080\n");
    ASSERT_TRUE(m_desk.Start()) << m_desk.Output();
  }

  Reply Do(Exchange exchange) { return Send(m_desk.port(), exchange); }
  std::string Host() const { return "127.0.0.1:" + std::to_string(m_desk.port()); }

  ServiceDesk m_desk{SERVICE_DOUBLE_PROGRAM};
};

// No page may frame any answer of the service.
void ExpectNoFraming(const Reply& reply) {
  EXPECT_EQ(reply.Header("x-frame-options"), "DENY");
  EXPECT_NE(reply.Header("content-security-policy").find("frame-ancestors 'none'"),
            std::string::npos);
}

Exchange Post(const std::string& target, const std::string& body,
              std::vector<std::pair<std::string, std::string>> headers = {
                  {"Content-Type", "application/json"}}) {
  return Exchange{"POST", target, std::move(headers), body};
}

TEST_F(FrontEnd, PrintsOneListeningLine) {
  EXPECT_NE(m_desk.Output().find("cardservice: listening on http://127.0.0.1:" +
                                 std::to_string(m_desk.port()) + testing_support::kStdoutLineEnd),
            std::string::npos)
      << m_desk.Output();
}

TEST_F(FrontEnd, EveryProtocolFailureAnswersItsStatusAndMessage) {
  const std::string bigBody = "{\"track\":\"" + std::string(5000, '1') + "\"}";
  struct Case {
    const char* name;
    Exchange exchange;
    int status;
  };
  const std::vector<Case> cases = {
      {"evil host", {"GET", "/v1/status", {{"Host", "evil.example"}}, ""}, 403},
      {"evil host on our port",
       {"GET", "/v1/status", {{"Host", "evil.example:" + std::to_string(m_desk.port())}}, ""},
       403},
      {"foreign origin",
       Post("/v1/ic-card/number", "{}",
            {{"Content-Type", "application/json"}, {"Origin", "https://evil.example"}}),
       403},
      {"unknown path", {"GET", "/v1/nothing", {}, ""}, 404},
      {"wrong method", {"GET", "/v1/ic-card/info", {}, ""}, 405},
      {"PUT", {"PUT", "/v1/status", {}, "x"}, 405},
      {"body over 4 KiB", Post("/v1/magnetic-card", bigBody), 413},
      {"no content type", Post("/v1/ic-card/number", "{}", {}), 415},
      {"plain text", Post("/v1/ic-card/number", "{}", {{"Content-Type", "text/plain"}}), 415},
      {"malformed JSON", Post("/v1/ic-card/number", "{\"a\":"), 400},
      {"not an object", Post("/v1/ic-card/info", "[1]"), 400},
      {"missing track", Post("/v1/magnetic-card", "{}"), 400},
      {"non-string track", Post("/v1/magnetic-card", "{\"track\":37}"), 400},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Reply reply = Do(c.exchange);
    ASSERT_TRUE(reply.received);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_EQ(reply.Header("content-type").rfind("application/json", 0), 0u);
    const json body = json::parse(reply.body);
    EXPECT_EQ(body["ok"], false);
    EXPECT_FALSE(body["message"].get<std::string>().empty());
    EXPECT_TRUE(reply.Header("access-control-allow-origin").empty());
    ExpectNoFraming(reply);
  }
  // Each refusal of who called or what was sent is in the service's log,
  // naming the origin or host.
  const std::string log = m_desk.Log();
  for (const char* named : {"evil.example", "https://evil.example", "text/plain", "4096"}) {
    EXPECT_NE(log.find(named), std::string::npos) << named << "\n" << log;
  }
}

TEST_F(FrontEnd, CardReadsAnswerThroughTheWorker) {
  const std::vector<std::pair<std::string, std::string>> json = {
      {"Content-Type", "application/json; charset=utf-8"}, {"Origin", kHis}};
  struct Case {
    std::string target, body;
    int status;
    std::string key, value;
  };
  for (const Case& c :
       std::vector<Case>{{"/v1/ic-card/number", "{}", 200, "number", "A12345678"},
                         {"/v1/ic-card/info", "{}", 200, "info", "330100#张三#"},
                         {"/v1/magnetic-card", R"({"track":"0123"})", 200, "number", "N0123"},
                         {"/v1/magnetic-card", R"({"track":"fail"})", 200, "message",
                          "读卡失败,错误码:-3 错误信息NOCARD"},
                         {"/v1/magnetic-card", R"({"track":"hang"})", 504, "ok", ""},
                         {"/v1/magnetic-card", R"({"track":"crash"})", 502, "ok", ""},
                         {"/v1/magnetic-card", R"({"track":"broken"})", 500, "ok", ""}}) {
    SCOPED_TRACE(c.body);
    const Reply reply = Do(Post(c.target, c.body, json));
    ASSERT_TRUE(reply.received);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_EQ(reply.Header("access-control-allow-origin"), kHis);
    EXPECT_EQ(reply.Header("vary"), "Origin");
    const nlohmann::json body = nlohmann::json::parse(reply.body);
    if (!c.value.empty()) {
      EXPECT_EQ(body[c.key], c.value);
    }
    EXPECT_EQ(body["ok"], c.key != "message" && c.status == 200);
  }
}

TEST_F(FrontEnd, PreflightFromAListedOriginOnly) {
  const Exchange listed{"OPTIONS",
                        "/v1/ic-card/number",
                        {{"Origin", "http://10.1.2.3:8080"},
                         {"Access-Control-Request-Method", "POST"},
                         {"Access-Control-Request-Headers", "content-type"}},
                        ""};
  const Reply allowed = Do(listed);
  EXPECT_EQ(allowed.status, 204);
  EXPECT_EQ(allowed.Header("access-control-allow-origin"), "http://10.1.2.3:8080");
  EXPECT_NE(allowed.Header("access-control-allow-methods").find("POST"), std::string::npos);
  EXPECT_EQ(allowed.Header("access-control-allow-headers"), "Content-Type");

  Exchange foreign = listed;
  foreign.headers[0].second = "http://10.1.2.3:8081";
  const Reply refused = Do(foreign);
  EXPECT_EQ(refused.status, 403);
  EXPECT_TRUE(refused.Header("access-control-allow-origin").empty());
  EXPECT_TRUE(refused.Header("access-control-allow-methods").empty());
}

TEST_F(FrontEnd, ServesItsPageAndScriptsAndDesk) {
  struct Case {
    const char* target;
    const char* type;
  };
  for (const Case& c : std::vector<Case>{{"/", "text/html"},
                                         {"/status.js", "text/javascript"},
                                         {"/status.css", "text/css"},
                                         {"/v1/cardservice.js", "text/javascript"},
                                         {"/v1/cardservice.d.ts", "text/plain"}}) {
    const Reply reply =
        Do({"GET", c.target, {{"Host", "localhost:" + std::to_string(m_desk.port())}}, ""});
    EXPECT_EQ(reply.status, 200) << c.target;
    EXPECT_EQ(reply.Header("content-type").rfind(c.type, 0), 0u) << c.target;
    EXPECT_FALSE(reply.body.empty());
    ExpectNoFraming(reply);
    // The page runs its own scripts and styles only.
    EXPECT_NE(reply.Header("content-security-policy").find("script-src 'self'"), std::string::npos);
  }
  const json desk = json::parse(Do({"GET", "/v1/desk", {}, ""}).body);
  EXPECT_EQ(desk["service"], "readcard");
  EXPECT_EQ(desk["version"], 86);
  EXPECT_EQ(desk["origins"], json({kHis, "http://10.1.2.3:8080"}));
  EXPECT_EQ(desk["driver"]["present"], false);  // this desk has no driver
  EXPECT_TRUE(desk["log"]["lines"].is_array());
  // Its scratch folder is the test's own: nobody else may change it (under
  // Wine too, which shows the owner and SYSTEM with full control).
  EXPECT_EQ(desk["permissions"], json::array()) << desk.dump();
  // A listed page learns the health of the desk, not its paths or log.
  const Reply listed = Do({"GET", "/v1/desk", {{"Origin", kHis}}, ""});
  const json health = json::parse(listed.body);
  EXPECT_EQ(health["version"], 86);
  EXPECT_EQ(health["driver"]["present"], false);
  for (const char* hidden : {"directory", "log", "origins"})
    EXPECT_FALSE(health.contains(hidden)) << hidden;
  EXPECT_EQ(listed.body.find(desk["directory"].get<std::string>()), std::string::npos)
      << listed.body;
}

// A page or client refused again and again fills neither the log nor the
// disk: each value is cut, and each sender gets a few lines a minute.
TEST_F(FrontEnd, AFloodOfRefusalsKeepsTheLogSmall) {
  const std::string origin = "https://evil.example/" + std::string(7000, 'o');
  const std::string host = "evil\xC2\x85" + std::string(7000, 'h');  // with a NEL in it
  std::vector<Exchange> flood;
  for (int i = 0; i < 100; ++i) {
    flood.push_back(Post("/v1/ic-card/number", "{}",
                         {{"Content-Type", "application/json"}, {"Origin", origin}}));
    flood.push_back(Exchange{"GET", "/v1/status", {{"Host", host}}, ""});
  }
  for (const Reply& reply : SendOnOneConnection(m_desk.port(), flood)) EXPECT_EQ(reply.status, 403);
  EXPECT_EQ(Do(Exchange{}).status, 200);
  const std::string log = m_desk.Log();
  EXPECT_LT(log.size(), 8000u) << "200 refusals of 7 KB each";
  std::size_t refusals = 0;
  for (std::size_t at = log.find("evil"); at != std::string::npos; at = log.find("evil", at + 1))
    ++refusals;
  EXPECT_LE(refusals, 10u) << log;
  EXPECT_EQ(log.find("\xC2\x85"), std::string::npos) << "NEL as it came";
  EXPECT_NE(log.find("\\u0085"), std::string::npos) << log;
#ifndef _WIN32
  // What was held back is counted once the service stops.
  EXPECT_EQ(m_desk.process().Stop(10000), 0);
  const std::string sender =
      service::Say(service::Words::kSenderOrigin, {service::CutForLog(origin)});
  EXPECT_NE(m_desk.Log().find(service::Say(service::Words::kRefusalsHeldBack, {sender, "95"})),
            std::string::npos)
      << m_desk.Log();
#endif
}

TEST_F(FrontEnd, KeepsTheConnectionAlive) {
  const std::vector<Reply> replies =
      SendOnOneConnection(m_desk.port(), {Exchange{}, Post("/v1/ic-card/number", "{}"),
                                          Exchange{"GET", "/nope", {}, ""},
                                          Post("/v1/magnetic-card", R"({"track":"7"})")});
  ASSERT_EQ(replies.size(), 4u);
  EXPECT_EQ(replies[0].status, 200);
  EXPECT_EQ(json::parse(replies[1].body)["number"], "A12345678");
  EXPECT_EQ(replies[2].status, 404);
  EXPECT_EQ(json::parse(replies[3].body)["number"], "N7");
}

TEST_F(FrontEnd, ConcurrentReadsAreEachAnsweredOrBusyNeverMixed) {
  std::vector<Exchange> reads;
  for (int i = 0; i < 30; ++i) {
    if (i % 3 == 0) reads.push_back(Post("/v1/ic-card/number", "{}"));
    if (i % 3 == 1) reads.push_back(Post("/v1/ic-card/info", "{}"));
    if (i % 3 == 2)
      reads.push_back(Post("/v1/magnetic-card", "{\"track\":\"" + std::to_string(i) + "\"}"));
  }
  const std::vector<Reply> replies = SendAtOnce(m_desk.port(), reads);
  int answered = 0, busy = 0;
  for (int i = 0; i < 30; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(replies[i].received);
    const json body = json::parse(replies[i].body);
    if (replies[i].status == 503) {
      ++busy;
      EXPECT_EQ(body["ok"], false);
      continue;
    }
    ASSERT_EQ(replies[i].status, 200);
    ++answered;
    if (i % 3 == 0) {
      EXPECT_EQ(body["number"], "A12345678");
    }
    if (i % 3 == 1) {
      EXPECT_EQ(body["info"], "330100#张三#");
    }
    if (i % 3 == 2) {
      EXPECT_EQ(body["number"], "N" + std::to_string(i));
    }
  }
  EXPECT_EQ(answered + busy, 30);
  EXPECT_GE(answered, 1);
  EXPECT_GE(busy, 1);  // more than the queue holds arrived at once
  EXPECT_EQ(Do(Exchange{}).status, 200);
}

TEST_F(FrontEnd, AThousandGarbageConnectionsLeaveItAnswering) {
  std::mt19937 random(16);
  const int count = testing_support::RepeatCount(1000, 100);
  std::vector<std::string> garbage;
  for (int i = 0; i < count; ++i) {
    std::string bytes;
    switch (i % 5) {
      case 0:  // random bytes
        for (int n = random() % 2000; n > 0; --n) bytes += static_cast<char>(random());
        break;
      case 1:  // headers over the limit
        bytes = "GET /v1/status HTTP/1.1\r\nHost: " + Host() +
                "\r\nX-Pad: " + std::string(20000 + random() % 20000, 'a') + "\r\n\r\n";
        break;
      case 2:  // a body that never comes (the client gives up)
        bytes = "POST /v1/ic-card/number HTTP/1.1\r\nHost: " + Host() +
                "\r\nContent-Type: application/json\r\nContent-Length: 100\r\n\r\n{";
        break;
      case 3:  // a request line that is not HTTP
        bytes = "HELLO \x01\x02 WORLD\r\n\r\n";
        break;
      default:  // a chunked body that grows past the limit
        bytes = "POST /v1/ic-card/number HTTP/1.1\r\nHost: " + Host() +
                "\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n";
        for (int k = 0; k < 6; ++k) bytes += "400\r\n" + std::string(1024, ' ') + "\r\n";
        break;
    }
    garbage.push_back(bytes);
  }
  std::set<int> statuses;
  for (std::size_t first = 0; first < garbage.size(); first += 50) {
    for (std::size_t i = first; i < std::min(garbage.size(), first + 50); ++i) {
      const RawResult result = SendRaw(m_desk.port(), garbage[i], Duration(i % 5 == 2 ? 50 : 5000));
      if (result.received.rfind("HTTP/1.1 ", 0) == 0)
        statuses.insert(std::stoi(result.received.substr(9, 3)));
      if (i % 5 == 1 || i % 5 == 4) {
        EXPECT_TRUE(result.closed) << i;  // refused and closed, never left hanging
      }
    }
    ASSERT_EQ(Do(Exchange{}).status, 200) << "after connection " << first;
  }
  EXPECT_TRUE(statuses.count(431)) << "headers over the limit";
  EXPECT_TRUE(statuses.count(413)) << "chunked body over the limit";
  EXPECT_TRUE(statuses.count(400)) << "not HTTP";
  EXPECT_EQ(Do(Post("/v1/ic-card/number", "{}")).status, 200);
}

TEST_F(FrontEnd, DropsConnectionsWhoseRequestNeverCompletes) {
  // A body that never comes, a request trickling in (slowloris), and a
  // connection that never says anything.
  OpenConnections stalled(m_desk.port(),
                          {"POST /v1/ic-card/number HTTP/1.1\r\nHost: " + Host() +
                               "\r\nContent-Type: application/json\r\nContent-Length: 100\r\n\r\n{",
                           "GET /v1/status HTTP/1.1\r\nHost: " + Host() + "\r\nX-A: 1\r\n", ""});
  EXPECT_EQ(Do(Exchange{}).status, 200);  // answering all the while
  EXPECT_EQ(stalled.ClosedWithin(Duration(testing_support::RepeatCount(15000, 60000))), 3u);
  EXPECT_EQ(Do(Exchange{}).status, 200);
}

TEST_F(FrontEnd, AtTheConnectionCapTheLongestWaitingGivesWay) {
  // More silent connections than the service keeps open: it still answers,
  // each newcomer taking the place of the one that has waited longest.
  OpenConnections silent(m_desk.port(), std::vector<std::string>(80, ""));
  EXPECT_EQ(Do(Exchange{}).status, 200);
  EXPECT_EQ(Do(Post("/v1/ic-card/number", "{}")).status, 200);
  // At least one more gave way to the first of the two (the second may
  // find the first's place free again).
  const std::size_t closed = silent.ClosedWithin(Duration(2000));
  EXPECT_GE(closed, 80u - 64u + 1u);
  EXPECT_LT(closed, 80u);  // the cap is not lower than it should be
}

TEST_F(FrontEnd, ClientsThatNeverReadTheirAnswersGiveWayToANewOne) {
  // Each asks for the page many times at once and reads no answer: the
  // service's writes to it stall once its small receive buffer is full.
  std::string pipelined;
  for (int i = 0; i < 200; ++i) pipelined += "GET / HTTP/1.1\r\nHost: " + Host() + "\r\n\r\n";
  OpenConnections stalled(m_desk.port(), std::vector<std::string>(64, pipelined), 2048);
  std::this_thread::sleep_for(Duration(500));  // until they hold every place
#ifdef _WIN32
  const Duration limit(testing_support::RepeatCount(6000, 20000));  // Wine's sockets are slower
#else
  const Duration limit(testing_support::RepeatCount(2000, 20000));
#endif
  for (int probe = 0; probe < 5; ++probe) {
    SCOPED_TRACE(probe);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Send(m_desk.port(), Exchange{}, limit).status, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - start, limit);
  }
}

TEST(FrontEndProgram, APortInUseIsAClearMessageAndExitCode1) {
  PortHolder busy;
  ServiceDesk desk(SERVICE_DOUBLE_PROGRAM);
  ServiceProcess process(desk.program(), {"--port", std::to_string(busy.port())},
                         desk.directory().File("output.txt"));
  EXPECT_EQ(process.WaitExit(testing_support::RepeatCount(10000, 120000)), 1);
  EXPECT_NE(desk.Output().find(std::to_string(busy.port())), std::string::npos) << desk.Output();
  EXPECT_EQ(desk.Output().find("listening"), std::string::npos);
}

TEST(FrontEndProgram, ABadIniIsRefusedWithExitCode2) {
  ServiceDesk desk(SERVICE_DOUBLE_PROGRAM);
  desk.directory().Write("cardservice.ini", "[service]\norigins = his.hospital.example\n");
  ServiceProcess process(desk.program(), {}, desk.directory().File("output.txt"));
  EXPECT_EQ(process.WaitExit(testing_support::RepeatCount(10000, 120000)), 2);
  EXPECT_NE(desk.Output().find("origins"), std::string::npos) << desk.Output();
}

// Why the service did not start, in each console language the platform has
// and in the log: the bytes as they leave, each converted once (a Chinese
// settings path too).
TEST(FrontEndProgram, EveryStartFailureIsReadableOnTheConsoleAndInTheLog) {
  PortHolder busy;
  const std::string inUse = std::to_string(busy.port());
  struct Case {
    const char* name;
    std::string ini;
    int exitCode;
    bool aboutTheFile;
    Failure failure;
  };
  // Why an origin never matches is told in Chinese in either language.
  const std::vector<Case> cases = {
      {"port", "[service]\nport = x\n", 2, true, {Words::kConfigPort, "x"}},
      {"timeout", "[service]\ntimeout=0\n", 2, true, {Words::kConfigTimeout, "0"}},
      {"origin with a path",
       "[service]\norigins = https://his.hospital.example/his/\n",
       2,
       true,
       {Words::kConfigOrigin, "https://his.hospital.example/his/", Say(Words::kOriginPath)}},
      {"port in use", "[service]\nport = " + inUse + "\n", 1, false, {Words::kListenInUse, inUse}},
  };
  struct Console {
    const char* locale;  // natively: LANG and LC_ALL
    bool chinese;
  };
#ifdef _WIN32
  // Wine's user interface here is Chinese, its code page GBK.
  const std::vector<Console> consoles = {{nullptr, true}};
#else
  const std::vector<Console> consoles = {{"zh_CN.UTF-8", true}, {"C", false}};
#endif
  for (const Console& console : consoles) {
    if (console.locale != nullptr) {
      SetVariable("LANG", console.locale);
      SetVariable("LC_ALL", console.locale);
    }
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + " " + (console.chinese ? "zh" : "en"));
      ServiceDesk desk(SERVICE_DOUBLE_PROGRAM);
      // Under Wine the program gets the path in the system code page (GBK).
      const std::string iniUtf8 = desk.directory().path() + u8"挂号 设置.ini";
#ifdef _WIN32
      const std::string ini = text::Utf8ToSystem(iniUtf8);
      ASSERT_EQ(ini.substr(ini.size() - 13), "\xB9\xD2\xBA\xC5 \xC9\xE8\xD6\xC3.ini");
#else
      const std::string& ini = iniUtf8;
#endif
      desk.directory().Write(ini.substr(desk.directory().path().size()), c.ini);
      ServiceProcess process(desk.program(), {"--config", ini},
                             desk.directory().File("output.txt"));
      EXPECT_EQ(process.WaitExit(testing_support::RepeatCount(10000, 120000)), c.exitCode);

      Failure failure = c.failure;
      if (c.aboutTheFile) failure.file = iniUtf8;
      const std::string log = Say(Words::kNotStartedLog, {Say(failure)});
      EXPECT_NE(desk.Log().find(" " + log), std::string::npos) << desk.Log();

      const Language language = console.chinese ? Language::kChinese : Language::kEnglish;
      std::string said = Say(language, Words::kNotStartedConsole, {Say(language, failure)});
#ifdef _WIN32
      // The console reads GBK: the Chinese text, converted by the system.
      said = text::Utf8ToSystem(said);
#endif
      EXPECT_NE(desk.Output().find(said + testing_support::kStdoutLineEnd), std::string::npos)
          << "expected:\n"
          << said << "\nprinted:\n"
          << desk.Output();
      EXPECT_EQ(desk.Output().find("listening"), std::string::npos);
    }
  }
  SetVariable("LANG", nullptr);
  SetVariable("LC_ALL", nullptr);
}

#ifndef _WIN32
// A desk folder that anyone may write (natively its mode; under Wine see
// cardservice_windows_service): reads refused and the check an error, or
// with writabledesk = serve read and the check a warning; the log names
// the folder either way.
TEST(FrontEndProgram, AWritableDeskRefusesReadsUnlessTheIniSaysServe) {
  for (const std::string serve : {"refuse", "serve"}) {
    SCOPED_TRACE(serve);
    ServiceDesk desk(SERVICE_DOUBLE_PROGRAM);
    desk.directory().Write("cardservice.ini", "[service]\nwritabledesk = " + serve + "\n");
    ASSERT_EQ(chmod(desk.directory().path().c_str(), 0777), 0);
    ASSERT_TRUE(desk.Start()) << desk.Output();
    EXPECT_EQ(Send(desk.port(), Post("/v1/ic-card/number", "{}")).status,
              serve == "serve" ? 200 : 500);
    const json state = json::parse(Send(desk.port(), {"GET", "/v1/desk", {}, ""}).body);
    const json checks = state["checks"];
    const auto permissions = std::find_if(checks.begin(), checks.end(), [](const json& check) {
      return check["item"] == "permissions";
    });
    ASSERT_NE(permissions, checks.end()) << state.dump();
    EXPECT_EQ((*permissions)["rating"], serve == "serve" ? "warning" : "error");
    const std::string& path = desk.directory().path();
    const std::string others =
        Say(Words::kDeskWritableBy,
            {path.substr(0, path.size() - 1), Say(Words::kDeskOthers) + " (others)", "mode 0777"});
    EXPECT_EQ(state["permissions"].back(), others) << state.dump();
    EXPECT_NE(desk.Log().find(others), std::string::npos) << desk.Log();
  }
}

TEST(FrontEndProgram, StopsCleanlyOnSigterm) {
  ServiceDesk desk(SERVICE_DOUBLE_PROGRAM);
  ASSERT_TRUE(desk.Start());
  EXPECT_EQ(desk.process().Stop(10000), 0);
  // The started line up to its first value after the port.
  std::string started = Say(Words::kStartedLog, {std::to_string(desk.port())});
  started.resize(started.find("%2"));
  EXPECT_NE(desk.Log().find(started), std::string::npos) << desk.Log();
  EXPECT_NE(desk.Log().find(Say(Words::kStopped, {Say(Words::kStopSignal, {"15"})})),
            std::string::npos)
      << desk.Log();
}
#endif

}  // namespace
}  // namespace service_test
