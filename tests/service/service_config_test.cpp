// cardservice.ini's [service] section and the command line.
#include <gtest/gtest.h>

#include "config/text_lines.h"
#include "service/command_line.h"
#include "service/service_config.h"
#include "tests/support/scratch_directory.h"

namespace service {
namespace {

IniSection SectionOf(const std::string& text) {
  config::TextLines lines(config::StringBytes(text));
  IniSection section;
  config::ParseIniSection(lines, section, "service");
  return section;
}

TEST(ServiceConfig, ReadsPortOriginsAndTimeout) {
  struct Case {
    const char* name;
    std::string ini;
    int port;
    std::vector<std::string> origins;
    int timeout;
  };
  const std::vector<Case> cases = {
      {"empty", "", kDefaultPort, {}, kDefaultTimeoutSeconds},
      {"other section only", "[other]\nport=1\n", kDefaultPort, {}, kDefaultTimeoutSeconds},
      {"all keys",
       "[service]\r\nport = 18090\r\norigins = https://his.hospital.example, http://10.1.2.3:8080\r\n"
       "timeout = 5\r\n",
       18090, {"https://his.hospital.example", "http://10.1.2.3:8080"}, 5},
      {"empty entries and a trailing slash", "[service]\norigins=,https://a.example/ ,, \n",
       kDefaultPort, {"https://a.example"}, kDefaultTimeoutSeconds},
      {"port 0 lets the system choose", "[service]\nport=0\n", 0, {}, kDefaultTimeoutSeconds},
      {"comment after a value", "[service]\ntimeout=60 # a slow reader\n", kDefaultPort, {}, 60},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ServiceConfig config;
    std::string error;
    ASSERT_TRUE(ParseServiceConfig(SectionOf(c.ini), config, error)) << error;
    EXPECT_EQ(config.port, c.port);
    EXPECT_EQ(config.origins, c.origins);
    EXPECT_EQ(config.timeoutSeconds, c.timeout);
  }
}

TEST(ServiceConfig, RefusesValuesItCannotUseNamingTheKey) {
  struct Case {
    std::string ini;
    const char* key;
  };
  for (const Case& c : std::vector<Case>{{"[service]\nport=65536\n", "port"},
                                         {"[service]\nport=-1\n", "port"},
                                         {"[service]\nport=80a\n", "port"},
                                         {"[service]\nport=\n", "port"},
                                         {"[service]\ntimeout=0\n", "timeout"},
                                         {"[service]\ntimeout=3601\n", "timeout"},
                                         {"[service]\ntimeout=ten\n", "timeout"},
                                         {"[service]\norigins=his.hospital.example\n", "origins"},
                                         {"[service]\norigins=ftp://a.example\n", "origins"},
                                         {"[service]\norigins=https://a.example/page\n", "origins"},
                                         {"[service]\norigins=https://a b.example\n", "origins"},
                                         {"[service]\norigins=https://\n", "origins"}}) {
    SCOPED_TRACE(c.ini);
    ServiceConfig config;
    std::string error;
    EXPECT_FALSE(ParseServiceConfig(SectionOf(c.ini), config, error));
    EXPECT_NE(error.find(c.key), std::string::npos) << error;
  }
}

TEST(ServiceConfig, AMissingFileKeepsTheDefaults) {
  testing_support::ScratchDirectory directory;
  ServiceConfig config;
  bool found = true;
  std::string error;
  EXPECT_TRUE(ReadServiceConfig(directory.File("cardservice.ini"), config, found, error));
  EXPECT_FALSE(found);
  EXPECT_EQ(config.port, kDefaultPort);

  const std::string path =
      directory.Write("cardservice.ini", "[service]\nport=x\n");
  EXPECT_FALSE(ReadServiceConfig(path, config, found, error));
  EXPECT_TRUE(found);
  EXPECT_NE(error.find("cardservice.ini"), std::string::npos) << error;
}

TEST(CommandLine, ParsesModesAndOptions) {
  struct Case {
    std::vector<std::string> arguments;
    ProgramMode mode;
    std::string config;
    std::optional<int> port;
  };
  const std::vector<Case> cases = {
      {{}, ProgramMode::Foreground, "", std::nullopt},
      {{"--port", "0"}, ProgramMode::Foreground, "", 0},
      {{"--config", "C:\\desk\\a.ini", "--port", "18090"}, ProgramMode::Foreground,
       "C:\\desk\\a.ini", 18090},
      {{"--worker"}, ProgramMode::Worker, "", std::nullopt},
      {{"--install", "--port", "18090"}, ProgramMode::Install, "", 18090},
      {{"--uninstall"}, ProgramMode::Uninstall, "", std::nullopt},
      {{"--service", "--config", "x.ini"}, ProgramMode::Service, "x.ini", std::nullopt},
      {{"--help"}, ProgramMode::Help, "", std::nullopt},
  };
  for (const Case& c : cases) {
    CommandLine line;
    std::string error;
    ASSERT_TRUE(ParseCommandLine(c.arguments, line, error)) << error;
    EXPECT_EQ(line.mode, c.mode);
    EXPECT_EQ(line.configPath, c.config);
    EXPECT_EQ(line.port, c.port);
  }
}

TEST(CommandLine, RefusesWhatItDoesNotKnow) {
  for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
           {"--port"}, {"--port", "65536"}, {"--port", "-1"}, {"--port", "x"}, {"--config"},
           {"--bogus"}, {"port"}, {"--install", "--uninstall"}, {"--worker", "--worker"}}) {
    CommandLine line;
    std::string error;
    EXPECT_FALSE(ParseCommandLine(arguments, line, error)) << arguments.front();
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace service
