// The card service program with its real card worker, the card library and
// the simulated driver over loopback: the three reads (the driver's GBK
// record arriving as UTF-8), the logged message of a failed read, a hung
// driver (504), a crashing driver (502 natively), concurrent reads; after
// each failure the next read works and the status answers all the while.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "card/check_code.h"
#include "service/messages.h"
#include "tests/service/service_desk.h"
#include "tests/support/emulation.h"

namespace service_test {
namespace {

using nlohmann::json;
using service::Say;
using service::Words;

const char kInfo[] =
    u8"330100#20200315#2#A12345678#01#330102199003071214#张三######"
    u8"330100D15600000500A12345678B9C0D#";
const char* const kVariables[] = {"SIMCARD_RESULT", "SIMCARD_RECORD", "SIMCARD_FAULT",
                                  "SIMCARD_DELAY_MS"};

// A magnetic track that the library accepts, carrying number.
std::string Track(const std::string& number) {
  const std::string head = "12345678", tail = "87654321";
  return head + number + "=" + card::ComputeCheckCode(number, tail, head) + tail;
}

Exchange Read(const std::string& target, const std::string& body = "{}") {
  return Exchange{"POST", target, {{"Content-Type", "application/json"}}, body};
}

Exchange MagneticRead(const std::string& number) {
  return Read("/v1/magnetic-card", json{{"track", Track(number)}}.dump());
}

const char kVirtualCardOn[] = "[MAIN]\nREALCARD=true\n[QTZH]\nCURRENT=1\n1=0000123456\n";

class Service : public ::testing::Test {
 protected:
  Service() : m_desk(SERVICE_PROGRAM, {CARD_LIBRARY, CARD_DRIVER}) {
    for (const char* name : kVariables) SetVariable(name, nullptr);
  }
  ~Service() override {
    for (const char* name : kVariables) SetVariable(name, nullptr);
  }

  void Start(int timeoutSeconds = 30) {
    m_desk.directory().Write("cardservice.ini",
                             "[service]\ntimeout = " + std::to_string(timeoutSeconds) + "\n");
    ASSERT_TRUE(m_desk.Start()) << m_desk.Output();
    // The worker is ready once the status knows the library's version.
    Exchange paused;  // a status asked after a pause
    paused.delay = Duration(100);
    for (int i = 0; i < 600 && json::parse(Do(paused).body)["version"].is_null(); ++i) {
    }
  }

  Reply Do(const Exchange& exchange) { return Send(m_desk.port(), exchange, Duration(60000)); }
  json Answer(const Exchange& exchange, int status = 200) {
    const Reply reply = Do(exchange);
    EXPECT_EQ(reply.status, status) << reply.body;
    return json::parse(reply.body.empty() ? "{}" : reply.body);
  }

  // The next reads work: a card read that needs no driver (the virtual
  // card of Login.ini, read afresh on every call) and a magnetic card.
  void ExpectNextReadsWork() {
    m_desk.directory().Write("Login.ini", kVirtualCardOn);
    EXPECT_EQ(Answer(Read("/v1/ic-card/number")), json({{"ok", true}, {"number", "0000123456"}}));
    EXPECT_EQ(Answer(MagneticRead("0000765432")), json({{"ok", true}, {"number", "0000765432"}}));
  }

  // The service log records how an ended worker ended once the system has
  // reaped it, which may come a little after the answer.
  bool LogGains(const std::string& text) {
    Exchange paused;
    paused.delay = Duration(100);
    for (int i = 0; i < 100; ++i) {
      if (m_desk.Log().find(text) != std::string::npos) return true;
      Do(paused);
    }
    return false;
  }

