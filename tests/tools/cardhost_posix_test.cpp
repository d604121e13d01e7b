// cardhost on a Linux desk, as IT staff run it: copied into a directory of
// its own with libreadcard.so.86 (or finding the installed one through the
// loader), the desk's files beside it or in READCARD_HOME, its printed
// answers read back from its output.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <iconv.h>

#include <optional>

#include <string>
#include <vector>

#include "logger/day_log.h"
#include "tests/support/child_process.h"
#include "tests/support/files.h"
#include "tests/support/scratch_directory.h"

namespace {

using testing_support::EnvironmentChanges;
using testing_support::ProgramRun;
using testing_support::ScratchDirectory;

// Head 12345678, card number 0000123456, tail 87654321: check code 0096337919.
const char kGoodTrack[] = "123456780000123456=009633791987654321";

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The first printed line that starts with label; "" when there is none.
std::string LineAbout(const ProgramRun& run, const std::string& label) {
  for (const std::string& line : logger::SplitLines(run.output)) {
    if (line.compare(0, label.size(), label) == 0) return line;
  }
  return std::string();
}

// Whether this system's C library converts GBK (a cross root run under
// qemu-user may lack the conversion modules that every desk's libc6 has).
bool ConvertsGbk() {
  iconv_t converter = iconv_open("UTF-8", "GBK");
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(converter);
  return true;
}

// What --utf8 shows of text: text itself where GBK converts, else a notice.
std::string ShownInUtf8(const std::string& text) {
  return ConvertsGbk() ? text : std::string("cannot convert GBK to UTF-8");
}

// The cross build's emulator (qemu-user), items separated by '|'; none natively.
std::vector<std::string> Emulator() {
  std::vector<std::string> command;
  const std::string text = CHILD_EMULATOR;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    command.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return command;
}

class CardhostOnLinux : public ::testing::Test {
 protected:
  void SetUp() override {
    m_cardhost = m_programDirectory.Copy(CARDHOST_PROGRAM, "cardhost");
    ASSERT_EQ(chmod(m_cardhost.c_str(), 0755), 0);
  }

  void InstallLibrary() { m_programDirectory.Copy(READCARD_LIBRARY, "libreadcard.so.86"); }

  // Runs cardhost from its directory, READCARD_HOME unset unless given, in
  // English unless the locale given asks otherwise.
  ProgramRun Run(std::vector<std::string> arguments,
                 EnvironmentChanges environment = EnvironmentChanges()) {
    environment.insert(environment.begin(), {"READCARD_HOME", std::nullopt});
    environment.insert(environment.begin(), {"LD_LIBRARY_PATH", std::nullopt});
    for (const char* locale : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
      environment.insert(environment.begin(), {locale, std::nullopt});
    }
    std::vector<std::string> command = Emulator();
    command.push_back(m_cardhost);
    command.insert(command.end(), arguments.begin(), arguments.end());
    const std::string program = command.front();
    command.erase(command.begin());
    return testing_support::RunProgram(program, command, m_programDirectory.path(), environment);
  }

