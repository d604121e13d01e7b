#pragma once
// Reading the card number of one of the hospital's own magnetic-stripe cards
// from the 37-byte track text that the host hands over.
#include <cstddef>
#include <cstdint>

namespace card {

constexpr std::size_t kTrackLength = 37;

// Checks the track and, when its check code matches, writes its 10-byte card
// number field into NumberBufferA and stores the buffer's address in
// *cardNumber: 0. Every failure (null or wrong-length track, bad number field,
// wrong check code, null cardNumber) writes one Error record and returns -1,
// leaving NumberBufferA and *cardNumber as they were. Throws only if the
// failure record itself cannot be made (memory exhausted).
int32_t ReadMagneticCard(const char* track, char** cardNumber);

}  // namespace card
