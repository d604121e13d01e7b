#pragma once
// The check code of the hospital's magnetic cards: a value that the card
// issuer computed from three number fields of the track and wrote onto the
// track beside them. Pure text handling; no I/O, no copies of the fields.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace card {

constexpr std::size_t kCheckCodeLength = 10;

// Converts one number field the way a signed long conversion in base 10 does:
// leading white space (space, \t, \n, \v, \f, \r) skipped, one optional sign,
// then decimal digits up to the first other byte; the rest is ignored.
// The range is always that of a 32-bit long, whatever the width of long on
// the build, so both builds accept and refuse the same cards.
// Throws std::invalid_argument("invalid stol argument") when no digit comes,
// std::out_of_range("stol argument out of range") outside the 32-bit range.
int32_t ConvertNumberField(std::string_view field);

// Writes the 10-digit, zero-padded check code of a track into code (no NUL).
// The fields are converted in this order (card number, tail, head), so the
// first bad one decides which exception leaves; a negative value contributes
// no bit.
void ComputeCheckCode(std::string_view cardNumberField, std::string_view tailNumber,
                      std::string_view headNumber, char (&code)[kCheckCodeLength]);

// The same check code as text.
std::string ComputeCheckCode(std::string_view cardNumberField, std::string_view tailNumber,
                             std::string_view headNumber);

}  // namespace card
