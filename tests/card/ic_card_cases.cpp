#include "ic_card_cases.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "driver/record_area.h"
#include "tests/support/day_log.h"
#include "tests/support/files.h"
#include "tests/support/stdout_capture.h"

namespace iccard {
namespace {

using testing_support::IsFile;
using testing_support::LogWatch;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

#ifdef _WIN32
const char kDriverFile[] = "SSCardDriver.dll";
const char kNoReadDriverFile[] = "SSCardDriverNoRead.dll";
#else
const char kDriverFile[] = "libSSCardDriver.so";
const char kNoReadDriverFile[] = "libSSCardDriverNoRead.so";
#endif
const char kAnswerFile[] = "SSCardDriver.txt";
const char kSettingsFile[] = "SSCardDriver.env";
const char kReadcardIni[] = "readcard.ini";

const std::string kUnparsable = "无法解析卡内容： ";
const std::string kParseFailure = "读卡内容解析异常： ";

std::vector<std::string> NoRecords() { return {}; }

// Eight fields a to h; field 2 is "c".
const std::string kEightFields = "a|b|c|d|e|f|g|h";

// count bytes of the simulated driver's pattern "0123456789..."
std::string Digits(std::size_t count) {
  std::string digits;
  while (digits.size() < count) digits += "0123456789";
  digits.resize(count);
  return digits;
}

// The writable bytes that the library's guarded area has after the record.
std::size_t DriverSlack() {
#ifdef _WIN32
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const std::size_t page = system.dwPageSize;
#else
  const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
#endif
  return driver::RecordArea::WritableSize(page) - driver::RecordArea::kSize;
}

}  // namespace

HostDirectory::HostDirectory(std::string directory, char separator)
    : m_directory(std::move(directory)), m_separator(separator) {
  Clear();  // also after an earlier run that ended half-way
}

HostDirectory::~HostDirectory() { Clear(); }

void HostDirectory::Clear() {
  RestoreDriver();
  RemoveLoginIni();
  std::remove(File(kAnswerFile).c_str());
  std::remove(File(kSettingsFile).c_str());
  std::remove(File(kReadcardIni).c_str());
  m_settings.clear();
}

void HostDirectory::SetDriverSetting(const std::string& name, const char* value) {
  if (value != nullptr) {
    m_settings[name] = value;
  } else {
    m_settings.erase(name);
  }
  std::string text;
  for (const auto& setting : m_settings) text += setting.first + "=" + setting.second + "\n";
  if (text.empty()) {
    std::remove(File(kSettingsFile).c_str());
  } else {
    ASSERT_TRUE(WriteBytes(File(kSettingsFile), text));
  }
}

void HostDirectory::WriteReadcardIni(const std::string& text) {
  ASSERT_TRUE(WriteBytes(File(kReadcardIni), text));
}

void HostDirectory::RemoveReadcardIni() { std::remove(File(kReadcardIni).c_str()); }

void HostDirectory::UseIsolation(Isolation isolation) {
  if (isolation == Isolation::kProcess) {
    WriteReadcardIni("[driver]\nisolation=process\n");
  } else {
    RemoveReadcardIni();
  }
}

const char* IsolationName(Isolation isolation) {
  return isolation == Isolation::kProcess ? "process" : "none";
}

std::string HostDirectory::File(const std::string& name) const { return m_directory + name; }

void HostDirectory::WriteLoginIni(const std::string& text) {
  ASSERT_TRUE(WriteBytes(File("Login.ini"), text));
}

void HostDirectory::RemoveLoginIni() { std::remove(File("Login.ini").c_str()); }

void HostDirectory::SetDriverAnswer(int32_t result, const std::string& record) {
  ASSERT_TRUE(WriteBytes(File(kAnswerFile), std::to_string(result) + "\n" + record));
}

void HostDirectory::RemoveDriver() {
  const std::string aside = File(std::string(kDriverFile) + ".aside");
  if (!IsFile(aside)) {
    ASSERT_EQ(std::rename(File(kDriverFile).c_str(), aside.c_str()), 0)
        << "the simulated driver must be built beside the test program";
  }
  std::remove(File(kDriverFile).c_str());
}

void HostDirectory::UseDriverWithoutRead() { UseDriver(kNoReadDriverFile); }

void HostDirectory::UseDriver(const std::string& file) {
  RemoveDriver();
  ASSERT_TRUE(WriteBytes(File(kDriverFile), ReadBytes(File(file))));
}

void HostDirectory::RestoreDriver() {
  const std::string aside = File(std::string(kDriverFile) + ".aside");
  if (!IsFile(aside)) return;
  std::remove(File(kDriverFile).c_str());
  std::rename(aside.c_str(), File(kDriverFile).c_str());
}

std::string HostDirectory::LogPath() const {
  return testing_support::DayLogPath(m_directory, m_separator);
}

// ---------------------------------------------------------------------------
// QTZ_DKH: Login.ini, the virtual card and the card number from the record.

namespace {

struct NumberCase {
  const char* name;
  const char* loginIni;  // nullptr: no Login.ini at all
  int32_t driverResult;
  std::string record;
  std::string number;   // the answer on success
  std::string message;  // the Error record on failure; "" for success
};

const char kVirtualOn[] =
    "[MAIN]\r\nREALCARD = TRUE\r\n[QTZH]\r\nCURRENT=2\r\n1=0000111111\r\n2=0000222222\r\n";

std::vector<NumberCase> NumberCases() {
  const std::string longNumber(120, '9');
  return {
      {"no Login.ini", nullptr, 0, "A|B|C|D", "C", ""},
      {"no REALCARD", "[MAIN]\nUSER=1\n", 0, "A|B|C|D", "C", ""},
      {"REALCARD false", "[MAIN]\nREALCARD=false\n", 0, "A|B|C", "C", ""},
      {"REALCARD 1", "[MAIN]\nREALCARD=1\n", 0, "A|B|C", "C", ""},
      {"REALCARD yes", "[MAIN]\nREALCARD=yes\n", 0, "A|B|C", "C", ""},
      {"REALCARD truth", "[MAIN]\nREALCARD=truth\n", 0, "A|B|C", "C", ""},
      {"REALCARD in another section", "[QTZH]\nREALCARD=true\nCURRENT=1\n1=7\n", 0, "A|B|C", "C",
       ""},
      // In virtual-card mode the configured number is the answer and the
      // reader is not touched: a failing driver changes nothing.
      {"virtual TRUE", kVirtualOn, -3, "NOCARD", "0000222222", ""},
      {"virtual True", "[MAIN]\nREALCARD=True\n[QTZH]\nCURRENT=1\n1=0000123456\n", -3, "NOCARD",
       "0000123456", ""},
      {"virtual true, GBK number", "[MAIN]\nREALCARD=true\n[QTZH]\nCURRENT=张\n张=虚拟卡号\n", 0,
       "A|B|C", "虚拟卡号", ""},
      {"virtual, no CURRENT", "[MAIN]\nREALCARD=true\n[QTZH]\n1=0000123456\n", 0, "A|B|C", "",
       "虚拟读卡[CURRENT]节点不存在"},
      {"virtual, no QTZH section", "[MAIN]\nREALCARD=true\n", 0, "A|B|C", "",
       "虚拟读卡[CURRENT]节点不存在"},
      {"virtual, CURRENT names no key", "[MAIN]\nREALCARD=true\n[QTZH]\nCURRENT=9\n1=1\n", 0,
       "A|B|C", "", "虚拟读卡[9]号IC卡设置有错误"},
      {"virtual, CURRENT empty", "[MAIN]\nREALCARD=true\n[QTZH]\nCURRENT=\n", 0, "A|B|C", "",
       "虚拟读卡[]号IC卡设置有错误"},
      {"two fields", nullptr, 0, "A|B", "", kUnparsable + "A|B"},
      {"two fields and a final delimiter", nullptr, 0, "A|B|", "", kUnparsable + "A|B|"},
      {"empty third field", nullptr, 0, "A|B||", "", ""},
      {"empty record", nullptr, 0, "", "", kUnparsable},
      {"GBK name and number", nullptr, 0, "330100|张三|卡号一|男", "卡号一", ""},
      {"number of 120 bytes", nullptr, 0, "A|B|" + longNumber + "|D", longNumber.substr(0, 99), ""},
      {"driver result -3", nullptr, -3, "NOCARD", "", "读卡失败,错误码:-3 错误信息NOCARD"},
      {"driver result 5", nullptr, 5, "卡片未插入", "", "读卡失败,错误码:5 错误信息卡片未插入"},
  };
}

}  // namespace

void RunCardNumberCases(const CardExports& exports, HostDirectory& host) {
  for (const NumberCase& c : NumberCases()) {
    SCOPED_TRACE(c.name);
    // A previous answer that no case gives, to see what a failure leaves.
    host.RemoveLoginIni();
    host.SetDriverAnswer(0, "p|p|PRIMED");
    char* primedA = nullptr;
    char* primedB = nullptr;
    ASSERT_EQ(exports.readNumber(&primedA, &primedB), 0);
    ASSERT_NE(primedA, primedB) << "two buffers, not one";

    if (c.loginIni != nullptr) host.WriteLoginIni(c.loginIni);
    host.SetDriverAnswer(c.driverResult, c.record);
    char sentinel = 0;
    char* slotA = &sentinel;
    char* slotB = &sentinel;
    LogWatch log(host.LogPath());
    int32_t result = exports.readNumber(&slotA, &slotB);

    if (c.message.empty()) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(slotA, primedA);
      EXPECT_EQ(slotB, primedB);
      EXPECT_EQ(std::string(primedA), c.number);
      EXPECT_EQ(std::string(primedB), c.number);
      EXPECT_EQ(log.NewMessages(), NoRecords());
    } else {
      EXPECT_EQ(result, -1);
      EXPECT_EQ(slotA, &sentinel);
      EXPECT_EQ(slotB, &sentinel);
      EXPECT_STREQ(primedA, "PRIMED");
      EXPECT_STREQ(primedB, "PRIMED");
      EXPECT_EQ(log.NewMessages(), std::vector<std::string>{c.message});
    }
  }
  host.RemoveLoginIni();
}

