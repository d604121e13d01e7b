#include "service/command_line.h"

#include <cctype>

namespace service {

bool ParseCommandLine(const std::vector<std::string>& arguments, CommandLine& line,
                      std::string& error) {
  line = CommandLine{};
  bool modeGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--config" || argument == "--port") {
      if (!hasValue) {
        error = argument + " 后面缺少值";
        return false;
      }
      const std::string& value = arguments[++i];
      if (argument == "--config") {
        line.configPath = value;
        continue;
      }
      bool digits = !value.empty() && value.size() <= 5;
      for (char c : value) digits = digits && std::isdigit(static_cast<unsigned char>(c));
      if (!digits || std::stoi(value) > 65535) {
        error = "--port 的值 \"" + value + "\" 不是 0 到 65535 之间的端口号";
        return false;
      }
      line.port = std::stoi(value);
      continue;
    }
    ProgramMode mode;
    if (argument == "--worker") {
      mode = ProgramMode::Worker;
    } else if (argument == "--install") {
      mode = ProgramMode::Install;
    } else if (argument == "--uninstall") {
      mode = ProgramMode::Uninstall;
    } else if (argument == "--service") {
      mode = ProgramMode::Service;
    } else if (argument == "--help" || argument == "-h" || argument == "/?") {
      mode = ProgramMode::Help;
    } else {
      error = "不认识的参数 \"" + argument + "\"";
      return false;
    }
    if (modeGiven) {
      error = "只能给出一个运行方式（" + argument + "）";
      return false;
    }
    modeGiven = true;
    line.mode = mode;
  }
  return true;
}

std::string Usage() {
  return "用法: cardservice [--config 配置文件] [--port 端口]\n"
         "      cardservice --install [--config 配置文件] [--port 端口]   注册为 Windows 服务\n"
         "      cardservice --uninstall                                  删除 Windows 服务\n"
         "本机读卡服务：在 http://127.0.0.1:端口 上应答网页的读卡请求。\n";
}

}  // namespace service
