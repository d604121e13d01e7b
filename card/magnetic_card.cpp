#include "card/magnetic_card.h"

#include <string>

#include "card/check_code.h"
#include "card/export_guard.h"
#include "card/result_buffers.h"
#include "logger/logger.h"

namespace card {
namespace {

// The fixed fields of a track, by byte offset and length.
struct TrackFields {
  std::string headNumber;       // bytes 0-7
  std::string cardNumberField;  // bytes 8-17; the answer to the host
  std::string checkCode;        // bytes 19-28 (byte 18 separates, any byte)
  std::string tailNumber;       // bytes 29-36
};

TrackFields CutTrack(const char* track) {
  return TrackFields{std::string(track, 8), std::string(track + 8, 10),
                     std::string(track + 19, 10), std::string(track + 29, 8)};
}

// Length up to the first NUL, but never looking further than one byte past a
// track: the host's text may end without a NUL anywhere near.
std::size_t MeasureTrack(const char* track) {
  std::size_t length = 0;
  while (length <= kTrackLength && track[length] != '\0') ++length;
  return length;
}

void LogError(const std::string& message) {
  g_fileLogger(logger::Error) << message;
}

}  // namespace

int32_t ReadMagneticCard(const char* track, char** cardNumber) {
  if (cardNumber == nullptr) {
    LogError("磁卡号结果参数为空，无法返回卡号。");
    return -1;
  }
  if (track == nullptr || MeasureTrack(track) != kTrackLength) {
    LogError("磁卡号长度不正常");
    return -1;
  }
  // Cutting and the number conversions raise on bad fields (and on memory
  // exhaustion); each becomes one parse-failure record.
  return RunGuarded([&] {
    const TrackFields fields = CutTrack(track);
    if (ComputeCheckCode(fields.cardNumberField, fields.tailNumber,
                         fields.headNumber) != fields.checkCode) {
      LogError("卡号校验失败，请确认是否院内磁卡。");
      return -1;
    }
    WriteResult(NumberBufferA, fields.cardNumberField);
    *cardNumber = NumberBufferA;
    return 0;
  });
}

}  // namespace card
