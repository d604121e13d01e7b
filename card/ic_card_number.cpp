#include "card/ic_card_number.h"

#include <optional>
#include <string>
#include <vector>

#include "card/card_reader.h"
#include "card/export_guard.h"
#include "card/result_buffers.h"
#include "config/ini_reader.h"
#include "config/login_ini.h"
#include "driver/dynamic_library.h"
#include "logger/logger.h"
#include "host/host_directory.h"

namespace card {

namespace {

void HandOut(const std::string& number, char** cardNumber, char** cardNumberCopy) {
  WriteResult(NumberBufferA, number);
  WriteResult(NumberBufferB, number);
  *cardNumber = NumberBufferA;
  *cardNumberCopy = NumberBufferB;
}

// The configured number: [QTZH] CURRENT names the key that holds it.
int AnswerVirtualCard(const std::string& iniPath, char** cardNumber, char** cardNumberCopy) {
  config::IniSection cards;
  config::ReadIniSection(iniPath, cards, "QTZH");
  auto current = cards.find("CURRENT");
  if (current == cards.end()) {
    logger::g_fileLogger(logger::Error) << "虚拟读卡[CURRENT]节点不存在";
    return -1;
  }
  auto number = cards.find(current->second);
  if (number == cards.end()) {
    logger::g_fileLogger(logger::Error) << "虚拟读卡[" << current->second << "]号IC卡设置有错误";
    return -1;
  }
  // The configured number is the answer: the card reader is not touched.
  HandOut(number->second, cardNumber, cardNumberCopy);
  return 0;
}

}  // namespace

int ReadIcCardNumber(char** cardNumber, char** cardNumberCopy) {
  if (cardNumber == nullptr || cardNumberCopy == nullptr) {
    logger::g_fileLogger(logger::Error)
        << "读卡结果参数为空：第" << (cardNumber == nullptr ? 5 : 6) << "个参数";
    return -1;
  }
  const std::string iniPath = host::HostDirectory() + "Login.ini";
  config::IniSection main;
  config::ReadIniSection(iniPath, main, "MAIN");
  if (config::VirtualCardSwitchedOn(main)) {
    return AnswerVirtualCard(iniPath, cardNumber, cardNumberCopy);
  }

  driver::DynamicLibrary library;
  if (!ReadCardRecord(library)) return -1;
  return RunGuarded([&] {
    const std::optional<std::vector<std::string>> fields = RecordFields(3);
    if (!fields) return -1;
    HandOut((*fields)[2], cardNumber, cardNumberCopy);
    return 0;
  });
}

}  // namespace card