// ---------------------------------------------------------------------------
// SBK_YKT_ICGETINFO: the card information line.

namespace {

struct InfoCase {
  const char* name;
  int32_t driverResult;
  std::string record;
  std::string line;     // the answer on success
  std::string message;  // the Error record on failure; "" for success
};

std::vector<InfoCase> InfoCases() {
  const std::string wide(300, 'w');
  const std::string longRecord = wide + "|b|" + wide + "|d|e|f|g|" + wide;
  const std::string longLine = wide + "#" + wide + "#2#" + wide + "#01#b#e######d#";
  return {
      {"a to h", 0, kEightFields, "a#h#2#c#01#b#e######d#", ""},
      {"more than eight fields", 0, kEightFields + "|i|j|", "a#h#2#c#01#b#e######d#", ""},
      {"eight empty fields", 0, "||||||||", "##2##01#########", ""},
      {"seven fields", 0, "a|b|c|d|e|f|g", "", kUnparsable + "a|b|c|d|e|f|g"},
      {"eight fields, the last empty", 0, "a|b|c|d|e|f|g|", "", kUnparsable + "a|b|c|d|e|f|g|"},
      {"... and one more delimiter", 0, "a|b|c|d|e|f|g||", "a##2#c#01#b#e######d#", ""},
      {"markers inside fields pass through", 0, "#|b|c|d|e|f|g|#", "####2#c#01#b#e######d#", ""},
      {"GBK name", 0, "330100|张三|A123|20200315|男|f|g|汉",
       "330100#汉#2#A123#01#张三#男######20200315#", ""},
      {"line cut at 1023 bytes", 0, longRecord, longLine.substr(0, 1023), ""},
      {"driver result -3", -3, "NOCARD", "", "读卡失败,错误码:-3 错误信息NOCARD"},
      {"driver fails with an empty text", 7, "", "", "读卡失败,错误码:7 错误信息"},
  };
}

}  // namespace

