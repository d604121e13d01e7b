#include "card/check_code.h"

#include <stdexcept>

namespace card {
namespace {

// Exactly the bytes that the C library's isspace accepts in the "C" locale.
bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Negative values count as no bits at all, not as their two's complement.
uint32_t BitsOf(int32_t value) { return value < 0 ? 0u : static_cast<uint32_t>(value); }

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
  // One conversion for every field, plain or not: it costs a few
  // nanoseconds a field, against the microseconds of the call around it.
  const int32_t cardNumber = ConvertNumberField(cardNumberField);
  const int32_t tail = ConvertNumberField(tailNumber);
  const int32_t head = ConvertNumberField(headNumber);
  uint32_t bits = BitsOf(cardNumber) | BitsOf(tail) | BitsOf(head);
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
