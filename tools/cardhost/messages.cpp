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
     "       cardhost --check [DIR] [--json] [--utf8] [--lang zh|en]\n"
     "       cardhost --log [N] [--utf8] [--lang zh|en]\n"
     "\n"
     "Run it in the host program's directory, beside readcard.dll: it loads\n"
     "readcard.dll, SSCardDriver.dll and Login.ini from its own directory, as\n"
     "the host does.\n"
     "\n"
     "EXPORT calls that export of readcard.dll (in any case; TRACK is the 37\n"
     "characters a swipe gives, e.g. cardhost CK_DKH 123456780000123456=009633791987654321)\n"
     "and prints its return value and result texts, and what the call wrote to\n"
     "the log (unused arguments are 0):",
     "用法：cardhost 导出函数 [磁道] [--utf8] [--lang zh|en]\n"
     "      cardhost --check [目录] [--json] [--utf8] [--lang zh|en]\n"
     "      cardhost --log [N] [--utf8] [--lang zh|en]\n"
     "\n"
     "请在宿主程序的目录中、readcard.dll 旁边运行：它像宿主程序一样，从自己\n"
     "所在的目录加载 readcard.dll、SSCardDriver.dll 和 Login.ini。\n"
     "\n"
     "“导出函数”调用 readcard.dll 的这个导出函数（大小写均可；磁道为刷卡得到的\n"
     "37 个字符，例如 cardhost CK_DKH 123456780000123456=009633791987654321），\n"
     "显示它的返回值、结果文本，以及这次调用写入日志的内容（不用的参数为 0）："},
    {Message::kUsageTail,
     "\n"
     "  --check [DIR]  rates the desk in DIR (default: beside cardhost): readcard.dll,\n"
     "            SSCardDriver.dll (iReadCardBas, 32-bit, not the simulator),\n"
     "            Login.ini's virtual card ([MAIN] REALCARD, [QTZH] CURRENT) and\n"
     "            whether the log can be written; each a warning or an error with\n"
     "            what to do; --json prints the same as JSON (UTF-8)\n"
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
     "problem; 1 the export answered -1, the check gave warnings, no log today;\n"
     "2 wrong usage, the check found errors; 3 readcard.dll could not be loaded.",
     "\n"
     "  --check [目录]  检查目录（默认为 cardhost 所在目录）中的读卡环境：\n"
     "            readcard.dll、SSCardDriver.dll（iReadCardBas、32 位、不是模拟驱动）、\n"
     "            Login.ini 的虚拟卡设置（[MAIN] REALCARD、[QTZH] CURRENT）以及日志\n"
     "            能否写入；每一项给出警告或错误和处理办法；--json 以 JSON（UTF-8）输出\n"
     "  --log [N] 显示今天日志的最后 N 行（默认 20 行），\n"
     "            Log\\readcard\\qtz-YYYY-MM-DD.log\n"
     "  --utf8    输出到文件或管道时：把文本从 ANSI 代码页（GBK）转换为 UTF-8\n"
     "            （控制台不需要它也能正确显示）\n"
     "  --lang zh|en  用中文或英文回答（不加时：按系统界面的语言）\n"
     "  --help    本说明\n"
     "\n"
     "退出码：0 函数返回 0（或版本号），检查未发现问题；1 函数返回 -1，检查\n"
     "有警告，今天没有日志；2 用法错误，检查有错误；3 无法加载 readcard.dll。"},
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
    {Message::kPurposeIcCardNumber, "the IC card number (card reader, or Login.ini's virtual card)",
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
    {Message::kIsolationDefault, "not set: the card driver runs %1", "未设置：读卡驱动%1"},
    {Message::kIsolationSet, "= \"%1\": the card driver runs %2", "= \"%1\"：读卡驱动%2"},
    {Message::kRunsInHostProcess, "in the host's process", "在宿主程序的进程中运行"},
    {Message::kRunsInDriverHost, "in %1, a process of its own", "在单独的进程 %1 中运行"},
    {Message::kIsolationBadValue, "= \"%1\" CANNOT BE USED: each read logs it and uses %2",
     "= \"%1\" 无法使用：每次读卡都会记入日志，并按 %2 处理"},
    {Message::kDriverHostNotUsed, "not used (isolation=none)", "不使用（isolation=none）"},
    {Message::kDriverHostStarts, "found, starts and answers: %1", "已找到，能启动并应答：%1"},
    {Message::kDriverHostMissing, "NOT FOUND beside the library: %1: every IC card read fails",
     "在动态库旁边未找到：%1：每次读 IC 卡都会失败"},
    {Message::kDriverHostDoesNotStart, "found, but DOES NOT START (%1): every IC card read fails",
     "已找到，但无法启动（%1）：每次读 IC 卡都会失败"},

    {Message::kRatedWarning, "WARNING: %1", "警告：%1"},
    {Message::kRatedError, "ERROR: %1", "错误：%1"},
    {Message::kAdvice, "what to do: %1", "处理办法：%1"},
    {Message::kResultWarnings, "%1 warning(s): cards can be read, but see what to do above",
     "%1 个警告：可以读卡，但请按上面的处理办法检查"},
    {Message::kResultErrors, "%1 error(s), %2 warning(s): cards cannot be read as they should",
     "%1 个错误，%2 个警告：不能正常读卡"},
    {Message::kCheckNoDirectory, "cardhost --check: %1 is not a directory",
     "cardhost --check：%1 不是一个目录"},
    {Message::kAdviceCopyLibrary, "copy %1 of the release into this directory",
     "把发布包中的 %1 复制到这个目录"},
    {Message::kAdviceVendorDriver,
     "install the card reader vendor's 32-bit SSCardDriver.dll in this directory",
     "把读卡器厂家的 32 位 SSCardDriver.dll 放到这个目录"},
    {Message::kAdviceVendorDriverNative, "install the card reader vendor's %1 in this directory",
     "把读卡器厂家的 %1 放到这个目录"},
    {Message::kDriverSimulated,
     "it is the SIMULATED driver for tests and demos: every read answers made-up data",
     "这是用于测试和演示的模拟驱动：读到的都是假数据"},
    {Message::kDriverDecorated,
     "it exports %1 only under the decorated name %2, which the library does not look up",
     "它只以修饰名 %2 导出 %1，读卡库找不到它"},
    {Message::kAdviceDecorated,
     "ask the vendor for a driver that exports iReadCardBas under that plain name (built with "
     "a .def file)",
     "请厂家提供以 iReadCardBas 这个名字导出的驱动（用 .def 文件生成）"},
    {Message::kDriverOtherCase, "it exports %2, not %1: the name must match in case",
     "它导出的是 %2，不是 %1：名字的大小写必须一致"},
    {Message::kNotThirtyTwoBit,
     "it is built for another processor (machine 0x%1; 8664 is 64-bit): a 32-bit host cannot "
     "load it",
     "它是为别的处理器生成的（machine 0x%1；8664 为 64 位）：32 位的宿主程序无法加载它"},
    {Message::kNotADll, "it is not a Windows DLL (a damaged or wrongly built file)",
     "它不是 Windows DLL（文件损坏或生成有误）"},
    {Message::kMissingModule, "it needs %1, which the system does not find",
     "它需要的 %1，系统找不到"},
    {Message::kAdviceMissingModule,
     "install what the driver needs (the vendor's setup program, or the runtime DLL named "
     "above) and check again",
     "安装驱动所需的文件（厂家的安装程序，或上面列出的运行库 DLL），再检查一次"},
    {Message::kAdviceRealCard,
     "set REALCARD = false in Login.ini's [MAIN] on a registration PC: while it is on, every "
     "patient gets the same number",
     "挂号电脑上请在 Login.ini 的 [MAIN] 中设置 REALCARD = false：打开时每位病人都得到同一个卡号"},
    {Message::kAdviceVirtualNumber,
     "set REALCARD = false, or give [QTZH] CURRENT and the number it names",
     "设置 REALCARD = false，或者设置 [QTZH] CURRENT 和它指向的卡号"},
    {Message::kLogNotWritable, "cannot be written: %1 loses the reason of every failure",
     "无法写入：%1 每次失败的原因都记不下来"},
    {Message::kAdviceLogWritable, "give the PC's users write permission on %1",
     "请给本机的用户 %1 的写权限"},
    {Message::kAdviceHome, "set READCARD_HOME to a directory that exists, or remove it",
     "把 READCARD_HOME 设为一个存在的目录，或者删除它"},
    {Message::kArgumentTrack, "TRACK", "磁道"},
    {Message::kExportUsageWithTrack,
     "usage: cardhost %1 %2, for example cardhost %1 123456780000123456=009633791987654321",
     "用法：cardhost %1 %2，例如 cardhost %1 123456780000123456=009633791987654321"},
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
