#pragma once
// The least work that checking a magnetic track can take, as the floor that
// CK_DKH is measured against: fixed-width fields of plain digits (no white
// space, sign, range or error text), one OR, ten digits compared, the number
// copied out.
#include <cstdint>
#include <cstring>

namespace bench {

inline bool PlainDigits(const char* field, int width, uint64_t& value) {
  value = 0;
  for (int i = 0; i < width; ++i) {
    if (field[i] < '0' || field[i] > '9') return false;
    value = value * 10 + static_cast<uint64_t>(field[i] - '0');
  }
  return true;
}

inline int HandCheckTrack(const char* track, char* number) {
  if (std::strlen(track) != 37) return -1;
  uint64_t head, card, tail;
  if (!PlainDigits(track, 8, head) || !PlainDigits(track + 8, 10, card) ||
      !PlainDigits(track + 29, 8, tail)) {
    return -1;
  }
  if (card > 2147483647) return -1;  // no 32-bit number
  uint32_t bits = static_cast<uint32_t>(head | card | tail);
  char code[10];
  for (int i = 9; i >= 0; --i, bits /= 10) code[i] = static_cast<char>('0' + bits % 10);
  if (std::memcmp(code, track + 19, 10) != 0) return -1;
  std::memcpy(number, track + 8, 10);
  number[10] = '\0';
  return 0;
}

// The track of the worked example: head 12345678, card number 0000123456,
// tail 87654321, check code 0096337919.
constexpr char kGoodTrack[] = "123456780000123456=009633791987654321";
// One byte short: refused at once, with one failure record.
constexpr char kShortTrack[] = "12345678000012345=009633791987654321";

}  // namespace bench
