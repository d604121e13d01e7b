#include "service/web_origin.h"

#include <cctype>

#include "service/messages.h"

namespace service {
namespace {

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::nullopt_t Refuse(std::string* why, Words reason) {
  if (why != nullptr) *why = Say(reason);
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
  if (schemeEnd == std::string::npos) return Refuse(why, Words::kOriginNoScheme);
  const std::string scheme = Lowered(origin.substr(0, schemeEnd));
  if (scheme != "http" && scheme != "https") return Refuse(why, Words::kOriginNotWeb);
  const std::string rest = origin.substr(schemeEnd + 3);
  for (char c : rest) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '*') return Refuse(why, Words::kOriginWildcard);
    if (c == '/' || c == '?' || c == '#') {
      return Refuse(why, Words::kOriginPath);
    }
    if (c == '@') return Refuse(why, Words::kOriginUser);
    if (byte <= ' ' || byte >= 0x7F) {
      return Refuse(why, Words::kOriginBlankOrNonAscii);
    }
  }
  // host, or [IPv6], then an optional :port
  std::string::size_type hostEnd = rest.size();
  if (!rest.empty() && rest[0] == '[') {
    hostEnd = rest.find(']');
    if (hostEnd == std::string::npos) return Refuse(why, Words::kOriginOpenBracket);
    ++hostEnd;
  } else {
    const std::string::size_type colon = rest.find(':');
    if (colon != std::string::npos) hostEnd = colon;
  }
  const std::string host = Lowered(rest.substr(0, hostEnd));
  if (host.empty() || host == "[]") return Refuse(why, Words::kOriginNoHost);
  std::string port;
  if (hostEnd < rest.size()) {
    if (rest[hostEnd] != ':') return Refuse(why, Words::kOriginAfterHost);
    port = rest.substr(hostEnd + 1);
    // As browsers write it: no leading zero.
    if (!AllDigits(port) || port[0] == '0' || std::stoi(port) > 65535) {
      return Refuse(why, Words::kOriginPort);
    }
    if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) port.clear();
  }
  return scheme + "://" + host + (port.empty() ? "" : ":" + port);
}

}  // namespace service