void RunCardInfoCases(const CardExports& exports, HostDirectory& host) {
  for (const InfoCase& c : InfoCases()) {
    SCOPED_TRACE(c.name);
    host.SetDriverAnswer(0, kEightFields);
    char* primed = nullptr;
    int32_t status = 77;
    ASSERT_EQ(exports.readInfo(&primed, &status), 0);
    ASSERT_NE(primed, nullptr);
    EXPECT_EQ(status, 0);

    host.SetDriverAnswer(c.driverResult, c.record);
    char sentinel = 0;
    char* slot = &sentinel;
    status = -12345;
    LogWatch log(host.LogPath());
    int32_t result = exports.readInfo(&slot, &status);
    EXPECT_EQ(status, 0) << "set to 0 on every call";

    if (c.message.empty()) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(slot, primed) << "the answer lives in the record buffer";
      EXPECT_EQ(std::string(primed), c.line);
      EXPECT_EQ(log.NewMessages(), NoRecords());
    } else {
      EXPECT_EQ(result, -1);
      EXPECT_EQ(slot, &sentinel);
      // The record buffer holds what the driver left there.
      EXPECT_EQ(std::string(primed), c.record);
      EXPECT_EQ(log.NewMessages(), std::vector<std::string>{c.message});
    }
  }
}

