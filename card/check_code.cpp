#include "card/check_code.h"

#include <stdexcept>

namespace card {
namespace {

// Exactly the bytes that the C library's isspace accepts in the "C" locale.
bool IsWhiteSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Negative values count as no bits at all, not as their two's complement.
uint32_t BitsOf(int32_t value) {
  return value < 0 ? 0u : static_cast<uint32_t>(value);
}

}  // namespace

int32_t ConvertNumberField(const std::string& field) {
  std::size_t pos = 0;
  while (pos < field.size() && IsWhiteSpace(field[pos])) ++pos;
  bool negative = false;
  if (pos < field.size() && (field[pos] == '+' || field[pos] == '-')) {
    negative = field[pos] == '-';
    ++pos;
  }
  if (pos == field.size() || !IsDigit(field[pos])) {
    throw std::invalid_argument("invalid stol argument");
  }
  // The magnitude saturates just above the largest allowed one, so a long run
  // of digits cannot overflow the accumulator.
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  int64_t magnitude = 0;
  for (; pos < field.size() && IsDigit(field[pos]); ++pos) {
    if (magnitude <= limit) magnitude = magnitude * 10 + (field[pos] - '0');
  }
  if (magnitude > limit) throw std::out_of_range("stol argument out of range");
  return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

std::string ComputeCheckCode(const std::string& cardNumberField,
                             const std::string& tailNumber,
                             const std::string& headNumber) {
  const int32_t cardNumber = ConvertNumberField(cardNumberField);
  const int32_t tail = ConvertNumberField(tailNumber);
  const int32_t head = ConvertNumberField(headNumber);
  const uint32_t bits = BitsOf(cardNumber) | BitsOf(tail) | BitsOf(head);
  std::string digits = std::to_string(bits);
  return std::string(10 - digits.size(), '0') + digits;
}

}  // namespace card
