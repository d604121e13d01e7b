#include "card/card_info.h"

#include <exception>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/result_buffers.h"
#include "driver/dynamic_library.h"
#include "logger/logger.h"
#include "text/split.h"

namespace card {

// Fields are moved byte for byte, never interpreted: the markers' meaning
// belongs to the host.
std::string FormatCardInfo(const std::vector<std::string>& fields) {
  return fields[0] + "#" + fields[7] + "#2#" + fields[2] + "#01#" + fields[1] +
         "#" + fields[4] + "######" + fields[3] + "#";
}

int ReadIcCardInfo(char** cardInfo, int32_t* status) {
  if (cardInfo == nullptr || status == nullptr) {
    g_fileLogger(logger::Error) << "读卡结果参数为空：第"
                                << (cardInfo == nullptr ? 3 : 4) << "个参数";
    return -1;
  }
  *status = 0;

  DynamicLibrary driver;
  if (!ReadCardRecord(driver)) return -1;
  try {
    const std::vector<std::string> fields = split(RecordText(), "|");
    if (fields.size() < 8) {
      g_fileLogger(logger::Error) << "无法解析卡内容： " << RecordText();
      return -1;
    }
    // Every field has been copied out of RecordBuffer: it may be overwritten.
    WriteResult(RecordBuffer, FormatCardInfo(fields));
    *cardInfo = RecordBuffer;
    return 0;
  } catch (const std::exception& error) {
    g_fileLogger(logger::Error) << "读卡内容解析异常： " << ExceptionText(error.what());
  } catch (...) {
    g_fileLogger(logger::Error) << "读卡内容解析异常： " << ExceptionText(nullptr);
  }
  return -1;
}

}  // namespace card
