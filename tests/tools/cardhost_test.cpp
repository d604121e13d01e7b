// cardhost.exe as IT staff run it on a registration PC: copied into a host
// directory of its own with readcard.dll, with or without the driver and
// Login.ini, its printed answers read back from its standard output.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "pe_image.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"
#include "logger/day_log.h"

namespace {

using testing_support::ProgramRun;

// Head 12345678, card number 0000123456, tail 87654321: check code 0096337919.
const char kGoodTrack[] = "123456780000123456=009633791987654321";

std::vector<std::string> LinesOf(const ProgramRun& run) { return logger::SplitLines(run.output); }

// The first printed line that starts with label; "" when there is none.
std::string LineAbout(const ProgramRun& run, const std::string& label) {
  for (const std::string& line : LinesOf(run)) {
    if (line.compare(0, label.size(), label) == 0) return line;
  }
  return std::string();
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class Cardhost : public ::testing::Test {
 protected:
  void SetUp() override { m_cardhost = Install("cardhost.exe"); }

  // Copies a file of the build directory into the scratch host directory.
  std::string Install(const std::string& name, const std::string& as = std::string()) {
    return m_directory.Copy(host::ProgramDirectory() + name, as.empty() ? name : as);
  }

  // Runs cardhost in English: the tests read its English texts, and this
  // Wine's user interface is Chinese.
  ProgramRun Run(const std::string& arguments) { return RunAsIs(arguments + " --lang en"); }

  // Runs cardhost with these arguments alone.
  ProgramRun RunAsIs(const std::string& arguments) {
    return testing_support::RunProgram(m_cardhost, arguments, m_directory.path());
  }

  testing_support::ScratchDirectory m_directory;
  std::string m_cardhost;
};

TEST_F(Cardhost, HelpNamesEveryExportAndOption) {
  ProgramRun run = Run("--help");
  EXPECT_EQ(run.exitCode, 0u);
  for (const char* name :
       {"QTZ_DLL_BBH", "QTZ_DKH", "QTZ_ErrorString", "QTZ_FindWindow2", "CK_DKH TRACK", "QTZ_HSXK",
        "QTZ_YKT_JK_SD", "SBK_YKT_ICGETINFO", "SBK_YKT_ICPURCHASE", "SBK_YKT_ICTRANSLOG", "--check",
        "--log [N]", "--utf8"}) {
    EXPECT_TRUE(Contains(run.output, name)) << name;
  }
  EXPECT_EQ(Run("").exitCode, 2u) << "no command is a usage error";
}

TEST_F(Cardhost, WrongUsageIsTold) {
  Install("readcard.dll");
  const struct {
    const char* arguments;
    const char* told;
  } cases[] = {
      {"CK_DKH", "usage: cardhost CK_DKH TRACK"},    {"QTZ_DKH extra", "usage: cardhost QTZ_DKH"},
      {"QTZ_NOSUCH", "no export called QTZ_NOSUCH"}, {"--nosuch", "unknown option --nosuch"},
      {"--log 0", "usage: cardhost --log [N]"},      {"--log many", "usage: cardhost --log [N]"},
  };
  for (const auto& c : cases) {
    ProgramRun run = Run(c.arguments);
    EXPECT_EQ(run.exitCode, 2u) << c.arguments;
    EXPECT_TRUE(Contains(run.output, c.told)) << c.arguments << ":\n" << run.output;
  }
}

TEST_F(Cardhost, CallsExportsByName) {
  Install("readcard.dll");
  ProgramRun version = Run("QTZ_DLL_BBH");
  EXPECT_EQ(version.exitCode, 0u);
  EXPECT_EQ(LineAbout(version, "QTZ_DLL_BBH"), "QTZ_DLL_BBH returned 86");

  ProgramRun inactive = Run("SBK_YKT_ICPURCHASE");
  EXPECT_EQ(inactive.exitCode, 0u);
  EXPECT_TRUE(Contains(inactive.output, "SBK_YKT_ICPURCHASE returned 0")) << inactive.output;

  ProgramRun magnetic = Run(std::string("CK_DKH ") + kGoodTrack);
  EXPECT_EQ(magnetic.exitCode, 0u);
  EXPECT_EQ(LineAbout(magnetic, "CK_DKH"), "CK_DKH returned 0");
  EXPECT_EQ(LineAbout(magnetic, "  card number"), "  card number (4th argument): 0000123456");
  EXPECT_EQ(LineAbout(magnetic, "logged:"), "") << "a successful call logs nothing";
}

TEST_F(Cardhost, AFailedCallShowsWhatItLogged) {
  Install("readcard.dll");
  ProgramRun run = Run("CK_DKH 1234");
  EXPECT_EQ(run.exitCode, 1u);
  EXPECT_TRUE(Contains(LineAbout(run, "CK_DKH"), "returned -1")) << run.output;
  EXPECT_EQ(LineAbout(run, "  card number"), "  card number (4th argument): (not set)");
  const std::string logged = LineAbout(run, "logged: [");
  EXPECT_TRUE(Contains(logged, "[Error]\t磁卡号长度不正常")) << run.output;
}

TEST_F(Cardhost, ReadsTheIcCardThroughTheDriverBesideIt) {
  Install("readcard.dll");
  Install("SSCardDriver.dll");
  // The simulated driver answers what SSCardDriver.txt beside it says.
  m_directory.Write("SSCardDriver.txt", "0\nA|B|C|D|张三|F|G|H|I\n");

  ProgramRun number = Run("QTZ_DKH");
  EXPECT_EQ(number.exitCode, 0u) << number.output;
  EXPECT_EQ(LineAbout(number, "QTZ_DKH"), "QTZ_DKH returned 0");
  EXPECT_EQ(LineAbout(number, "  card number (5th"), "  card number (5th argument): C");
  EXPECT_EQ(LineAbout(number, "  card number (6th"), "  card number (6th argument): C");

  ProgramRun info = Run("SBK_YKT_ICGETINFO --utf8");
  EXPECT_EQ(info.exitCode, 0u) << info.output;
  EXPECT_EQ(LineAbout(info, "  card information"),
            u8"  card information (3rd argument): A#H#2#C#01#B#张三######D#");
  EXPECT_EQ(LineAbout(info, "  status"), "  status (4th argument): 0");

  m_directory.Write("SSCardDriver.txt", "-3\nNOCARD");
  ProgramRun failed = Run("QTZ_DKH");
  EXPECT_EQ(failed.exitCode, 1u);
  EXPECT_EQ(LineAbout(failed, "  card number (5th"), "  card number (5th argument): (not set)");
  EXPECT_TRUE(Contains(LineAbout(failed, "logged: "), "\t读卡失败,错误码:-3 错误信息NOCARD"))
      << failed.output;
}

TEST_F(Cardhost, AnswersTheVirtualCardOfLoginIni) {
  Install("readcard.dll");
  m_directory.Write("Login.ini", "[MAIN]\nREALCARD=TRUE\n[QTZH]\nCURRENT=2\n2=0000654321\n");
  ProgramRun run = Run("QTZ_DKH");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(LineAbout(run, "  card number (5th"), "  card number (5th argument): 0000654321");
}

TEST_F(Cardhost, CannotCallWithoutTheLibrary) {
  ProgramRun run = Run("QTZ_DLL_BBH");
  EXPECT_EQ(run.exitCode, 3u);
  EXPECT_TRUE(Contains(run.output, "cannot load ")) << run.output;
}

TEST_F(Cardhost, LogShowsTheLastLinesAsTheyAreOrInUtf8) {
  Install("readcard.dll");
  ProgramRun none = Run("--log");
  EXPECT_EQ(none.exitCode, 1u);
  EXPECT_TRUE(Contains(none.output, "nothing logged today")) << none.output;

  Run("CK_DKH 1234");                                   // wrong length
  Run("CK_DKH 123456780000123456=009633791987654320");  // wrong check code
  ProgramRun last = Run("--log 1");
  EXPECT_EQ(last.exitCode, 0u);
  std::vector<std::string> lines = LinesOf(last);
  ASSERT_EQ(lines.size(), 1u) << last.output;
  EXPECT_TRUE(Contains(lines[0], "\t卡号校验失败，请确认是否院内磁卡。"))
      << "GBK bytes as they are";

  std::vector<std::string> both = LinesOf(Run("--log"));
  ASSERT_EQ(both.size(), 2u);
  EXPECT_TRUE(Contains(both[0], "\t磁卡号长度不正常"));
  EXPECT_EQ(both[1], lines[0]);

  std::vector<std::string> utf8 = LinesOf(Run("--log 1 --utf8"));
  ASSERT_EQ(utf8.size(), 1u);
  EXPECT_TRUE(Contains(utf8[0], u8"\t卡号校验失败，请确认是否院内磁卡。")) << utf8[0];
  EXPECT_EQ(utf8[0].substr(0, 28), lines[0].substr(0, 28)) << "time stamp and level unchanged";
}

TEST_F(Cardhost, CheckTellsWhatIsMissing) {
  ProgramRun bare = Run("--check");
  EXPECT_EQ(bare.exitCode, 2u);
  EXPECT_TRUE(Contains(LineAbout(bare, "readcard.dll"), "NOT FOUND")) << bare.output;
  EXPECT_TRUE(Contains(LineAbout(bare, "SSCardDriver.dll"), "NOT FOUND")) << bare.output;
  EXPECT_TRUE(Contains(LineAbout(bare, "Login.ini"), "not found")) << bare.output;
  EXPECT_TRUE(Contains(bare.output, "not created yet")) << bare.output;
  EXPECT_TRUE(Contains(LineAbout(bare, "result"), "2 error(s), 0 warning(s)")) << bare.output;

  Install("readcard.dll");
  ProgramRun noDriver = Run("--check");
  EXPECT_EQ(noDriver.exitCode, 2u);
  EXPECT_TRUE(Contains(LineAbout(noDriver, "readcard.dll"), "found, QTZ_DLL_BBH answers 86"))
      << noDriver.output;
  EXPECT_TRUE(Contains(noDriver.output, "file version 86.0.0.0")) << noDriver.output;
  EXPECT_TRUE(
      Contains(LineAbout(noDriver, "log directory"), m_directory.path() + "Log\\readcard\\"))
      << noDriver.output;
  EXPECT_TRUE(Contains(LineAbout(noDriver, "result"), "1 error(s), 0 warning(s)"))
      << noDriver.output;
}

TEST_F(Cardhost, CheckTellsADriverWithoutTheReadFunction) {
  Install("readcard.dll");
  Install("SSCardDriverNoRead.dll", "SSCardDriver.dll");
  ProgramRun run = Run("--check");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_TRUE(Contains(LineAbout(run, "SSCardDriver.dll"), "does NOT export iReadCardBas"))
      << run.output;
}

TEST_F(Cardhost, CheckShowsTheDriverAndTheVirtualCard) {
  Install("readcard.dll");
  Install("SSCardDriver.dll");
  m_directory.Write("Login.ini",
                    "[MAIN]\r\nREALCARD = True\r\n[QTZH]\r\nCURRENT=2\r\n2=0000123456\r\n");
  ProgramRun run = Run("--check");
  EXPECT_EQ(run.exitCode, 1u) << run.output;
  EXPECT_TRUE(Contains(LineAbout(run, "SSCardDriver.dll"), "exports iReadCardBas")) << run.output;
  EXPECT_TRUE(Contains(run.output, "SIMULATED card driver")) << run.output;
  EXPECT_TRUE(Contains(LineAbout(run, "  [MAIN] REALCARD"), "\"True\": the virtual card is ON"))
      << run.output;
  EXPECT_TRUE(Contains(LineAbout(run, "  [QTZH] CURRENT"), "\"2\"")) << run.output;
  EXPECT_TRUE(Contains(LineAbout(run, "  [QTZH] 2"), "\"0000123456\"")) << run.output;
  EXPECT_TRUE(Contains(LineAbout(run, "result"), "2 warning(s)")) << run.output;
}

TEST_F(Cardhost, CheckTellsAVirtualCardThatIsNotConfigured) {
  Install("readcard.dll");
  Install("SSCardDriver.dll");
  m_directory.Write("Login.ini", "[MAIN]\nREALCARD=true\n[QTZH]\nCURRENT=9\n1=0000123456\n");
  ProgramRun run = Run("--check --utf8");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_TRUE(Contains(LineAbout(run, "  [QTZH] 9"), u8"虚拟读卡[9]号IC卡设置有错误"))
      << run.output;

  m_directory.Write("Login.ini", "[MAIN]\nREALCARD=true\n");
  ProgramRun noCurrent = Run("--check");
  EXPECT_EQ(noCurrent.exitCode, 2u);
  EXPECT_TRUE(Contains(LineAbout(noCurrent, "  [QTZH] CURRENT"), "虚拟读卡[CURRENT]节点不存在"))
      << "GBK without --utf8";

  m_directory.Write("Login.ini", "[MAIN]\nREALCARD=1\n");
  EXPECT_TRUE(
      Contains(LineAbout(Run("--check"), "  [MAIN] REALCARD"), "\"1\": the virtual card is off"));
}

// The desks IT meets, each rated: the item's line says warning or error and
// why, the advice says what to do, and the exit code is the worst rating.
TEST_F(Cardhost, CheckRatesEveryRiskyDesk) {
  const std::string driver = host::ProgramDirectory() + "SSCardDriver.dll";
  std::string x64 = testing_support::ReadBytes(driver);
  ASSERT_GT(x64.size(), 0x40u);
  const std::size_t pe =
      static_cast<unsigned char>(x64[0x3C]) | static_cast<unsigned char>(x64[0x3D]) << 8;
  x64[pe + 4] = '\x64';  // machine 0x8664: a 64-bit build
  x64[pe + 5] = '\x86';
  const std::string realLogin = "[MAIN]\r\nREALCARD=false\r\n";
  struct Case {
    const char* name;
    const char* driverFile;  // copied as SSCardDriver.dll; null: driverBytes
    std::string driverBytes;
    std::string loginIni;  // "" : none
    bool logBlocked;       // a file named Log where the log directory goes
    const char* label;     // the rated item's first line
    const char* rated;     // what that item's lines say
    const char* advice;    // what the advice says ("": none)
    unsigned exitCode;
  };
  const std::vector<Case> cases = {
      {"a DLL the driver imports is missing", "SSCardDriverNeedsHelper.dll", "", realLogin, false,
       "SSCardDriver.dll", "ERROR: found, but the system cannot load it: error 126",
       "install what the driver needs", 2},
      {"simulated driver", "SSCardDriver.dll", "", realLogin, false, "SSCardDriver.dll",
       "WARNING: it is the SIMULATED driver", "vendor's 32-bit SSCardDriver.dll", 1},
      {"virtual card on", "SSCardDriver.dll", "",
       "[MAIN]\r\nREALCARD=true\r\n[QTZH]\r\nCURRENT=1\r\n1=0000123456\r\n", false,
       "  [MAIN] REALCARD", "WARNING: = \"true\": the virtual card is ON",
       "every patient gets the same number", 1},
      {"log cannot be created", "SSCardDriver.dll", "", realLogin, true, "log directory",
       "ERROR: cannot be created", "write permission", 2},
      {"no iReadCardBas", "SSCardDriverNoRead.dll", "", realLogin, false, "SSCardDriver.dll",
       "ERROR: found, but it does NOT export iReadCardBas", "vendor's 32-bit", 2},
      {"decorated name only", "SSCardDriverDecorated.dll", "", realLogin, false, "SSCardDriver.dll",
       "only under the decorated name iReadCardBas@8", "built with a .def file", 2},
      {"64-bit driver", nullptr, x64, realLogin, false, "SSCardDriver.dll",
       "machine 0x8664; 8664 is 64-bit", "vendor's 32-bit", 2},
      {"not a DLL", nullptr, "MZ but nothing else", realLogin, false, "SSCardDriver.dll",
       "it is not a Windows DLL", "vendor's 32-bit", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::ScratchDirectory desk;
    desk.Copy(host::ProgramDirectory() + "cardhost.exe", "cardhost.exe");
    desk.Copy(host::ProgramDirectory() + "readcard.dll", "readcard.dll");
    if (c.driverFile != nullptr) {
      desk.Copy(host::ProgramDirectory() + c.driverFile, "SSCardDriver.dll");
    } else {
      desk.Write("SSCardDriver.dll", c.driverBytes);
    }
    if (!c.loginIni.empty()) desk.Write("Login.ini", c.loginIni);
    if (c.logBlocked) desk.Write("Log", "in the way");
    ProgramRun run =
        testing_support::RunProgram(desk.path() + "cardhost.exe", "--check --lang en", desk.path());
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    // The item's lines: from its label to the next label.
    std::string item;
    bool inItem = false;
    for (const std::string& line : LinesOf(run)) {
      if (line.compare(0, std::strlen(c.label), c.label) == 0)
        inItem = true;
      else if (inItem && !line.empty() && line[0] != ' ')
        break;
      if (inItem) item += line + "\n";
    }
    EXPECT_TRUE(Contains(item, c.rated)) << item << "\n" << run.output;
    EXPECT_TRUE(Contains(run.output, "what to do: ") && Contains(run.output, c.advice))
        << run.output;
    EXPECT_FALSE(Contains(run.output, "no problems found")) << run.output;

    // The same for fleet tools.
    ProgramRun json = testing_support::RunProgram(desk.path() + "cardhost.exe",
                                                  "--check --json --lang en", desk.path());
    EXPECT_EQ(json.exitCode, c.exitCode);
    EXPECT_TRUE(Contains(json.output, "\"exitCode\": " + std::to_string(c.exitCode)))
        << json.output;
    EXPECT_TRUE(Contains(json.output,
                         c.exitCode == 2 ? "\"rating\": \"error\"" : "\"rating\": \"warning\""))
        << json.output;
  }
}

TEST_F(Cardhost, CheckNamesTheMissingModuleAndFillsTheSystemsText) {
  Install("readcard.dll");
  Install("SSCardDriverNeedsHelper.dll", "SSCardDriver.dll");
  m_directory.Write("Login.ini", "[MAIN]\r\nREALCARD=false\r\n");
  ProgramRun missing = Run("--check");
  EXPECT_TRUE(Contains(LineAbout(missing, "SSCardDriver.dll"), "it needs SSCardDriverHelper.dll"))
      << missing.output;
  Install("SSCardDriverHelper.dll");
  ProgramRun found = Run("--check");
  EXPECT_EQ(found.exitCode, 0u) << found.output;
  EXPECT_TRUE(Contains(found.output, "no problems found")) << found.output;

  m_directory.Write("SSCardDriver.dll", "MZ but nothing else");
  ProgramRun garbage = Run("--check");
  EXPECT_FALSE(Contains(garbage.output, "%1")) << "placeholders filled:\n" << garbage.output;
  EXPECT_TRUE(Contains(garbage.output, "error 193")) << garbage.output;

  // A directory to check, as cmd passes it: quoted, without the last
  // backslash (which would escape the quote).
  const std::string given = m_directory.path().substr(0, m_directory.path().size() - 1);
  ProgramRun elsewhere =
      testing_support::RunProgram(m_cardhost, "--check \"" + given + "\" --lang en", "C:\\");
  EXPECT_TRUE(Contains(elsewhere.output, "the files beside " + m_directory.path()))
      << elsewhere.output;
  EXPECT_EQ(Run("--check C:\\no\\such\\desk").exitCode, 2u);
}

TEST_F(Cardhost, AnswersInTheLanguageAskedForOrTheSystems) {
  Install("readcard.dll");
  const char kChinese[] = "QTZ_DLL_BBH 返回 86";
  const char kEnglish[] = "QTZ_DLL_BBH returned 86";
  const struct {
    const char* arguments;
    const char* answer;
  } cases[] = {
      {"QTZ_DLL_BBH", kChinese},  // Wine's user interface here is Chinese
      {"QTZ_DLL_BBH --lang en", kEnglish},
      {"--lang EN QTZ_DLL_BBH", kEnglish},
      {"QTZ_DLL_BBH --lang=en --lang zh", kChinese},  // the last one counts
      {"qtz_dll_bbh --lang en", kEnglish},            // export names in any case
  };
  for (const auto& c : cases) {
    ProgramRun run = RunAsIs(c.arguments);
    EXPECT_EQ(run.exitCode, 0u) << c.arguments;
    EXPECT_EQ(LineAbout(run, "QTZ_DLL_BBH"), c.answer) << c.arguments << ":\n" << run.output;
  }
  for (const char* wrong : {"QTZ_DLL_BBH --lang fr", "QTZ_DLL_BBH --lang"}) {
    ProgramRun run = RunAsIs(wrong);
    EXPECT_EQ(run.exitCode, 2u) << wrong;
    EXPECT_TRUE(Contains(run.output, "--lang zh")) << wrong << ":\n" << run.output;
  }
}

TEST_F(Cardhost, AnswersEveryCommandInChinese) {
  Install("readcard.dll");
  Install("SSCardDriver.dll");
  m_directory.Write("Login.ini",
                    "[MAIN]\r\nREALCARD=true\r\n[QTZH]\r\nCURRENT=1\r\n1=0000123456\r\n");
  ProgramRun check = RunAsIs("--check --utf8");
  EXPECT_EQ(check.exitCode, 1u) << check.output;
  EXPECT_TRUE(
      Contains(check.output, u8"cardhost --check：检查 " + m_directory.path() + u8" 中的文件"))
      << check.output;
  const struct {
    const char* label;
    const char* told;
  } lines[] = {
      {"readcard.dll      ", u8"已找到，QTZ_DLL_BBH 返回 86"},
      {"SSCardDriver.dll  ", u8"已找到，导出了 iReadCardBas"},
      {"Login.ini         ", u8"已找到"},
      {"  [MAIN] REALCARD ", u8"= \"true\"：虚拟卡已打开"},
      {u8"日志目录          ", "Log\\readcard\\"},
      {u8"今天的日志        ", "qtz-"},
      {u8"结果              ", u8"2 个警告"},
  };
  for (const auto& line : lines) {
    EXPECT_TRUE(Contains(LineAbout(check, line.label), line.told)) << line.label << "\n"
                                                                   << check.output;
  }
  EXPECT_TRUE(Contains(check.output, u8"注意：QTZ_DKH 不读卡")) << check.output;
  EXPECT_FALSE(Contains(check.output, "found")) << "no English left:\n" << check.output;

  ProgramRun failed = RunAsIs("CK_DKH 1234 --utf8");
  EXPECT_EQ(failed.exitCode, 1u);
  EXPECT_EQ(LineAbout(failed, "CK_DKH"), u8"CK_DKH 返回 -1（失败：原因见 readcard.dll 的日志）");
  EXPECT_EQ(LineAbout(failed, u8"  卡号"), u8"  卡号（第 4 个参数）：（未设置）");
  EXPECT_TRUE(Contains(LineAbout(failed, u8"日志："), u8"[Error]\t磁卡号长度不正常"));

  // Without --utf8 the texts are GBK, as the log's own lines.
  ProgramRun gbk = RunAsIs("QTZ_DLL_BBH");
  EXPECT_EQ(LineAbout(gbk, "QTZ_DLL_BBH"), "QTZ_DLL_BBH 返回 86") << "GBK bytes";

  ProgramRun help = RunAsIs("--help --utf8");
  EXPECT_TRUE(Contains(help.output, u8"用法：cardhost 导出函数 [磁道]")) << help.output;
  EXPECT_FALSE(Contains(help.output, "TRACK")) << "no English placeholder:\n" << help.output;
  ProgramRun usage = RunAsIs("CK_DKH --utf8");
  EXPECT_EQ(
      LineAbout(usage, u8"用法"),
      u8"用法：cardhost CK_DKH 磁道，例如 cardhost CK_DKH 123456780000123456=009633791987654321");
  EXPECT_TRUE(Contains(help.output, "--lang zh|en")) << help.output;
}

TEST(LogLines, SplitAndKeepTheLast) {
  using V = std::vector<std::string>;
  EXPECT_EQ(logger::SplitLines(""), V{});
  EXPECT_EQ(logger::SplitLines("a\r\nb\n"), (V{"a", "b"}));
  EXPECT_EQ(logger::SplitLines("a\n\nc"), (V{"a", "", "c"}));
  EXPECT_EQ(logger::LastLines(V{"a", "b", "c"}, 2), (V{"b", "c"}));
  EXPECT_EQ(logger::LastLines(V{"a"}, 20), V{"a"});
}

}  // namespace
