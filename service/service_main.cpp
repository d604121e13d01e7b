#include "service/service_main.h"

#include <csignal>
#include <ctime>
#include <cstdio>

#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>

#include "driver/card_driver.h"
#include "service/desk_report.h"
#include "service/event_log.h"
#include "service/http_server.h"
#include "service/library_location.h"
#include "service/machine_settings.h"
#include "service/messages.h"
#include "service/request_handler.h"
#include "service/service_config.h"
#include "service/service_log.h"
#include "service/service_manager.h"
#include "service/system_text.h"
#include "service/writable_desk.h"
#include "host/executable_path.h"
#include "host/host_directory.h"

namespace service {
namespace {

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : ", ") + text;
  return joined.empty() ? Say(Words::kNoOrigins) : joined;
}

// Why the service did not start: on the console in its language, in the log.
int NotStarted(ServiceLog& log, const Failure& failure, int exitCode) {
  std::fprintf(stderr, "%s\n",
               ConsoleText(Say(ConsoleLanguage(), Words::kNotStartedConsole,
                               {Say(ConsoleLanguage(), failure)}))
                   .c_str());
  const std::string line = Say(Words::kNotStartedLog, {Say(failure)});
  log.Write(line, LogLevel::Error, false);
  WriteEvent(EventId::NotStarted, line);
  return exitCode;
}

}  // namespace

int RunService(const CommandLine& line, const CardCallsFactory& startCards,
               const std::function<void(StopFunction)>& listening) {
  const std::string directory = host::HostDirectory();
  const std::string configPath =
      line.configPath.empty() ? directory + "cardservice.ini" : line.configPath;
  ServiceLog log(directory, line.mode == ProgramMode::Foreground);

  ServiceConfig config;
  bool configFound = false;
  // What an installer kept for the machine overrides the ini.
  config::IniSection machine;
  Failure wrong = ReadServiceConfig(configPath, config, configFound);
  if (!wrong && ReadMachineSettings(machine)) {
    wrong = ParseServiceConfig(machine, config);
    if (wrong) wrong.file = std::string("HKLM\\") + kMachineSettingsKey;
  }
  if (wrong) return NotStarted(log, wrong, kExitWrongConfig);
  if (line.port) config.port = *line.port;

  boost::asio::io_context loop;
  // Before the worker starts: it takes systemd's variables out of the
  // environment that the worker inherits.
  ServiceManagerLink manager(loop);
  // The server logs only refusals.
  HttpServer server(
      loop, [&log](const std::string& text) { log.Write(text, LogLevel::Warning); },
      ServerLimits{});
  if (const Failure failed = server.Listen(static_cast<unsigned short>(config.port))) {
    return NotStarted(log, failed, kExitCannotListen);
  }
  const unsigned short port = server.Port();

  WorkerSettings settings;
  settings.program = host::ExecutablePath();
  settings.directory = directory;
  settings.timeoutSeconds = config.timeoutSeconds;
  settings.log = [&log](const std::string& text) { log.Write(text, LogLevel::Notice); };
  settings.failed = [](const std::string& text) { WriteEvent(EventId::WorkerEnded, text); };
  std::unique_ptr<CardCalls> cards = startCards(loop, std::move(settings));
  CardCalls& calls = *cards;

  ServiceState state;
  state.busy = [&calls] { return calls.Busy(); };
  state.version = [&calls] { return calls.Version(); };
  state.timeoutSeconds = config.timeoutSeconds;
  const std::string programDirectory =
      host::DirectoryOf(host::ExecutablePath(), host::kPathSeparator, host::IsLeadByte);
  const std::vector<std::string> writableBy = WritableDesk(configPath);
  state.refuseReads = !writableBy.empty() && !config.serveWritableDesk;
  state.desk = [&calls, &config, directory, programDirectory, writableBy](bool detail) {
    DeskFacts facts = GatherDeskFacts(directory, READCARD_LIBRARY_FILE, driver::kCardDriverFile);
    facts.version = calls.Version();
    // Natively the library is not the desk's: show where the worker finds
    // it (a file beside the program, or one the loader found by name).
    const std::string library = CardLibraryLocation(programDirectory);
    if (library != directory + READCARD_LIBRARY_FILE) {
      facts.library = DeskFile{library, IsLibraryPath(library) || facts.version >= 0};
    }
    facts.origins = config.origins;
    facts.writableBy = writableBy;
    facts.servesWritableDesk = config.serveWritableDesk;
    return DeskJson(facts, SystemTextToUtf8, LocalTextToUtf8, detail);
  };
  auto handler =
      std::make_shared<const RequestHandler>(AccessPolicy{port, config.origins}, std::move(state));
  server.Serve(handler, calls);
  RefusalEvents refusals;
  server.ReportRefusals([&refusals](const std::string& sender, const std::string& line) {
    const std::string event = refusals.Admit(sender, line, std::time(nullptr));
    if (!event.empty()) WriteEvent(EventId::Refused, event);
  });

  boost::asio::signal_set signals(loop, SIGINT, SIGTERM);
#ifdef SIGBREAK
  signals.add(SIGBREAK);
#endif
  auto stop = [&loop, &server, &log, &manager](const std::string& why) {
    manager.Stopping();
    const std::string stopped = Say(Words::kStopped, {why});
    log.Write(stopped);
    WriteEvent(EventId::Stopped, stopped);
    server.Stop();
    loop.stop();
  };
  signals.async_wait([&stop](const boost::system::error_code& error, int number) {
    if (!error) stop(Say(Words::kStopSignal, {std::to_string(number)}));
  });

  std::string notes = configFound ? "" : Say(Words::kConfigMissingNote);
  if (!machine.empty()) notes += Say(Words::kMachineSettingsNote, {kMachineSettingsKey});
  const std::string started = Say(Words::kStartedLog, {std::to_string(port), Joined(config.origins),
                                                       std::to_string(config.timeoutSeconds),
                                                       LocalTextToUtf8(configPath), notes});
  log.Write(started);
  WriteEvent(EventId::Started, started);
  if (!writableBy.empty()) {
    const std::string exposed = WritableDeskLine(writableBy, config.serveWritableDesk);
    log.Write(exposed, LogLevel::Error);
    WriteEvent(EventId::DeskWritable, exposed);
  }
  std::printf("%s\n", Say(Words::kListening, {std::to_string(port)}).c_str());
  std::fflush(stdout);
  manager.Ready(Say(Words::kManagerStatus, {std::to_string(port)}));
  if (listening) {
    listening(
        [&loop, &stop] { boost::asio::post(loop, [&stop] { stop(Say(Words::kStopByManager)); }); });
  }
  loop.run();
  // The stop function refers to this frame: it is taken back before it goes.
  if (listening) listening(StopFunction());
  return kExitStopped;
}

}  // namespace service
