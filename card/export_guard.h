#pragma once
// Keeps every exception inside the library: a host written in any language
// would be torn down by one unwinding into its frames.
#include <cstdint>
#include <exception>

namespace card {

// Logs one Error record for an exception that a card operation let escape.
void LogEscapedException(const char* what) noexcept;

// Runs operation and answers its result, or -1 with one Error record when it
// throws.
template <typename Operation>
int32_t RunGuarded(Operation&& operation) noexcept {
  try {
    return operation();
  } catch (const std::exception& error) {
    LogEscapedException(error.what());
  } catch (...) {
    LogEscapedException(nullptr);
  }
  return -1;
}

}  // namespace card
