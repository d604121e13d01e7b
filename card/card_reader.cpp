#include "card/card_reader.h"

#include <cstdint>
#include <cstring>
#include <exception>

#include "card/export_guard.h"
#include "card/result_buffers.h"
#include "driver/card_driver.h"
#include "driver/dynamic_library.h"
#include "logger/logger.h"
#include "text/module_directory.h"
#include "text/split.h"

namespace card {

bool ReadCardRecord(DynamicLibrary& library) {
  if (!library.Load(GetModuleDirectory() + driver::kCardDriverFile)) {
    g_fileLogger(logger::Error) << "无法加载读卡动态库：" << driver::kCardDriverFile;
    return false;
  }
  int32_t result = 0;
  try {
    result = driver::ReadCardBasic(library, RecordBuffer);
  } catch (const std::exception& error) {
    // A driver without the read function: the library is freed by the
    // binding's owner as the call unwinds.
    g_fileLogger(logger::Error) << "读卡函数调用异常： " << ExceptionText(error.what());
    return false;
  }
  // A driver may fill the whole buffer without a terminating NUL; nothing
  // after this point may read past it.
  RecordBuffer[kRecordBufferSize - 1] = '\0';
  if (result != 0) {
    g_fileLogger(logger::Error) << "读卡失败,错误码:" << result << " 错误信息"
                                << RecordText();
    return false;
  }
  return true;
}

std::string RecordText() {
  const void* end = std::memchr(RecordBuffer, '\0', kRecordBufferSize);
  std::size_t length = end == nullptr
                           ? kRecordBufferSize
                           : static_cast<const char*>(end) - RecordBuffer;
  return std::string(RecordBuffer, length);
}

std::optional<std::vector<std::string>> RecordFields(std::size_t minimum) {
  std::vector<std::string> fields = split(RecordText(), "|");
  if (fields.size() < minimum) {
    g_fileLogger(logger::Error) << "无法解析卡内容： " << RecordText();
    return std::nullopt;
  }
  return fields;
}

}  // namespace card