// ---------------------------------------------------------------------------
// A driver that is missing, wrong, silent or overflowing.

void RunDriverTroubleCases(const CardExports& exports, HostDirectory& host) {
  host.SetDriverAnswer(0, kEightFields);
  char* recordBuffer = nullptr;
  int32_t status = 0;
  ASSERT_EQ(exports.readInfo(&recordBuffer, &status), 0);

  char sentinel = 0;
  char* slotA = &sentinel;
  char* slotB = &sentinel;
  const std::string unloadable = std::string("无法加载读卡动态库：") + kDriverFile;
  {
    SCOPED_TRACE("driver missing");
    host.RemoveDriver();
    LogWatch log(host.LogPath());
    testing_support::StdoutCapture numberOutput;
    EXPECT_EQ(exports.readNumber(&slotA, &slotB), -1);
    EXPECT_EQ(numberOutput.Finish(),
              std::string("LoadLibrary failed") + testing_support::kStdoutLineEnd);
    testing_support::StdoutCapture infoOutput;
    status = 9;
    EXPECT_EQ(exports.readInfo(&slotA, &status), -1);
    EXPECT_EQ(infoOutput.Finish(),
              std::string("LoadLibrary failed") + testing_support::kStdoutLineEnd);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(log.NewMessages(), (std::vector<std::string>{unloadable, unloadable}));
    EXPECT_EQ(slotA, &sentinel);
    EXPECT_EQ(slotB, &sentinel);
    host.RestoreDriver();
  }
  {
    SCOPED_TRACE("driver without iReadCardBas");
    host.UseDriverWithoutRead();
    LogWatch log(host.LogPath());
    EXPECT_EQ(exports.readNumber(&slotA, &slotB), -1);
    EXPECT_EQ(exports.readInfo(&slotA, &status), -1);
    const std::string missing = "读卡函数调用异常： can not find this function iReadCardBas";
    EXPECT_EQ(log.NewMessages(), (std::vector<std::string>{missing, missing}));
    EXPECT_EQ(slotA, &sentinel);
#ifdef _WIN32
    EXPECT_EQ(GetModuleHandleA(kDriverFile), nullptr) << "the driver stays loaded";
#endif
    host.RestoreDriver();
  }
  {
    SCOPED_TRACE("driver fails without writing");
    host.SetDriverAnswer(0, "X|Y|Z");
    ASSERT_EQ(exports.readNumber(&slotA, &slotB), 0);
    slotA = slotB = &sentinel;
    host.SetDriverAnswer(5, "unused");
    host.SetDriverSetting("SIMCARD_NOWRITE", "1");
    LogWatch log(host.LogPath());
    EXPECT_EQ(exports.readNumber(&slotA, &slotB), -1);
    EXPECT_EQ(exports.readInfo(&slotA, &status), -1);
    host.SetDriverSetting("SIMCARD_NOWRITE", nullptr);
    const std::string stale = "读卡失败,错误码:5 错误信息X|Y|Z";
    EXPECT_EQ(log.NewMessages(), (std::vector<std::string>{stale, stale}));
  }
  {
    SCOPED_TRACE("driver fills the whole buffer without a NUL");
    host.SetDriverAnswer(0, "");
    host.SetDriverSetting("SIMCARD_FILL", "1024");
    LogWatch log(host.LogPath());
    EXPECT_EQ(exports.readNumber(&slotA, &slotB), -1);
    EXPECT_EQ(exports.readInfo(&slotA, &status), -1);
    host.SetDriverSetting("SIMCARD_FILL", nullptr);
    // Everything the library and the host see of the record stops inside
    // the 1024-byte buffer.
    std::string digits;
    while (digits.size() < 1023) digits += "0123456789";
    digits.resize(1023);
    EXPECT_EQ(log.NewMessages(),
              (std::vector<std::string>{kUnparsable + digits, kUnparsable + digits}));
    EXPECT_EQ(std::strlen(recordBuffer), 1023u);
  }
  EXPECT_EQ(slotA, &sentinel);
  EXPECT_EQ(slotB, &sentinel);
}

