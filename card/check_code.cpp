#include "card/check_code.h"

#include <stdexcept>

namespace card {
namespace {

// Exactly the bytes that the C library's isspace accepts in the "C" locale.
bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Negative values count as no bits at all, not as their two's complement.
uint32_t BitsOf(int32_t value) {
  return value < 0 ? 0u : static_cast<uint32_t>(value);
}

// The value of a field of at most ten plain digits and nothing else, as
// the fields of a good track are; false for any other field, which the full
// conversion then handles (with the same value where it has one).
bool PlainValue(std::string_view field, uint32_t& value) {
  if (field.empty() || field.size() > 10) return false;
  uint64_t accumulated = 0;
  bool plain = true;
  for (char c : field) {
    const unsigned digit = static_cast<unsigned char>(c - '0');
    plain = plain && digit < 10;
    accumulated = accumulated * 10 + digit;
  }
  if (!plain || accumulated > 2147483647u) return false;
  value = static_cast<uint32_t>(accumulated);
  return true;
}

}  // namespace

int32_t ConvertNumberField(std::string_view field) {
  const char* next = field.data();
  const char* const end = next + field.size();
  while (next != end && IsWhiteSpace(*next)) ++next;
  bool negative = false;
  if (next != end && (*next == '+' || *next == '-')) {
    negative = *next == '-';
    ++next;
  }
  if (next == end || !IsDigit(*next)) {
    throw std::invalid_argument("invalid stol argument");
  }
  // Leading zeros carry no value; of the digits after them, eleven are more
  // than any 32-bit value has and still fit the accumulator, and a twelfth
  // only makes the value larger.
  while (next != end && *next == '0') ++next;
  const char* const firstDigit = next;
  int64_t magnitude = 0;
  for (; next != end && next - firstDigit < 11 && IsDigit(*next); ++next) {
    magnitude = magnitude * 10 + (*next - '0');
  }
  const bool moreDigits = next != end && IsDigit(*next);
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  if (moreDigits || magnitude > limit) throw std::out_of_range("stol argument out of range");
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

void ComputeCheckCode(std::string_view cardNumberField, std::string_view tailNumber,
                      std::string_view headNumber, char (&code)[kCheckCodeLength]) {
  uint32_t cardBits, tailBits, headBits;
  uint32_t bits;
  if (PlainValue(cardNumberField, cardBits) && PlainValue(tailNumber, tailBits) &&
      PlainValue(headNumber, headBits)) {
    bits = cardBits | tailBits | headBits;  // none negative, none out of range
  } else {
    const int32_t cardNumber = ConvertNumberField(cardNumberField);
    const int32_t tail = ConvertNumberField(tailNumber);
    const int32_t head = ConvertNumberField(headNumber);
    bits = BitsOf(cardNumber) | BitsOf(tail) | BitsOf(head);
  }
  // Ten digits hold every 32-bit value.
  for (std::size_t i = kCheckCodeLength; i-- > 0; bits /= 10) {
    code[i] = static_cast<char>('0' + bits % 10);
  }
}

std::string ComputeCheckCode(std::string_view cardNumberField, std::string_view tailNumber,
                             std::string_view headNumber) {
  char code[kCheckCodeLength];
  ComputeCheckCode(cardNumberField, tailNumber, headNumber, code);
  return std::string(code, kCheckCodeLength);
}

}  // namespace card
