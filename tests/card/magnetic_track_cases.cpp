#include "magnetic_track_cases.h"

#include <gtest/gtest.h>

#include "tests/support/day_log.h"

namespace magnetic {
namespace {

const char kLengthMessage[] = "磁卡号长度不正常";
const char kCheckMessage[] = "卡号校验失败，请确认是否院内磁卡。";
const char kInvalidMessage[] = "读卡内容解析异常： invalid stol argument";
const char kRangeMessage[] = "读卡内容解析异常： stol argument out of range";

std::string Track(const std::string& head, const std::string& cardNumber,
                  const std::string& separator, const std::string& checkCode,
                  const std::string& tail) {
  return head + cardNumber + separator + checkCode + tail;
}

const std::string kExample = "123456780000123456=009633791987654321";

// A read that succeeds with a text no case answers, so a failing case that
// wrote the buffer would show.
const std::string kPrimingTrack = Track("00000000", "0000042 XY", "=", "0000000042", "00000000");
const std::string kPrimingNumber = "0000042 XY";

}  // namespace

std::vector<TrackCase> TrackCases() {
  std::vector<TrackCase> cases = {
      {"worked example", kExample, nullptr, "0000123456"},
      {"36 bytes", kExample.substr(0, 36), kLengthMessage, ""},
      {"38 bytes", kExample + "1", kLengthMessage, ""},
      {"empty", "", kLengthMessage, ""},
      {"NUL inside", kExample.substr(0, 20) + std::string(1, '\0') + kExample.substr(21),
       kLengthMessage, ""},
      {"separator space", Track("12345678", "0000123456", " ", "0096337919", "87654321"), nullptr,
       "0000123456"},
      {"separator letter", Track("12345678", "0000123456", "x", "0096337919", "87654321"), nullptr,
       "0000123456"},
      {"separator high byte", Track("12345678", "0000123456", "\xFE", "0096337919", "87654321"),
       nullptr, "0000123456"},
      {"all zeros", Track("00000000", "0000000000", "=", "0000000000", "00000000"), nullptr,
       "0000000000"},
      {"bits 1|2|4", Track("00000001", "0000000002", "=", "0000000007", "00000004"), nullptr,
       "0000000002"},
      {"bits 3|2|4 combined", Track("00000003", "0000000002", "=", "0000000007", "00000004"),
       nullptr, "0000000002"},
      {"bits 3|2|4 not added", Track("00000003", "0000000002", "=", "0000000009", "00000004"),
       kCheckMessage, ""},
      {"negative tail", Track("00000001", "0000000002", "=", "0000000003", "-0000001"), nullptr,
       "0000000002"},
      {"negative tail as two's complement",
       Track("00000001", "0000000002", "=", "2147483647", "-0000001"), kCheckMessage, ""},
      {"right number padded with spaces",
       Track("12345678", "0000123456", "=", "  96337919", "87654321"), kCheckMessage, ""},
      {"card number 2147483647", Track("00000000", "2147483647", "=", "2147483647", "00000000"),
       nullptr, "2147483647"},
      {"card number 2147483648", Track("00000000", "2147483648", "=", "0000000000", "00000000"),
       kRangeMessage, ""},
      {"card number 9999999999", Track("00000000", "9999999999", "=", "0000000000", "00000000"),
       kRangeMessage, ""},
      {"letters in the card number", Track("12345678", "ABCDEFGHIJ", "=", "0096337919", "87654321"),
       kInvalidMessage, ""},
      {"letters in the head number", Track("ABCDEFGH", "0000123456", "=", "0096337919", "87654321"),
       kInvalidMessage, ""},
      {"letters in the tail number", Track("12345678", "0000123456", "=", "0096337919", "ABCDEFGH"),
       kInvalidMessage, ""},
      {"card number converted before the head number",
       Track("ABCDEFGH", "9999999999", "=", "0000000000", "00000000"), kRangeMessage, ""},
      {"trailing letters returned as typed",
       Track("00000000", "0000123ABC", "=", "0000000123", "00000000"), nullptr, "0000123ABC"},
      {"leading white space", Track("    1234", "0000000000", "=", "0000001234", "00000000"),
       nullptr, "0000000000"},
      {"leading tab and sign", Track("\t  +1234", "0000000000", "=", "0000001234", "00000000"),
       nullptr, "0000000000"},
  };
  // Any one wrong digit of the worked example's check code.
  for (std::size_t i = 19; i < 29; ++i) {
    std::string track = kExample;
    track[i] = static_cast<char>('0' + (track[i] - '0' + 1) % 10);
    cases.push_back(
        {"check code digit " + std::to_string(i - 18) + " wrong", track, kCheckMessage, ""});
  }
  return cases;
}

void RunTrackCases(const MagneticCardRead& read, const std::string& logPath) {
  for (const TrackCase& c : TrackCases()) {
    SCOPED_TRACE(c.name);
    char* primed = nullptr;
    ASSERT_EQ(read(kPrimingTrack.c_str(), &primed), 0);
    ASSERT_NE(primed, nullptr);
    ASSERT_EQ(std::string(primed), kPrimingNumber);

    char sentinel = 0;
    char* slot = &sentinel;
    testing_support::LogWatch log(logPath);
    int32_t result = read(c.track.c_str(), &slot);
    std::vector<std::string> records = log.NewMessages();

    if (c.message == nullptr) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(slot, primed) << "the answer lives in card::NumberBufferA";
      EXPECT_EQ(std::string(primed), c.cardNumber);
      EXPECT_EQ(records, std::vector<std::string>{});
    } else {
      EXPECT_EQ(result, -1);
      EXPECT_EQ(slot, &sentinel) << "the slot is written only on success";
      EXPECT_EQ(std::string(primed), kPrimingNumber)
          << "card::NumberBufferA keeps its previous text after a failure";
      EXPECT_EQ(records, std::vector<std::string>{c.message});
    }
  }
}

void RunNullArgumentCases(const MagneticCardRead& read, const std::string& logPath) {
  char* primed = nullptr;
  ASSERT_EQ(read(kPrimingTrack.c_str(), &primed), 0);

  char sentinel = 0;
  char* slot = &sentinel;
  testing_support::LogWatch nullTrack(logPath);
  EXPECT_EQ(read(nullptr, &slot), -1);
  EXPECT_EQ(slot, &sentinel);
  EXPECT_EQ(nullTrack.NewMessages(), std::vector<std::string>{kLengthMessage});

  testing_support::LogWatch nullSlot(logPath);
  EXPECT_EQ(read(kExample.c_str(), nullptr), -1);
  EXPECT_EQ(nullSlot.NewMessages(), std::vector<std::string>{"磁卡号结果参数为空，无法返回卡号。"});
  EXPECT_EQ(std::string(primed), kPrimingNumber)
      << "nothing is written without a slot to hand it out";
}

}  // namespace magnetic
