#include "service/worker/worker_protocol.h"

#include <gtest/gtest.h>

namespace service::worker {
namespace {

std::string Header(char kind, std::uint32_t length, std::uint32_t call = 0) {
  std::string header(1, kind);
  for (std::uint32_t number : {call, length}) {
    for (int shift = 0; shift < 32; shift += 8)
      header += static_cast<char>((number >> shift) & 0xFF);
  }
  return header;
}

// What a reader makes of a stream of bytes.
struct Reading {
  std::vector<Frame> frames;
  bool failed;
  bool partial;
};

Reading ReadAll(const std::string& bytes, std::size_t pieceSize) {
  FrameReader reader;
  Reading reading;
  for (std::size_t at = 0; at < bytes.size(); at += pieceSize) {
    reader.Append(bytes.data() + at, std::min(pieceSize, bytes.size() - at));
    while (std::optional<Frame> frame = reader.Next()) reading.frames.push_back(*frame);
  }
  reading.failed = reader.failed();
  reading.partial = reader.partial();
  return reading;
}

TEST(FrameReaderTest, FramesSurviveAnySplitOfTheStream) {
  const std::vector<Frame> sent = {
      {FrameKind::Ready, "86"},
      {FrameKind::Request, "M" + std::string(37, '1'), 1},
      {FrameKind::Answer,
       std::string("1\0\xff"
                   "A",
                   4),
       1},  // NUL and high bytes pass untouched
      {FrameKind::Answer, "", 0x01020304},
      {FrameKind::Unavailable, std::string(5000, 'x'), 0xFFFFFFFFu},
  };
  std::string stream;
  for (const Frame& frame : sent) stream += EncodeFrame(frame);
  for (std::size_t piece :
       {std::size_t{1}, std::size_t{3}, std::size_t{5}, std::size_t{4096}, stream.size()}) {
    SCOPED_TRACE("pieces of " + std::to_string(piece));
    const Reading reading = ReadAll(stream, piece);
    ASSERT_EQ(reading.frames.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
      EXPECT_EQ(reading.frames[i].kind, sent[i].kind);
      EXPECT_EQ(reading.frames[i].payload, sent[i].payload);
      EXPECT_EQ(reading.frames[i].call, sent[i].call);
    }
    EXPECT_FALSE(reading.failed);
    EXPECT_FALSE(reading.partial);
  }
}

TEST(FrameReaderTest, BrokenStreams) {
  const std::string whole = EncodeFrame({FrameKind::Answer, "1A12345678"});
  struct Case {
    const char* name;
    std::string bytes;
    std::size_t frames;
    bool failed;
    bool partial;
  };
  const Case cases[] = {
      {"header cut short", whole.substr(0, 3), 0, false, true},
      {"header cut after the call number", whole.substr(0, 6), 0, false, true},
      {"payload cut short", whole.substr(0, whole.size() - 1), 0, false, true},
      {"whole frame, then a cut one", whole + whole.substr(0, 7), 1, false, true},
      {"length over the limit", Header('A', kMaxPayload + 1) + "1", 0, true, true},
      {"length of four gigabytes", Header('A', 0xFFFFFFFFu), 0, true, true},
      {"length at the limit, not yet all there", Header('A', kMaxPayload) + "1", 0, false, true},
      {"unknown kind", Header('Z', 1) + "1", 0, true, true},
      {"garbage after a good frame", whole + "garbage, not a frame", 1, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Reading reading = ReadAll(c.bytes, 2);
    EXPECT_EQ(reading.frames.size(), c.frames);
    EXPECT_EQ(reading.failed, c.failed);
    EXPECT_EQ(reading.partial, c.partial);
  }
}

TEST(FrameReaderTest, StaysFailedAfterAFault) {
  FrameReader reader;
  const std::string bad = Header('?', 0);
  reader.Append(bad.data(), bad.size());
  EXPECT_FALSE(reader.Next());
  const std::string good = EncodeFrame({FrameKind::Ready, "86"});
  reader.Append(good.data(), good.size());
  EXPECT_FALSE(reader.Next());
  EXPECT_TRUE(reader.failed());
}

TEST(FrameEncodingTest, OversizedPayloadIsCutToTheLimit) {
  const std::string bytes = EncodeFrame({FrameKind::Answer, std::string(kMaxPayload + 10, 'a')});
  ASSERT_EQ(bytes.size(), kFrameHeaderSize + kMaxPayload);
  const Reading reading = ReadAll(bytes, 1000);
  ASSERT_EQ(reading.frames.size(), 1u);
  EXPECT_EQ(reading.frames[0].payload.size(), kMaxPayload);
}

TEST(RequestPayloadTest, RoundTripsEachOperation) {
  const CardRequest requests[] = {
      {CardOperation::IcCardNumber, ""},
      {CardOperation::IcCardInfo, ""},
      {CardOperation::MagneticCard, "0000000100001234565 1234567890000001"},
      {CardOperation::MagneticCard, ""},
      {CardOperation::MagneticCard, u8"张三"},
  };
  for (const CardRequest& request : requests) {
    const std::optional<CardRequest> parsed = ParseRequest(RequestPayload(request));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->operation, request.operation);
    EXPECT_EQ(parsed->track, request.track);
  }
  // Only the magnetic card carries a track.
  const std::optional<CardRequest> number =
      ParseRequest(RequestPayload({CardOperation::IcCardNumber, "ignored"}));
  ASSERT_TRUE(number);
  EXPECT_EQ(number->track, "");
}

TEST(PayloadParsingTest, RefusesWhatItsKindDoesNotCarry) {
  for (const char* payload : {"", "X", "Nextra", "Iextra", "n"}) {
    EXPECT_FALSE(ParseRequest(payload)) << payload;
  }
  for (const char* payload : {"", "2", "yes", "-1"}) {
    EXPECT_FALSE(ParseAnswer(payload)) << payload;
  }
  for (const char* payload : {"", " 86", "+86", "86 ", "8x6", "99999999999", "-"}) {
    EXPECT_FALSE(ParseReady(payload)) << payload;
  }
}

TEST(PayloadParsingTest, AnswersAndVersionsRoundTrip) {
  const WorkerAnswer answers[] = {
      {true, "A12345678"}, {false, u8"读卡失败"}, {true, ""}, {false, "0"}};
  for (const WorkerAnswer& answer : answers) {
    const std::optional<WorkerAnswer> parsed = ParseAnswer(AnswerPayload(answer));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->ok, answer.ok);
    EXPECT_EQ(parsed->text, answer.text);
  }
  for (int version : {86, 0, -1, 2147483647, -2147483647 - 1}) {
    EXPECT_EQ(ParseReady(ReadyPayload(version)), version);
  }
}

}  // namespace
}  // namespace service::worker
