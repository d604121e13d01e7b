#pragma once
// Keeps every exception inside the library: a host written in any language
// would be torn down by one unwinding into its frames. The same handling
// serves the parsing stage of every card read.
#include <cstdint>
#include <exception>

namespace card {

// what, or "Unknown exception" for an exception that carries no text.
const char* ExceptionText(const char* what);

// Logs one Error record "读卡内容解析异常： " + the exception's text.
void LogParseFailure(const char* what) noexcept;

// Runs operation and answers its result, or -1 with one Error record when it
// throws.
template <typename Operation>
int32_t RunGuarded(Operation&& operation) noexcept {
  try {
    return operation();
  } catch (const std::exception& error) {
    LogParseFailure(error.what());
  } catch (...) {
    LogParseFailure(nullptr);
  }
  return -1;
}

}  // namespace card
