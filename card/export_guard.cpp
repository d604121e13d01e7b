#include "card/export_guard.h"

#include "card/card_reader.h"
#include "logger/logger.h"

namespace card {

void LogEscapedException(const char* what) noexcept {
  try {
    g_fileLogger(logger::Error) << "读卡内容解析异常： " << ExceptionText(what);
  } catch (...) {
    // Out of memory even for the record: the -1 must still reach the host.
  }
}

}  // namespace card
