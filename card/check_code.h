#pragma once
// The check code of the hospital's magnetic cards: a value that the card
// issuer computed from three number fields of the track and wrote onto the
// track beside them. Pure text handling; no I/O.
#include <cstdint>
#include <string>

namespace card {

// Converts one number field the way a signed long conversion in base 10 does:
// leading white space (space, \t, \n, \v, \f, \r) skipped, one optional sign,
// then decimal digits up to the first other byte; the rest is ignored.
// The range is always that of a 32-bit long, whatever the width of long on
// the build, so both builds accept and refuse the same cards.
// Throws std::invalid_argument("invalid stol argument") when no digit comes,
// std::out_of_range("stol argument out of range") outside the 32-bit range.
int32_t ConvertNumberField(const std::string& field);

// The 10-digit, zero-padded check code of a track. The fields are converted
// in this order (card number, tail, head), so the first bad one decides which
// exception leaves; a negative value contributes no bit.
std::string ComputeCheckCode(const std::string& cardNumberField,
                             const std::string& tailNumber,
                             const std::string& headNumber);

}  // namespace card
