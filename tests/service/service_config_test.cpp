// cardservice.ini's [service] section and the command line.
#include <gtest/gtest.h>

#include "config/text_lines.h"
#include "service/command_line.h"
#include "service/service_config.h"
#include "tests/support/scratch_directory.h"

namespace service {
namespace {

config::IniSection SectionOf(const std::string& text) {
  config::TextLines lines(config::StringBytes(text));
  config::IniSection section;
  config::ParseIniSection(lines, section, "service");
  return section;
}

TEST(ServiceConfig, ReadsPortOriginsTimeoutAndWritableDesk) {
  struct Case {
    const char* name;
    std::string ini;
    int port;
    std::vector<std::string> origins;
    int timeout;
    bool serveWritableDesk = false;
  };
  const std::vector<Case> cases = {
      {"empty", "", kDefaultPort, {}, kDefaultTimeoutSeconds},
      {"other section only", "[other]\nport=1\n", kDefaultPort, {}, kDefaultTimeoutSeconds},
      {"all keys",
       "[service]\r\nport = 18090\r\norigins = https://his.hospital.example, "
       "http://10.1.2.3:8080\r\n"
       "timeout = 5\r\nwritabledesk = serve\r\n",
       18090,
       {"https://his.hospital.example", "http://10.1.2.3:8080"},
       5,
       true},
      {"refuse is the default, said",
       "[service]\nwritabledesk=refuse\n",
       kDefaultPort,
       {},
       kDefaultTimeoutSeconds,
       false},
      {"empty entries and a trailing slash",
       "[service]\norigins=,https://a.example/ ,, \n",
       kDefaultPort,
       {"https://a.example"},
       kDefaultTimeoutSeconds},
      {"origins as browsers send them: lower case, no default port",
       "[service]\norigins=HTTPS://HIS.Example:443, http://Desk.Example:80, "
       "https://a.example:8443\n",
       kDefaultPort,
       {"https://his.example", "http://desk.example", "https://a.example:8443"},
       kDefaultTimeoutSeconds},
      {"port 0 lets the system choose", "[service]\nport=0\n", 0, {}, kDefaultTimeoutSeconds},
      {"comment after a value", "[service]\ntimeout=60 # a slow reader\n", kDefaultPort, {}, 60},
      {"blanks between origins, as an installer's property gives them",
       "[service]\norigins=https://a.example  http://10.1.2.3:8080\thttps://b.example\n",
       kDefaultPort,
       {"https://a.example", "http://10.1.2.3:8080", "https://b.example"},
       kDefaultTimeoutSeconds},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ServiceConfig config;
    const Failure failure = ParseServiceConfig(SectionOf(c.ini), config);
    ASSERT_FALSE(failure) << Say(failure);
    EXPECT_EQ(config.port, c.port);
    EXPECT_EQ(config.origins, c.origins);
    EXPECT_EQ(config.timeoutSeconds, c.timeout);
    EXPECT_EQ(config.serveWritableDesk, c.serveWritableDesk);
  }
}

TEST(ServiceConfig, RefusesValuesItCannotUseNamingTheKey) {
  struct Case {
    std::string ini;
    Words code;
    const char* value;
  };
  for (const Case& c : std::vector<Case>{
           {"[service]\nport=65536\n", Words::kConfigPort, "65536"},
           {"[service]\nport=-1\n", Words::kConfigPort, "-1"},
           {"[service]\nport=80a\n", Words::kConfigPort, "80a"},
           {"[service]\nport=\n", Words::kConfigPort, ""},
           {"[service]\ntimeout=0\n", Words::kConfigTimeout, "0"},
           {"[service]\ntimeout=3601\n", Words::kConfigTimeout, "3601"},
           {"[service]\ntimeout=ten\n", Words::kConfigTimeout, "ten"},
           {"[service]\nwritabledesk=yes\n", Words::kConfigWritableDesk, "yes"},
           {"[service]\norigins=his.hospital.example\n", Words::kConfigOrigin,
            "his.hospital.example"},
           {"[service]\norigins=ftp://a.example\n", Words::kConfigOrigin, "ftp://a.example"},
           {"[service]\norigins=https://a.example/page/\n", Words::kConfigOrigin,
            "https://a.example/page/"},
           // blanks separate origins: the half without a scheme is the one refused
           {"[service]\norigins=https://a b.example\n", Words::kConfigOrigin, "b.example"},
           {"[service]\norigins=https://ok.example, https://\n", Words::kConfigOrigin, "https://"},
           {"[service]\norigins=https://\xD2\xBD\xD4\xBA\n", Words::kConfigOrigin, nullptr},
           // never sent by a browser, so never matched
           {"[service]\norigins=https://*.hospital.example\n", Words::kConfigOrigin,
            "https://*.hospital.example"},
           {"[service]\norigins=*\n", Words::kConfigOrigin, "*"},
           {"[service]\norigins=https://a.example:0443\n", Words::kConfigOrigin,
            "https://a.example:0443"},
           {"[service]\norigins=https://a.example:65536\n", Words::kConfigOrigin,
            "https://a.example:65536"},
           {"[service]\norigins=https://a.example:\n", Words::kConfigOrigin,
            "https://a.example:"}}) {
    SCOPED_TRACE(c.ini);
    ServiceConfig config;
    const Failure failure = ParseServiceConfig(SectionOf(c.ini), config);
    EXPECT_EQ(failure.code, c.code);
    if (c.value != nullptr) {
      EXPECT_EQ(failure.value, c.value);
    }
    EXPECT_TRUE(failure.file.empty());
  }
}

TEST(ServiceConfig, AMissingFileKeepsTheDefaults) {
  testing_support::ScratchDirectory directory;
  ServiceConfig config;
  bool found = true;
  EXPECT_FALSE(ReadServiceConfig(directory.File("cardservice.ini"), config, found));
  EXPECT_FALSE(found);
  EXPECT_EQ(config.port, kDefaultPort);

  const std::string path = directory.Write("cardservice.ini", "[service]\nport=x\n");
  const Failure failure = ReadServiceConfig(path, config, found);
  EXPECT_TRUE(found);
  EXPECT_EQ(failure.code, Words::kConfigPort);
  EXPECT_EQ(failure.file, path) << "an ASCII path as it is";
}

TEST(CommandLine, ParsesModesAndOptions) {
  struct Case {
    std::vector<std::string> arguments;
    ProgramMode mode;
    std::string config;
    std::optional<int> port;
    std::vector<std::pair<std::string, std::string>> settings = {};
    bool keepSettings = false;
  };
  const std::vector<Case> cases = {
      {{}, ProgramMode::Foreground, "", std::nullopt},
      {{"--port", "0"}, ProgramMode::Foreground, "", 0},
      {{"--config", "C:\\desk\\a.ini", "--port", "18090"},
       ProgramMode::Foreground,
       "C:\\desk\\a.ini",
       18090},
      {{"--worker"}, ProgramMode::Worker, "", std::nullopt},
      {{"--install", "--port", "18090"}, ProgramMode::Install, "", 18090},
      {{"--uninstall"}, ProgramMode::Uninstall, "", std::nullopt},
      {{"--service", "--config", "x.ini"}, ProgramMode::Service, "x.ini", std::nullopt},
      {{"--help"}, ProgramMode::Help, "", std::nullopt},
      {{"--install", "--set", "port=18090", "--set", "origins= "},
       ProgramMode::Install,
       "",
       std::nullopt,
       {{"port", "18090"}, {"origins", ""}}},
      {{"--set", "driverdir=C:\\drv\\ ", "--install"},
       ProgramMode::Install,
       "",
       std::nullopt,
       {{"driverdir", "C:\\drv\\"}}},
      {{"--uninstall", "--keep-settings"}, ProgramMode::Uninstall, "", std::nullopt, {}, true},
  };
  for (const Case& c : cases) {
    CommandLine line;
    const Failure failure = ParseCommandLine(c.arguments, line);
    ASSERT_FALSE(failure) << Say(failure);
    EXPECT_EQ(line.mode, c.mode);
    EXPECT_EQ(line.configPath, c.config);
    EXPECT_EQ(line.port, c.port);
    EXPECT_EQ(line.settings, c.settings);
    EXPECT_EQ(line.keepSettings, c.keepSettings);
  }
}

TEST(CommandLine, RefusesWhatItDoesNotKnow) {
  struct Case {
    std::vector<std::string> arguments;
    Words code;
  };
  for (const Case& c : std::vector<Case>{{{"--port"}, Words::kValueMissing},
                                         {{"--port", "65536"}, Words::kPortOption},
                                         {{"--port", "-1"}, Words::kPortOption},
                                         {{"--port", "x"}, Words::kPortOption},
                                         {{"--config"}, Words::kValueMissing},
                                         {{"--bogus"}, Words::kUnknownArgument},
                                         {{"port"}, Words::kUnknownArgument},
                                         {{"--install", "--uninstall"}, Words::kOneMode},
                                         {{"--worker", "--worker"}, Words::kOneMode},
                                         {{"--install", "--set"}, Words::kSetForm},
                                         {{"--install", "--set", "port"}, Words::kSetForm},
                                         {{"--install", "--set", "=1"}, Words::kSetForm},
                                         {{"--set", "port=1"}, Words::kOnlyWith},
                                         {{"--keep-settings"}, Words::kOnlyWith},
                                         {{"--install", "--keep-settings"}, Words::kOnlyWith}}) {
    CommandLine line;
    EXPECT_EQ(ParseCommandLine(c.arguments, line).code, c.code) << c.arguments.front();
  }
}

}  // namespace
}  // namespace service