// ---------------------------------------------------------------------------
// A driver that writes past the 1024 bytes of the record, as into a larger
// buffer of its own idea: within the slack both reads answer as usual, and
// what it wrote there is dropped. Past the slack (Windows, where the guard
// catches the fault) both fail with one record each, and the record buffer
// holds the record that the driver wrote before.

void RunDriverSlackCases(const CardExports& exports, HostDirectory& host) {
  const std::size_t slack = DriverSlack();
  ASSERT_GE(slack, 15u * 1024);
  // One byte; the rest of a 2 KiB, a 4 KiB, a 16 KiB buffer; all of the slack.
  const std::size_t counts[] = {1, 1024, 3072, 15 * 1024, slack};
  for (std::size_t count : counts) {
    SCOPED_TRACE(count);
    host.SetDriverAnswer(0, kEightFields);
    host.SetDriverSetting("SIMCARD_OVERRUN", std::to_string(count).c_str());
    LogWatch log(host.LogPath());
    char* number = nullptr;
    char* copy = nullptr;
    EXPECT_EQ(exports.readNumber(&number, &copy), 0);
    EXPECT_STREQ(number, "c");
    EXPECT_STREQ(copy, "c");
    char* info = nullptr;
    int32_t status = 9;
    EXPECT_EQ(exports.readInfo(&info, &status), 0);
    EXPECT_STREQ(info, "a#h#2#c#01#b#e######d#");
    EXPECT_EQ(status, 0);
    // A driver that fills all 1024 bytes without a NUL: the record buffer
    // gets them with a NUL in the last, whatever the driver wrote after it.
    host.SetDriverSetting("SIMCARD_FILL", "1024");
    EXPECT_EQ(exports.readInfo(&info, &status), -1);
    host.SetDriverSetting("SIMCARD_FILL", nullptr);
    host.SetDriverSetting("SIMCARD_OVERRUN", nullptr);
    EXPECT_EQ(log.NewMessages(), std::vector<std::string>{kUnparsable + Digits(1023)});
  }

#ifdef _WIN32
  host.SetDriverAnswer(0, kEightFields);
  host.SetDriverSetting("SIMCARD_OVERRUN", std::to_string(slack + 1).c_str());
  const std::string fault = "读卡函数调用异常： 0xC0000005 access violation in SSCardDriver.dll";
  LogWatch log(host.LogPath());
  char sentinel = 0;
  char* slotA = &sentinel;
  char* slotB = &sentinel;
  EXPECT_EQ(exports.readNumber(&slotA, &slotB), -1);
  int32_t status = 9;
  EXPECT_EQ(exports.readInfo(&slotA, &status), -1);
  host.SetDriverSetting("SIMCARD_OVERRUN", nullptr);
  EXPECT_EQ(log.NewMessages(), (std::vector<std::string>{fault, fault}));
  EXPECT_EQ(slotA, &sentinel);
  EXPECT_EQ(slotB, &sentinel);
  EXPECT_EQ(status, 0);
  // The record buffer holds the driver's record, as the next read shows by
  // replacing it.
  host.SetDriverAnswer(0, kEightFields);
  char* info = nullptr;
  EXPECT_EQ(exports.readInfo(&info, &status), 0);
  EXPECT_STREQ(info, "a#h#2#c#01#b#e######d#");
#endif
}