  ScratchDirectory m_programDirectory;
  std::string m_cardhost;
};

TEST_F(CardhostOnLinux, HelpNamesTheLinuxFiles) {
  ProgramRun run = Run({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* name : {"libreadcard.so.86", "libSSCardDriver.so", "Log/readcard/qtz-",
                           "READCARD_HOME", "CK_DKH TRACK", "--check", "--log [N]", "--utf8"}) {
    EXPECT_TRUE(Contains(run.output, name)) << name << "\n" << run.output;
  }
  for (const char* windowsName : {"readcard.dll", "SSCardDriver.dll", "Log\\readcard"}) {
    EXPECT_FALSE(Contains(run.output, windowsName)) << windowsName << "\n" << run.output;
  }
}

TEST_F(CardhostOnLinux, CallsExportsAndShowsWhatTheyLogged) {
  InstallLibrary();
  ProgramRun version = Run({"QTZ_DLL_BBH"});
  EXPECT_EQ(version.exitCode, 0) << version.output;
  EXPECT_EQ(LineAbout(version, "QTZ_DLL_BBH"), "QTZ_DLL_BBH returned 86");

  ProgramRun magnetic = Run({"CK_DKH", kGoodTrack});
  EXPECT_EQ(magnetic.exitCode, 0) << magnetic.output;
  EXPECT_EQ(LineAbout(magnetic, "  card number"), "  card number (4th argument): 0000123456");
  EXPECT_EQ(LineAbout(magnetic, "logged:"), "") << "a successful call logs nothing";

  ProgramRun failed = Run({"CK_DKH", "1234"});
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_TRUE(Contains(LineAbout(failed, "logged: ["), "[Error]\t磁卡号长度不正常"))
      << "GBK bytes as the log holds them:\n"
      << failed.output;
  ProgramRun utf8 = Run({"--log", "1", "--utf8"});
  EXPECT_EQ(utf8.exitCode, 0);
  EXPECT_TRUE(Contains(utf8.output, ShownInUtf8(u8"[Error]\t磁卡号长度不正常\n"))) << utf8.output;

  const std::string log =
      testing_support::ReadBytes(logger::TodayLogPath(m_programDirectory.path()));
  EXPECT_TRUE(Contains(log, "磁卡号长度不正常\n")) << "the log beside the host program";
  EXPECT_FALSE(Contains(log, "\r")) << "Linux log lines end in LF alone";
}

TEST_F(CardhostOnLinux, ReadsTheIcCardWithTheDeskInReadcardHome) {
  InstallLibrary();
  ScratchDirectory desk;
  desk.Copy(SIMULATED_DRIVER, "libSSCardDriver.so");
  desk.Write("SSCardDriver.txt", "0\nA|B|C|D|张三|F|G|H|I\n");
  const EnvironmentChanges home = {{"READCARD_HOME", desk.path()}};

  ProgramRun number = Run({"QTZ_DKH"}, home);
  EXPECT_EQ(number.exitCode, 0) << number.output;
  EXPECT_EQ(LineAbout(number, "  card number (5th"), "  card number (5th argument): C");
  ProgramRun info = Run({"SBK_YKT_ICGETINFO", "--utf8"}, home);
  EXPECT_EQ(info.exitCode, 0) << info.output;
  EXPECT_TRUE(Contains(info.output, ShownInUtf8(u8"  card information (3rd argument): "
                                                u8"A#H#2#C#01#B#张三######D#\n")))
      << info.output;

  desk.Write("Login.ini", "[MAIN]\nREALCARD=TRUE\n[QTZH]\nCURRENT=2\n2=0000654321\n");
  ProgramRun virtualCard = Run({"QTZ_DKH"}, home);
  EXPECT_EQ(LineAbout(virtualCard, "  card number (5th"),
            "  card number (5th argument): 0000654321")
      << "Login.ini is read from READCARD_HOME:\n"
      << virtualCard.output;

  desk.Write("SSCardDriver.txt", "-3\nNOCARD");
  ProgramRun failed = Run({"SBK_YKT_ICGETINFO"}, home);
  EXPECT_EQ(failed.exitCode, 1);
  EXPECT_TRUE(Contains(testing_support::ReadBytes(logger::TodayLogPath(desk.path())), "NOCARD"))
      << "the log goes to READCARD_HOME";
  EXPECT_FALSE(testing_support::IsDirectory(m_programDirectory.path() + "Log"))
      << "and nothing to the program's directory";
}

TEST_F(CardhostOnLinux, CheckTellsWhatReadcardHomeDoes) {
  InstallLibrary();
  ScratchDirectory desk;
  desk.Copy(SIMULATED_DRIVER, "libSSCardDriver.so");
  const struct {
    std::optional<std::string> home;
    const char* told;
    const char* result;  // the driver is missing beside the program
    int exitCode;
  } cases[] = {
      {std::nullopt, "not set: the files beside the host program are used",
       "1 error(s), 0 warning(s)", 2},
      // the simulated driver there is a warning
      {desk.path(), ": the files there are used", "1 warning(s)", 1},
      {std::string(), "empty, IGNORED", "1 error(s), 1 warning(s)", 2},
      {std::string("desk"), "not an absolute path, IGNORED", "1 error(s), 1 warning(s)", 2},
      {desk.path() + "missing", "no such directory, IGNORED", "1 error(s), 1 warning(s)", 2},
  };
  for (const auto& c : cases) {
    ProgramRun run = Run({"--check"}, {{"READCARD_HOME", c.home}});
    const std::string shown = c.home.value_or("(unset)");
    EXPECT_TRUE(Contains(LineAbout(run, "READCARD_HOME"), c.told)) << shown << "\n" << run.output;
    EXPECT_TRUE(Contains(LineAbout(run, "result"), c.result)) << shown << "\n" << run.output;
    EXPECT_EQ(run.exitCode, c.exitCode) << shown;
  }
  ProgramRun used = Run({"--check"}, {{"READCARD_HOME", desk.path()}});
  EXPECT_TRUE(Contains(used.output, "cardhost --check: the files beside " + desk.path()));
  EXPECT_TRUE(Contains(LineAbout(used, "libSSCardDriver.so"), "exports iReadCardBas"));
  EXPECT_TRUE(Contains(LineAbout(used, "log directory"), desk.path() + "Log/readcard/"));
}

TEST_F(CardhostOnLinux, CheckTellsADriverWithoutTheReadFunction) {
  InstallLibrary();
  m_programDirectory.Copy(NO_READ_DRIVER, "libSSCardDriver.so");
  ProgramRun run = Run({"--check"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_TRUE(Contains(LineAbout(run, "libSSCardDriver.so"), "does NOT export iReadCardBas"))
      << run.output;
}

// readcard.ini's setting, and the driver host beside the library: missing,
// not a program, or there and answering. The simulated driver on the desk is
// a warning (exit 1) in every case; a driver host that cannot serve is an
// error (exit 2).
TEST_F(CardhostOnLinux, CheckTellsWhereTheDriverRuns) {
  if (!Emulator().empty()) {
    // cardhost starts the driver host itself, without the emulator, and
    // qemu-user has no binfmt_misc to hand it on.
    GTEST_SKIP() << "the driver host cannot start under qemu-user (no binfmt_misc)";
  }
  struct Case {
    const char* name;
    const char* readcardIni;  // nullptr: none
    const char* driverHost;   // "copy", "garbage" or nullptr: none
    int exitCode;
    const char* isolationLine;
    const char* driverHostLine;
  };
  const Case cases[] = {
      {"no readcard.ini", nullptr, "copy", 1, "not set: the card driver runs in the host's process",
       "not used (isolation=none)"},
      {"isolation none", "[driver]\nisolation=None\n", nullptr, 1,
       "= \"None\": the card driver runs in the host's process", "not used"},
      {"isolation process", "[driver]\nisolation=process\n", "copy", 1,
       "= \"process\": the card driver runs in readcard-driverhost, a process of its own",
       "found, starts and answers"},
      {"no driver host", "[driver]\nisolation=process\n", nullptr, 2, "a process of its own",
       "NOT FOUND beside the library"},
      {"not a program", "[driver]\nisolation=process\n", "garbage", 2, "a process of its own",
       "DOES NOT START (errno"},
      {"a value it cannot use", "[driver]\nisolation=always\n", nullptr, 2,
       "= \"always\" CANNOT BE USED: each read logs it and uses none", "not used"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_programDirectory.Copy(READCARD_LIBRARY, "libreadcard.so.86");
    m_programDirectory.Copy(SIMULATED_DRIVER, "libSSCardDriver.so");
    const std::string ini = m_programDirectory.path() + "readcard.ini";
    const std::string host = m_programDirectory.path() + "readcard-driverhost";
    std::remove(ini.c_str());
    std::remove(host.c_str());
    if (c.readcardIni != nullptr) m_programDirectory.Write("readcard.ini", c.readcardIni);
    if (c.driverHost != nullptr) {
      if (std::string(c.driverHost) == "copy") {
        m_programDirectory.Copy(DRIVER_HOST_PROGRAM, "readcard-driverhost");
      } else {
        m_programDirectory.Write("readcard-driverhost", "not a program");
      }
      ASSERT_EQ(chmod(host.c_str(), 0755), 0);
    }
    ProgramRun run = Run({"--check"});
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_TRUE(Contains(LineAbout(run, "  [driver] isolation"), c.isolationLine)) << run.output;
    EXPECT_TRUE(Contains(LineAbout(run, "readcard-driverhost"), c.driverHostLine)) << run.output;
  }
}

TEST_F(CardhostOnLinux, FindsAnInstalledLibraryThroughTheLoader) {
  ProgramRun missing = Run({"--check"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_TRUE(Contains(LineAbout(missing, "libreadcard.so.86"), "NOT FOUND")) << missing.output;
  ProgramRun cannotCall = Run({"QTZ_DLL_BBH"});
  EXPECT_EQ(cannotCall.exitCode, 3);
  EXPECT_TRUE(Contains(cannotCall.output, "cannot load libreadcard.so.86")) << cannotCall.output;

  // Where the loader looks, as for a library installed in /usr/lib.
  const EnvironmentChanges loaderPath = {{"LD_LIBRARY_PATH", READCARD_LIBRARY_DIRECTORY}};
  ProgramRun found = Run({"--check"}, loaderPath);
  EXPECT_TRUE(Contains(LineAbout(found, "libreadcard.so.86"), "found, QTZ_DLL_BBH answers 86"))
      << found.output;
  EXPECT_TRUE(Contains(found.output, std::string("file ") + READCARD_LIBRARY)) << found.output;
  EXPECT_EQ(Run({"QTZ_DLL_BBH"}, loaderPath).exitCode, 0);
}

TEST_F(CardhostOnLinux, AnswersInTheLanguageOfTheLocaleOrTheOption) {
  InstallLibrary();
  // Compared as cardhost writes them to a pipe, in the library's own
  // character set (so no conversion module is needed, as under qemu-user).
  const std::string chinese = "QTZ_DLL_BBH 返回 86";
  const std::string english = "QTZ_DLL_BBH returned 86";
  const struct {
    EnvironmentChanges locale;
    std::vector<std::string> arguments;
    const std::string& answer;
  } cases[] = {
      {{}, {"QTZ_DLL_BBH"}, english},
      {{{"LANG", "zh_CN.UTF-8"}}, {"QTZ_DLL_BBH"}, chinese},
      {{{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "zh_CN.UTF-8"}}, {"QTZ_DLL_BBH"}, chinese},
      {{{"LANG", "zh_CN.UTF-8"}, {"LC_ALL", "C"}}, {"QTZ_DLL_BBH"}, english},
      {{{"LANG", "zh_CN.UTF-8"}}, {"QTZ_DLL_BBH", "--lang", "en"}, english},
      {{}, {"--lang=zh", "QTZ_DLL_BBH"}, chinese},
  };
  for (const auto& c : cases) {
    ProgramRun run = Run(c.arguments, c.locale);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(LineAbout(run, "QTZ_DLL_BBH"), c.answer) << run.output;
  }
  ProgramRun wrong = Run({"--lang", "de", "QTZ_DLL_BBH"});
  EXPECT_EQ(wrong.exitCode, 2);
  EXPECT_TRUE(Contains(wrong.output, "--lang zh")) << wrong.output;

  ProgramRun check = Run({"--check"}, {{"LANG", "zh_CN.UTF-8"}});
  EXPECT_TRUE(Contains(LineAbout(check, "libreadcard.so.86"), "已找到，QTZ_DLL_BBH 返回 86"))
      << check.output;
  EXPECT_TRUE(Contains(LineAbout(check, "日志目录"), "Log/readcard/")) << check.output;
}

}  // namespace
