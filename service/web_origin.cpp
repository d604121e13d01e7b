#include "service/web_origin.h"

#include <cctype>

namespace service {
namespace {

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::nullopt_t Refuse(std::string* why, const char* reason) {
  if (why != nullptr) *why = reason;
  return std::nullopt;
}

bool AllDigits(const std::string& text) {
  if (text.empty() || text.size() > 5) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> NormalizeOrigin(const std::string& origin, std::string* why) {
  const std::string::size_type schemeEnd = origin.find("://");
  if (schemeEnd == std::string::npos) return Refuse(why, "缺少 http:// 或 https://");
  const std::string scheme = Lowered(origin.substr(0, schemeEnd));
  if (scheme != "http" && scheme != "https") return Refuse(why, "只能是 http 或 https 网页");
  const std::string rest = origin.substr(schemeEnd + 3);
  for (char c : rest) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '*')
      return Refuse(why, "浏览器发送的来源是一个确切的主机名，通配符永远不会匹配，请逐一列出");
    if (c == '/' || c == '?' || c == '#') {
      return Refuse(why, "浏览器发送的来源不含路径，带路径的写法永远不会匹配");
    }
    if (c == '@') return Refuse(why, "来源不含用户名");
    if (byte <= ' ' || byte >= 0x7F) {
      return Refuse(why, "含空白或非 ASCII 字符（中文域名请写成 xn-- 形式）");
    }
  }
  // host, or [IPv6], then an optional :port
  std::string::size_type hostEnd = rest.size();
  if (!rest.empty() && rest[0] == '[') {
    hostEnd = rest.find(']');
    if (hostEnd == std::string::npos) return Refuse(why, "IPv6 地址缺少 ]");
    ++hostEnd;
  } else {
    const std::string::size_type colon = rest.find(':');
    if (colon != std::string::npos) hostEnd = colon;
  }
  const std::string host = Lowered(rest.substr(0, hostEnd));
  if (host.empty() || host == "[]") return Refuse(why, "缺少主机名");
  std::string port;
  if (hostEnd < rest.size()) {
    if (rest[hostEnd] != ':') return Refuse(why, "主机名之后只能是 :端口");
    port = rest.substr(hostEnd + 1);
    // As browsers write it: no leading zero.
    if (!AllDigits(port) || port[0] == '0' || std::stoi(port) > 65535) {
      return Refuse(why, "端口不是 1 到 65535 之间的数");
    }
    if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) port.clear();
  }
  return scheme + "://" + host + (port.empty() ? "" : ":" + port);
}

}  // namespace service