#ifdef _WIN32
// ---------------------------------------------------------------------------
// A driver that crashes, or writes past the 1024 bytes of the record and the
// slack behind them.

void RunDriverFaultCases(const CardExports& exports, HostDirectory& host) {
  struct FaultCase {
    const char* mode;
    std::string message;
  };
  const std::string failure = "读卡函数调用异常： ";
  const FaultCase cases[] = {
      {"access", failure + "0xC0000005 access violation in SSCardDriver.dll"},
      {"illegal", failure + "0xC000001D illegal instruction in SSCardDriver.dll"},
      {"divide", failure + "0xC0000094 integer divide by zero in SSCardDriver.dll"},
      {"privileged", failure + "0xC0000096 privileged instruction in SSCardDriver.dll"},
      // The first byte past the slack meets an inaccessible page.
      {"overrun", failure + "0xC0000005 access violation in SSCardDriver.dll"},
  };
  std::string digits;  // what the overrun leaves of its pattern in the record buffer
  while (digits.size() < 1023) digits += "0123456789";
  digits.resize(1023);

  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.mode);
    // Earlier answers in all three buffers.
    host.SetDriverAnswer(0, kEightFields);
    char* numberA = nullptr;
    char* numberB = nullptr;
    ASSERT_EQ(exports.readNumber(&numberA, &numberB), 0);
    char* recordBuffer = nullptr;
    int32_t status = 0;
    ASSERT_EQ(exports.readInfo(&recordBuffer, &status), 0);
    const std::string line = recordBuffer;

    host.SetDriverSetting("SIMCARD_FAULT", c.mode);
    char sentinel = 0;
    char* slotA = &sentinel;
    char* slotB = &sentinel;
    LogWatch log(host.LogPath());
    EXPECT_EQ(exports.readNumber(&slotA, &slotB), -1);
    EXPECT_EQ(GetModuleHandleA(kDriverFile), nullptr) << "the crashed driver is freed";
    const std::string afterNumber = recordBuffer;
    status = 5;
    EXPECT_EQ(exports.readInfo(&slotA, &status), -1);
    EXPECT_EQ(GetModuleHandleA(kDriverFile), nullptr) << "the crashed driver is freed";
    host.SetDriverSetting("SIMCARD_FAULT", nullptr);

    EXPECT_EQ(log.NewMessages(), (std::vector<std::string>{c.message, c.message}));
    EXPECT_EQ(slotA, &sentinel);
    EXPECT_EQ(slotB, &sentinel);
    EXPECT_EQ(status, 0);
    EXPECT_STREQ(numberA, "c");
    EXPECT_STREQ(numberB, "c");
    // The record buffer holds what the driver wrote before it faulted: the
    // overrun's first 1023 bytes; nothing for the others.
    const std::string expected = std::string(c.mode) == "overrun" ? digits : line;
    EXPECT_EQ(afterNumber, expected);
    EXPECT_EQ(std::string(recordBuffer), expected);

    // The host goes on reading cards.
    host.SetDriverAnswer(0, "A|B|NEXT");
    EXPECT_EQ(exports.readNumber(&slotA, &slotB), 0);
    EXPECT_STREQ(slotA, "NEXT");
    host.SetDriverAnswer(0, kEightFields);
    EXPECT_EQ(exports.readInfo(&slotA, &status), 0);
    EXPECT_STREQ(slotA, "a#h#2#c#01#b#e######d#");
  }
}
#endif  // _WIN32

