#include "card/magnetic_card.h"

#include <cstring>
#include <string_view>

#include "card/check_code.h"
#include "card/export_guard.h"
#include "card/result_buffers.h"
#include "logger/logger.h"

namespace card {
namespace {

// The fixed fields of a track, by byte offset and length: views into the
// host's text, which stays untouched for the length of the call.
struct TrackFields {
  std::string_view headNumber;       // bytes 0-7
  std::string_view cardNumberField;  // bytes 8-17; the answer to the host
  std::string_view checkCode;        // bytes 19-28 (byte 18 separates, any byte)
  std::string_view tailNumber;       // bytes 29-36
};

TrackFields CutTrack(const char* track) {
  return TrackFields{{track, 8}, {track + 8, 10}, {track + 19, kCheckCodeLength}, {track + 29, 8}};
}

// Whether the text is exactly one track long: its first NUL at byte 37.
// memchr stops at the first NUL, so a text that ends without one anywhere
// near is read no further than one byte past a track.
bool IsTrackLong(const char* track) {
  const void* end = std::memchr(track, '\0', kTrackLength + 1);
  return end == track + kTrackLength;
}

void LogError(const char* message) { logger::g_fileLogger(logger::Error) << message; }

}  // namespace

int32_t ReadMagneticCard(const char* track, char** cardNumber) {
  if (cardNumber == nullptr) {
    LogError("磁卡号结果参数为空，无法返回卡号。");
    return -1;
  }
  if (track == nullptr || !IsTrackLong(track)) {
    LogError("磁卡号长度不正常");
    return -1;
  }
  // Cutting and the number conversions raise on bad fields (and on memory
  // exhaustion); each becomes one parse-failure record.
  return RunGuarded([&] {
    const TrackFields fields = CutTrack(track);
    char code[kCheckCodeLength];
    ComputeCheckCode(fields.cardNumberField, fields.tailNumber, fields.headNumber, code);
    if (fields.checkCode != std::string_view(code, kCheckCodeLength)) {
      LogError("卡号校验失败，请确认是否院内磁卡。");
      return -1;
    }
    WriteResult(NumberBufferA, fields.cardNumberField);
    *cardNumber = NumberBufferA;
    return 0;
  });
}

}  // namespace card
