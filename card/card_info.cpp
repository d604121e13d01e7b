#include "card/card_info.h"

#include <optional>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/export_guard.h"
#include "card/result_buffers.h"
#include "driver/dynamic_library.h"
#include "logger/logger.h"

namespace card {

// Fields are moved byte for byte, never interpreted: the markers' meaning
// belongs to the host.
std::string FormatCardInfo(const std::vector<std::string>& fields) {
  return fields[0] + "#" + fields[7] + "#2#" + fields[2] + "#01#" + fields[1] + "#" + fields[4] +
         "######" + fields[3] + "#";
}

int ReadIcCardInfo(char** cardInfo, int32_t* status) {
  // The status is 0 when the export returns, on every path: stored first.
  if (status != nullptr) *status = 0;
  if (cardInfo == nullptr || status == nullptr) {
    logger::g_fileLogger(logger::Error)
        << "读卡结果参数为空：第" << (cardInfo == nullptr ? 3 : 4) << "个参数";
    return -1;
  }

  driver::DynamicLibrary library;
  if (!ReadCardRecord(library)) return -1;
  // The parsing stage: the fields are copies, so RecordBuffer may then be
  // overwritten with the line.
  return RunGuarded([&] {
    const std::optional<std::vector<std::string>> fields = RecordFields(8);
    if (!fields) return -1;
    WriteResult(RecordBuffer, FormatCardInfo(*fields));
    *cardInfo = RecordBuffer;
    return 0;
  });
}

}  // namespace card
