#include "service/service_main.h"

#include <csignal>
#include <cstdio>

#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>

#include "driver/card_driver.h"
#include "service/desk_report.h"
#include "service/http_server.h"
#include "service/request_handler.h"
#include "service/service_config.h"
#include "service/service_log.h"
#include "service/system_text.h"
#include "text/executable_path.h"
#include "text/module_directory.h"

namespace service {
namespace {

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : ", ") + text;
  return joined.empty() ? "(无)" : joined;
}

}  // namespace

int RunService(const CommandLine& line, const CardCallsFactory& startCards,
               const std::function<void(StopFunction)>& listening) {
  const std::string directory = GetModuleDirectory();
  const std::string configPath =
      line.configPath.empty() ? directory + "cardservice.ini" : line.configPath;
  ServiceLog log(directory, line.mode == ProgramMode::Foreground);

  ServiceConfig config;
  bool configFound = false;
  std::string error;
  if (!ReadServiceConfig(configPath, config, configFound, error)) {
    std::fprintf(stderr, "%s\n",
                 ConsoleText("cardservice: 配置文件有误: " + SystemTextToUtf8(error)).c_str());
    log.Write("未启动：配置文件有误: " + SystemTextToUtf8(error));
    return 2;
  }
  if (line.port) config.port = *line.port;

  boost::asio::io_context loop;
  HttpServer server(loop, [&log](const std::string& text) { log.Write(text); }, ServerLimits{});
  if (!server.Listen(static_cast<unsigned short>(config.port), error)) {
    std::fprintf(stderr, "%s\n",
                 ConsoleText("cardservice: 无法在 127.0.0.1:" + std::to_string(config.port) +
                             " 上监听（端口已被占用？）: " + SystemTextToUtf8(error))
                     .c_str());
    log.Write("未启动：无法在 127.0.0.1:" + std::to_string(config.port) +
              " 上监听: " + SystemTextToUtf8(error));
    return 1;
  }
  const unsigned short port = server.Port();

  WorkerSettings settings;
  settings.program = text::ExecutablePath();
  settings.directory = directory;
  settings.timeoutSeconds = config.timeoutSeconds;
  settings.log = [&log](const std::string& text) { log.Write(text); };
  std::unique_ptr<CardCalls> cards = startCards(loop, std::move(settings));
  CardCalls& calls = *cards;

  ServiceState state;
  state.busy = [&calls] { return calls.Busy(); };
  state.version = [&calls] { return calls.Version(); };
  state.desk = [&calls, &config, directory] {
    DeskFacts facts = GatherDeskFacts(directory, READCARD_LIBRARY_FILE, driver::kCardDriverFile);
    facts.version = calls.Version();
    facts.origins = config.origins;
    return DeskJson(facts, SystemTextToUtf8);
  };
  auto handler = std::make_shared<const RequestHandler>(AccessPolicy{port, config.origins},
                                                        std::move(state));
  server.Serve(handler, calls);

  boost::asio::signal_set signals(loop, SIGINT, SIGTERM);
#ifdef SIGBREAK
  signals.add(SIGBREAK);
#endif
  auto stop = [&loop, &server, &log](const std::string& why) {
    log.Write("停止：" + why);
    server.Stop();
    loop.stop();
  };
  signals.async_wait([&stop](const boost::system::error_code& error, int number) {
    if (!error) stop("收到信号 " + std::to_string(number));
  });

  log.Write("启动：监听 http://127.0.0.1:" + std::to_string(port) + "，允许的来源 " +
            Joined(config.origins) + "，读卡超时 " + std::to_string(config.timeoutSeconds) +
            " 秒，配置文件 " + SystemTextToUtf8(configPath) + (configFound ? "" : "（未找到，用默认值）"));
  std::printf("cardservice: listening on http://127.0.0.1:%u\n", static_cast<unsigned>(port));
  std::fflush(stdout);
  if (listening) {
    listening([&loop, &stop] {
      boost::asio::post(loop, [&stop] { stop("服务管理器要求停止"); });
    });
  }
  loop.run();
  return 0;
}

}  // namespace service
