#include "tools/cardhost/messages.h"

#include <cstddef>

namespace cardhost {

namespace {

struct Translation {
  Message message;
  const char* english;
  const char* chinese;
};

// The help texts name the Windows files; main.cpp puts this platform's names
// in their place.
constexpr Translation kTexts[] = {
    {Message::kUsageHead,
     "usage: cardhost EXPORT [TRACK] [--utf8] [--lang zh|en]\n"
     "       cardhost --check [--utf8] [--lang zh|en]\n"
     "       cardhost --log [N] [--utf8] [--lang zh|en]\n"
     "\n"
     "Run it in the host program's directory, beside readcard.dll: it loads\n"
     "readcard.dll, SSCardDriver.dll and Login.ini from its own directory, as\n"
     "the host does.\n"
     "\n"
     "EXPORT calls that export of readcard.dll and prints its return value and\n"
     "result texts, and what the call wrote to the log (unused arguments are 0):",
     "用法：cardhost EXPORT [TRACK] [--utf8] [--lang zh|en]\n"
     "      cardhost --check [--utf8] [--lang zh|en]\n"
     "      cardhost --log [N] [--utf8] [--lang zh|en]\n"
     "\n"
     "请在宿主程序的目录中、readcard.dll 旁边运行：它像宿主程序一样，从自己\n"
     "所在的目录加载 readcard.dll、SSCardDriver.dll 和 Login.ini。\n"
     "\n"
     "EXPORT 调用 readcard.dll 的这个导出函数（TRACK 为磁道文本），显示它的\n"
     "返回值、结果文本，以及这次调用写入日志的内容（不用的参数为 0）："},
    {Message::kUsageTail,
     "\n"
     "  --check   shows whether readcard.dll, SSCardDriver.dll (with iReadCardBas)\n"
     "            and Login.ini are found, the virtual card settings of Login.ini\n"
     "            ([MAIN] REALCARD, [QTZH] CURRENT) and where the log is\n"
     "  --log [N] prints the last N lines (default 20) of today's log,\n"
     "            Log\\readcard\\qtz-YYYY-MM-DD.log\n"
     "  --utf8    when the output goes to a file or pipe: converts texts from\n"
     "            the ANSI code page (GBK) to UTF-8 (a console shows them right\n"
     "            without it)\n"
     "  --lang zh|en  answers in Chinese or in English (without it: in the\n"
     "            language of the system's user interface)\n"
     "  --help    this text\n"
     "\n"
     "Exit code: 0 the export answered 0 (or the version), the check found no\n"
     "problem; 1 the export answered -1, the check found a problem, no log today;\n"
     "2 wrong usage; 3 readcard.dll could not be loaded.",
     "\n"
     "  --check   检查 readcard.dll、SSCardDriver.dll（及其 iReadCardBas）和\n"
     "            Login.ini 是否存在，Login.ini 的虚拟卡设置（[MAIN] REALCARD、\n"
     "            [QTZH] CURRENT），以及日志在哪里\n"
     "  --log [N] 显示今天日志的最后 N 行（默认 20 行），\n"
     "            Log\\readcard\\qtz-YYYY-MM-DD.log\n"
     "  --utf8    输出到文件或管道时：把文本从 ANSI 代码页（GBK）转换为 UTF-8\n"
     "            （控制台不需要它也能正确显示）\n"
     "  --lang zh|en  用中文或英文回答（不加时：按系统界面的语言）\n"
     "  --help    本说明\n"
     "\n"
     "退出码：0 函数返回 0（或版本号），检查未发现问题；1 函数返回 -1，检查\n"
     "发现问题，今天没有日志；2 用法错误；3 无法加载 readcard.dll。"},
    {Message::kUsageHome,
     "\n"
     "READCARD_HOME: when it names a directory, Login.ini, the driver and the\n"
     "log are looked for there instead of beside the host program (and\n"
     "beside cardhost), for hosts that run under java or python3.",
     "\n"
     "READCARD_HOME：它指向一个目录时，Login.ini、驱动和日志都到那里去找，\n"
     "而不在宿主程序（和 cardhost）旁边找；用于在 java 或 python3 下运行的\n"
     "宿主程序。"},
    {Message::kPurposeVersion, "the version number (86)", "版本号（86）"},
    {Message::kPurposeIcCardNumber,
     "the IC card number (card reader, or Login.ini's virtual card)",
     "IC 卡卡号（读卡器，或 Login.ini 的虚拟卡）"},
    {Message::kPurposeMagneticCardNumber, "the card number of a 37-character magnetic track",
     "37 个字符的磁道中的卡号"},
    {Message::kPurposeCardInformation, "the IC card information line", "IC 卡信息行"},
    {Message::kPurposeInactive, "inactive: answers 0", "未启用：返回 0"},

    {Message::kLogUsage, "usage: cardhost --log [N], N a number of lines (1 to 999999)",
     "用法：cardhost --log [N]，N 为行数（1 到 999999）"},
    {Message::kLanguageUsage, "usage: --lang zh (Chinese) or --lang en (English)",
     "用法：--lang zh（中文）或 --lang en（英文）"},
    {Message::kUnknownOption, "unknown option %1 (see cardhost --help)",
     "未知选项 %1（见 cardhost --help）"},
    {Message::kNoExportCalled, "%1 has no export called %2 (see cardhost --help)",
     "%1 没有名为 %2 的导出函数（见 cardhost --help）"},
    {Message::kExportUsage, "usage: cardhost %1", "用法：cardhost %1"},
    {Message::kCannotLoad, "cannot load %1: %2", "无法加载 %1：%2"},
    {Message::kLogged, "logged: %1", "日志：%1"},
    {Message::kNothingLoggedTodayIn, "nothing logged today: %1", "今天没有日志记录：%1"},
    {Message::kNoSuchExport, "%1 has no export %2: it is not the %1 this tool belongs to",
     "%1 没有导出函数 %2：它不是与本工具配套的 %1"},
    {Message::kReturned, "%1 returned %2", "%1 返回 %2"},
    {Message::kReturnedFailed, "%1 returned %2 (failed: %3 logs the reason)",
     "%1 返回 %2（失败：原因见 %3 的日志）"},
    {Message::kReturnedInactive, "%1 returned %2 (an inactive entry point: it does nothing)",
     "%1 返回 %2（未启用的入口：什么也不做）"},
    {Message::kResultText, "  %1: %2", "  %1：%2"},
    {Message::kNotSet, "(not set)", "（未设置）"},
    {Message::kCardNumberFourth, "card number (4th argument)", "卡号（第 4 个参数）"},
    {Message::kCardNumberFifth, "card number (5th argument)", "卡号（第 5 个参数）"},
    {Message::kCardNumberSixth, "card number (6th argument)", "卡号（第 6 个参数）"},
    {Message::kCardInformationThird, "card information (3rd argument)", "卡信息（第 3 个参数）"},
    {Message::kStatusFourth, "status (4th argument)", "状态（第 4 个参数）"},

    {Message::kCheckHeading, "cardhost --check: the files beside %1",
     "cardhost --check：检查 %1 中的文件"},
    {Message::kLabelResult, "result", "结果"},
    {Message::kLabelLogDirectory, "log directory", "日志目录"},
    {Message::kLabelTodaysLog, "today's log", "今天的日志"},
    {Message::kNoProblems, "no problems found", "未发现问题"},
    {Message::kProblems, "%1 problem(s) found", "发现 %1 个问题"},
    {Message::kNoVersionResource, "no version resource", "没有版本信息"},
    {Message::kFileVersion, "file version %1", "文件版本 %1"},
    {Message::kFileVersionDescribed, "file version %1, %2", "文件版本 %1，%2"},
    {Message::kFile, "file %1", "文件 %1"},
    {Message::kSystemCannotLoad, "the system cannot load it: %1", "系统无法加载它：%1"},
    {Message::kSystemError, "error %1, %2", "错误 %1，%2"},
    {Message::kHomeNotSet, "not set: the files beside the host program are used",
     "未设置：使用宿主程序旁边的文件"},
    {Message::kHomeUsed, "= %1: the files there are used", "= %1：使用那里的文件"},
    {Message::kHomeEmpty, "= %1: empty, IGNORED", "= %1：为空，已忽略"},
    {Message::kHomeNotAbsolute, "= %1: not an absolute path, IGNORED",
     "= %1：不是绝对路径，已忽略"},
    {Message::kHomeNotADirectory, "= %1: no such directory, IGNORED", "= %1：没有这个目录，已忽略"},
    {Message::kHomeInstead, "the files beside the host program are used instead",
     "改为使用宿主程序旁边的文件"},
    {Message::kLibraryNotFound, "NOT FOUND: the host cannot load it", "未找到：宿主程序无法加载它"},
    {Message::kFoundBut, "found, but %1", "已找到，但%1"},
    {Message::kNotTheLibrary, "it has no QTZ_DLL_BBH: not %1", "它没有 QTZ_DLL_BBH：不是 %1"},
    {Message::kLibraryAnswers, "found, QTZ_DLL_BBH answers %1", "已找到，QTZ_DLL_BBH 返回 %1"},
    {Message::kDriverNotFound, "NOT FOUND: QTZ_DKH and SBK_YKT_ICGETINFO cannot read cards",
     "未找到：QTZ_DKH 和 SBK_YKT_ICGETINFO 无法读卡"},
    {Message::kDriverWithoutRead, "it does NOT export iReadCardBas: not the card reader's driver",
     "它没有导出 iReadCardBas：不是读卡器的驱动"},
    {Message::kDriverReads, "found, exports iReadCardBas", "已找到，导出了 iReadCardBas"},
    {Message::kLoginIniMissing, "not found: the virtual card is off, cards are read",
     "未找到：虚拟卡关闭，读取实际的卡"},
    {Message::kFound, "found", "已找到"},
    {Message::kRealCardNotSet, "not set: the virtual card is off, cards are read",
     "未设置：虚拟卡关闭，读取实际的卡"},
    {Message::kRealCardOff, "= %1: the virtual card is off, cards are read",
     "= %1：虚拟卡关闭，读取实际的卡"},
    {Message::kRealCardOn, "= %1: the virtual card is ON", "= %1：虚拟卡已打开"},
    {Message::kCurrentNotSet, "not set: QTZ_DKH fails and logs 虚拟读卡[CURRENT]节点不存在",
     "未设置：QTZ_DKH 会失败，并记录“虚拟读卡[CURRENT]节点不存在”"},
    {Message::kNumberNotSet, "not set: QTZ_DKH fails and logs 虚拟读卡[%1]号IC卡设置有错误",
     "未设置：QTZ_DKH 会失败，并记录“虚拟读卡[%1]号IC卡设置有错误”"},
    {Message::kVirtualCardNote,
     "NOTE: QTZ_DKH answers this number for every patient without reading\n"
     "the card; set REALCARD = false on a registration PC",
     "注意：QTZ_DKH 不读卡，对每位病人都返回这个卡号；\n"
     "挂号电脑上请设置 REALCARD = false"},
    {Message::kLogNotCreated, "not created yet: %1 creates it when a host loads it",
     "尚未创建：宿主程序加载 %1 时会创建它"},
    {Message::kLogCannotBeCreated,
     "cannot be created: %1 writes no log (a file named Log in\n"
     "the way? no permission to write in the host directory?)",
     "无法创建：%1 不会写日志（是否有名为 Log 的文件挡住？\n"
     "是否没有宿主目录的写权限？）"},
    {Message::kLogCreatedNow, "created just now, as cardhost loaded %1",
     "刚刚创建（cardhost 加载 %1 时）"},
    {Message::kNothingLoggedToday, "nothing logged today", "今天没有日志记录"},
    {Message::kLogLines, "%1 line(s); cardhost --log shows the last ones",
     "%1 行；cardhost --log 可显示最后几行"},
};

constexpr std::size_t kMessageCount = static_cast<std::size_t>(Message::kCount);
static_assert(sizeof kTexts / sizeof kTexts[0] == kMessageCount,
              "every message has its line in the table");

constexpr bool InOrder() {
  for (std::size_t i = 0; i < kMessageCount; ++i) {
    if (static_cast<std::size_t>(kTexts[i].message) != i) return false;
  }
  return true;
}
static_assert(InOrder(), "the table lists the messages in their order");

Language g_language = Language::kEnglish;

}  // namespace

void UseLanguage(Language language) { g_language = language; }

std::string Say(Message message, std::initializer_list<std::string> values) {
  return Say(g_language, message, values);
}

std::string Say(Language language, Message message, std::initializer_list<std::string> values) {
  const std::size_t index = static_cast<std::size_t>(message);
  if (index >= kMessageCount) return std::string();
  const Translation& text = kTexts[index];
  const std::string pattern = language == Language::kChinese ? text.chinese : text.english;

  std::string result;
  for (std::size_t at = 0; at < pattern.size(); ++at) {
    const char digit = at + 1 < pattern.size() ? pattern[at + 1] : '\0';
    const std::size_t number = static_cast<std::size_t>(digit - '0');
    if (pattern[at] == '%' && digit >= '1' && digit <= '9' && number <= values.size()) {
      result += values.begin()[number - 1];
      ++at;
    } else {
      result += pattern[at];
    }
  }
  return result;
}

}  // namespace cardhost
