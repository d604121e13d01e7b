#include "tools/cardhost/isolation_check.h"

#include "config/ini_reader.h"
#include "config/readcard_ini.h"
#include "driver/driver_host_client.h"
#include "driver/driver_host_process.h"
#include "driver/driver_host_protocol.h"
#include "tools/cardhost/messages.h"

namespace cardhost {

namespace {

const char kIsolationLabel[] = "  [driver] isolation";
const char kTimeoutLabel[] = "  [driver] timeout";

std::string Place(config::Isolation isolation) {
  return isolation == config::Isolation::kProcess
             ? Say(Message::kRunsInDriverHost, {driver::kDriverHostFile})
             : Say(Message::kRunsInHostProcess);
}

// Starts the driver host and has it try a driver file that does not exist:
// a round trip that reads no card. "" when it answered; else why not.
std::string TryDriverHost(const std::string& program, const std::string& directory) {
  driver::DriverHostProcess::StartFailure failure;
  std::unique_ptr<driver::DriverHostProcess> process =
      driver::DriverHostProcess::Start(program, failure);
  if (!process) return failure.detail;
  driver::protocol::Request request;
  request.driverPath = directory + "cardhost-check-no-such-driver";
  request.record.assign(driver::protocol::kRecordSize, '\0');
  std::string answer;
  const auto exchanged = process->Exchange(driver::protocol::EncodeRequest(request),
                                           driver::protocol::kAnswerSize, 10000, answer);
  if (exchanged == driver::DriverHostProcess::Exchanged::kAnswered &&
      driver::protocol::DecodeAnswer(answer)) {
    return "";
  }
  if (exchanged == driver::DriverHostProcess::Exchanged::kTimedOut) {
    process->Kill();
    return "no answer in 10 s";
  }
  return process->HowItEnded();
}

}  // namespace

std::vector<IsolationFinding> CheckIsolation(const std::string& directory,
                                             const std::string& libraryDirectory) {
  std::vector<IsolationFinding> items;
  const std::string path = directory + config::kReadcardIniFile;
  const config::DriverSettings settings = config::ReadDriverSettings(path);
  config::IniSection section;
  config::ReadIniSection(path, section, "driver");
  const bool isolationSet = section.count("isolation") != 0;
  bool isolationNamed = false;
  for (const config::DriverSettings::Problem& problem : settings.problems) {
    items.push_back({problem.key == "isolation" ? kIsolationLabel : kTimeoutLabel,
                     Say(Message::kIsolationBadValue, {problem.value, problem.usedInstead}), true});
    isolationNamed = isolationNamed || problem.key == "isolation";
  }
  if (!isolationNamed) {
    const std::string text =
        isolationSet
            ? Say(Message::kIsolationSet, {section["isolation"], Place(settings.isolation)})
            : Say(Message::kIsolationDefault, {Place(settings.isolation)});
    items.insert(items.begin(), {kIsolationLabel, text, false});
  }
  if (settings.isolation == config::Isolation::kNone) {
    items.push_back({driver::kDriverHostFile, Say(Message::kDriverHostNotUsed), false});
    return items;
  }
  std::string program = libraryDirectory + driver::kDriverHostFile;
#ifndef _WIN32
  const std::string packaged = libraryDirectory + "readcard/" + driver::kDriverHostFile;
  if (!driver::ProgramFileExists(program) && driver::ProgramFileExists(packaged)) {
    program = packaged;
  }
#endif
  if (!driver::ProgramFileExists(program)) {
    items.push_back({driver::kDriverHostFile, Say(Message::kDriverHostMissing, {program}), true});
    return items;
  }
  const std::string trouble = TryDriverHost(program, directory);
  if (trouble.empty()) {
    items.push_back({driver::kDriverHostFile, Say(Message::kDriverHostStarts, {program}), false});
  } else {
    items.push_back(
        {driver::kDriverHostFile, Say(Message::kDriverHostDoesNotStart, {trouble}), true});
  }
  return items;
}

}  // namespace cardhost