// ---------------------------------------------------------------------------
// The exports share their buffers; a pointer shows the latest text.

void RunBufferSharingCases(const CardExports& exports, HostDirectory& host) {
  host.SetDriverAnswer(0, "A|B|IC0001|D");
  char* numberA = nullptr;
  char* numberB = nullptr;
  ASSERT_EQ(exports.readNumber(&numberA, &numberB), 0);
  char* magnetic = nullptr;
  ASSERT_EQ(exports.readTrack("123456780000123456=009633791987654321", &magnetic), 0);
  EXPECT_EQ(magnetic, numberA);
  EXPECT_STREQ(numberA, "0000123456") << "the magnetic number replaces the IC number";
  EXPECT_STREQ(numberB, "IC0001") << "the copy is not touched";

  host.SetDriverAnswer(0, kEightFields);
  char* info = nullptr;
  int32_t status = 3;
  ASSERT_EQ(exports.readInfo(&info, &status), 0);
  EXPECT_STREQ(info, "a#h#2#c#01#b#e######d#");
  host.SetDriverAnswer(0, "raw|record|IC0002");
  ASSERT_EQ(exports.readNumber(&numberA, &numberB), 0);
  EXPECT_STREQ(info, "raw|record|IC0002") << "the driver's record replaces the line";
  EXPECT_STREQ(numberA, "IC0002");
}

// ---------------------------------------------------------------------------
// A host that passes no place for the answer gets -1, not a crash.

void RunNullArgumentCases(const CardExports& exports, HostDirectory& host) {
  host.SetDriverAnswer(0, kEightFields);
  char* slot = nullptr;
  LogWatch log(host.LogPath());
  EXPECT_EQ(exports.readNumber(nullptr, &slot), -1);
  EXPECT_EQ(exports.readNumber(&slot, nullptr), -1);
  EXPECT_EQ(slot, nullptr);
  EXPECT_EQ(log.NewMessages(), (std::vector<std::string>{
                                   "读卡结果参数为空：第5个参数",
                                   "读卡结果参数为空：第6个参数",
                               }));

  // SBK_YKT_ICGETINFO: the status integer is 0 when the export returns, on
  // every path, so it is stored before a missing 3rd argument is refused.
  struct InfoCase {
    const char* name;
    bool withText;
    bool withStatus;
    const char* message;
  };
  const InfoCase cases[] = {
      {"no place for the text", false, true, "读卡结果参数为空：第3个参数"},
      {"no status", true, false, "读卡结果参数为空：第4个参数"},
      {"neither", false, false, "读卡结果参数为空：第3个参数"},
  };
  for (const InfoCase& c : cases) {
    SCOPED_TRACE(c.name);
    char* text = nullptr;
    int32_t status = 77;
    LogWatch infoLog(host.LogPath());
    EXPECT_EQ(exports.readInfo(c.withText ? &text : nullptr, c.withStatus ? &status : nullptr), -1);
    if (c.withStatus) {
      EXPECT_EQ(status, 0);
    }
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(infoLog.NewMessages(), std::vector<std::string>{c.message});
  }
}

}  // namespace iccard
