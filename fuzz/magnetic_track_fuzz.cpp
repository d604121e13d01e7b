// Any bytes as the magnetic track text that the host hands to CK_DKH.
//
// Properties:
// - the answer is 0 or -1, and 0 exactly when the track is 37 bytes long and
//   its check code matches by an independent reckoning (strtoll on each
//   field, the OR of the non-negative values, "%010u");
// - on success the host's slot points at card::NumberBufferA, which holds exactly
//   the track's bytes 8 to 17;
// - on failure the slot and card::NumberBufferA are untouched;
// - a longer text is read no further than its 38th byte (inputs of 38 bytes
//   or more are handed over without a NUL after them; ASan watches).
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "card/exports.h"
#include "card/result_buffers.h"
#include "fuzz_check.h"

namespace {

constexpr std::size_t kTrackLength = 37;

// A number field converted as a signed 32-bit long: false when the field
// holds no number or one outside the range.
bool ReferenceNumber(const std::string& field, long long& value) {
  char* end = nullptr;
  errno = 0;
  value = std::strtoll(field.c_str(), &end, 10);
  if (end == field.c_str() || errno == ERANGE) return false;
  return value >= INT32_MIN && value <= INT32_MAX;
}

bool ReferenceAccepts(const char* track) {
  long long head, number, tail;
  if (!ReferenceNumber(std::string(track + 8, 10), number)) return false;
  if (!ReferenceNumber(std::string(track + 29, 8), tail)) return false;
  if (!ReferenceNumber(std::string(track, 8), head)) return false;
  unsigned bits = 0;
  for (long long value : {head, number, tail}) {
    if (value > 0) bits |= static_cast<unsigned>(value);
  }
  char expected[16];
  std::snprintf(expected, sizeof expected, "%010u", bits);
  return std::memcmp(expected, track + 19, 10) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  // Short inputs get their NUL; long ones end exactly at their last byte.
  const bool terminated = size <= kTrackLength;
  std::unique_ptr<char[]> track(new char[size + (terminated ? 1 : 0)]);
  if (size > 0) std::memcpy(track.get(), data, size);
  if (terminated) track[size] = '\0';
  const std::size_t length = strnlen(track.get(), kTrackLength + 1);

  char before[card::kNumberBufferSize];
  std::memcpy(before, card::NumberBufferA, sizeof before);
  char hostText[] = "host's own";
  char* slot = hostText;

  const int32_t result = CK_DKH(0, 0, track.get(), &slot);

  FUZZ_CHECK(result == 0 || result == -1);
  const bool accepted = length == kTrackLength && ReferenceAccepts(track.get());
  FUZZ_CHECK((result == 0) == accepted);
  if (result == 0) {
    FUZZ_CHECK(slot == card::NumberBufferA);
    FUZZ_CHECK(std::memcmp(card::NumberBufferA, track.get() + 8, 10) == 0);
    FUZZ_CHECK(card::NumberBufferA[10] == '\0');
  } else {
    FUZZ_CHECK(slot == hostText);
    FUZZ_CHECK(std::memcmp(before, card::NumberBufferA, sizeof before) == 0);
  }
  return 0;
}
