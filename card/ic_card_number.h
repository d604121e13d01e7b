#pragma once

namespace card {

// The IC card's number, or the virtual card that Login.ini configures, into
// both number buffers; their addresses go to *cardNumber and *cardNumberCopy.
// 0 on success, -1 on failure (logged).
int ReadIcCardNumber(char** cardNumber, char** cardNumberCopy);

}  // namespace card
