#include "card/export_guard.h"

#include "logger/logger.h"

namespace card {

const char* ExceptionText(const char* what) {
  return (what == nullptr || *what == '\0') ? "Unknown exception" : what;
}

void LogParseFailure(const char* what) noexcept {
  try {
    logger::g_fileLogger(logger::Error) << "读卡内容解析异常： " << ExceptionText(what);
  } catch (...) {
    // Out of memory even for the record: the -1 must still reach the host.
  }
}

}  // namespace card