  ServiceDesk m_desk;
};

TEST_F(Service, AnswersStatusAndEachReadInUtf8) {
  Start();
  EXPECT_EQ(Answer(Exchange{}),
            json({{"service", "readcard"}, {"version", 86}, {"busy", false}, {"timeout", 30}}));
  EXPECT_EQ(Answer(Read("/v1/ic-card/number")), json({{"ok", true}, {"number", "A12345678"}}));
  EXPECT_EQ(Answer(Read("/v1/ic-card/info")), json({{"ok", true}, {"info", kInfo}}));
  EXPECT_EQ(Answer(MagneticRead("0000123456")), json({{"ok", true}, {"number", "0000123456"}}));
  // A track the library refuses: its logged reason, as UTF-8.
  EXPECT_EQ(Answer(Read("/v1/magnetic-card", R"({"track":"12345"})")),
            json({{"ok", false}, {"message", u8"磁卡号长度不正常"}}));
  const json desk = Answer(Exchange{"GET", "/v1/desk", {}, ""});
  EXPECT_EQ(desk["library"]["present"], true);
  EXPECT_EQ(desk["driver"]["present"], true);
#ifdef _WIN32
  // The simulated driver is read from its file and warned about.
  EXPECT_EQ(desk["driver"]["kind"], "simulated");
  EXPECT_EQ(desk["checks"], json::array({{{"item", "driver"},
                                          {"rating", "warning"},
                                          {"message", desk["checks"][0]["message"]}}}));
#endif
  EXPECT_EQ(desk["log"]["writable"], true);
  ASSERT_FALSE(desk["log"]["lines"].empty());
  EXPECT_NE(desk["log"]["lines"].back().get<std::string>().find(u8"磁卡号长度不正常"),
            std::string::npos);
}

TEST_F(Service, AFailedReadAnswersWhatTheLibraryLogged) {
  SetVariable("SIMCARD_RESULT", "-3");
  SetVariable("SIMCARD_RECORD", "NOCARD");
  Start();
  EXPECT_EQ(Answer(Read("/v1/ic-card/number")),
            json({{"ok", false}, {"message", u8"读卡失败,错误码:-3 错误信息NOCARD"}}));
}

TEST_F(Service, AHungDriverAnswers504AndTheNextReadWorks) {
  SetVariable("SIMCARD_DELAY_MS", "600000");
  const int timeout = testing_support::RepeatCount(2, 20);
  Start(timeout);
  // The status, asked while the read hangs, answers at once and says busy.
  const std::vector<Reply> replies = SendAtOnce(
      m_desk.port(),
      {Read("/v1/ic-card/info"),
       Exchange{"GET", "/v1/status", {}, "", Duration(testing_support::RepeatCount(500, 8000))}});
  EXPECT_EQ(replies[0].status, 504) << replies[0].body;
  EXPECT_EQ(json::parse(replies[0].body)["ok"], false);
  ASSERT_EQ(replies[1].status, 200);
  EXPECT_EQ(json::parse(replies[1].body)["busy"], true);
  ExpectNextReadsWork();
  EXPECT_TRUE(LogGains(Say(Words::kDriverNoAnswer, {std::to_string(timeout)}))) << m_desk.Log();
}

TEST_F(Service, ACrashingDriverCostsOneReadOnly) {
  SetVariable("SIMCARD_FAULT", "access");
  Start();
  const json crashed = Answer(Read("/v1/ic-card/info"),
#ifdef _WIN32
                              200);  // the library's guard contains the fault
  EXPECT_EQ(crashed["ok"], false);
#else
                              502);  // the fault ends the worker
  EXPECT_EQ(crashed["ok"], false);
  // However the supervisor saw the worker end, the line says the driver crashed.
  EXPECT_TRUE(LogGains(Say(Words::kWorkerDiedInCall, {""}))) << m_desk.Log();
#endif
  EXPECT_EQ(Answer(Exchange{})["service"], "readcard");
  ExpectNextReadsWork();
}

TEST_F(Service, ConcurrentReadsAreEachAnsweredOrBusyNeverMixed) {
  SetVariable("SIMCARD_DELAY_MS", "20");
  Start();
  std::vector<Exchange> reads;
  for (int i = 0; i < 30; ++i) {
    if (i % 3 == 0) reads.push_back(Read("/v1/ic-card/number"));
    if (i % 3 == 1) reads.push_back(Read("/v1/ic-card/info"));
    if (i % 3 == 2) reads.push_back(MagneticRead("00000000" + std::to_string(10 + i)));
  }
  const std::vector<Reply> replies = SendAtOnce(m_desk.port(), reads, Duration(120000));
  int answered = 0, busy = 0;
  for (int i = 0; i < 30; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(replies[i].received);
    const json body = json::parse(replies[i].body);
    if (replies[i].status == 503) {
      ++busy;
      continue;
    }
    ASSERT_EQ(replies[i].status, 200) << replies[i].body;
    ++answered;
    const json expected = i % 3 == 0 ? json{{"ok", true}, {"number", "A12345678"}}
                          : i % 3 == 1
                              ? json{{"ok", true}, {"info", kInfo}}
                              : json{{"ok", true}, {"number", "00000000" + std::to_string(10 + i)}};
    EXPECT_EQ(body, expected);
  }
  EXPECT_EQ(answered + busy, 30);
  EXPECT_GE(answered, 9);  // the running call and the queue behind it
  EXPECT_EQ(Answer(Exchange{})["busy"], false);
}

}  // namespace
}  // namespace service_test
