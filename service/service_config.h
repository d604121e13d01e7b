#pragma once
// cardservice.ini: the [service] section that says where the card service
// listens, which web origins may call it, how long a card call may take and
// whether it reads cards from a folder that others than the administrators
// can change.
#include <string>
#include <vector>

#include "config/ini_reader.h"
#include "service/messages.h"

namespace service {

constexpr int kDefaultPort = 18086;
constexpr int kDefaultTimeoutSeconds = 30;

struct ServiceConfig {
  int port = kDefaultPort;           // 0: the system chooses
  std::vector<std::string> origins;  // exact origins, e.g. "https://his.example"
  int timeoutSeconds = kDefaultTimeoutSeconds;
  // writabledesk = serve: cards are read even when the service's folder or
  // its files can be changed by ordinary users (the warning stays); refuse,
  // the default, refuses every read then.
  bool serveWritableDesk = false;
};

// A port number, 0 to 65535, as plain decimal digits: the one reading of a
// port, from the command line and from the configuration file.
bool ParsePort(const std::string& text, int& port);

// Fills config from the section's port, origins, timeout and writabledesk
// (missing keys keep their defaults). For a value that cannot be used:
// kConfigPort, kConfigTimeout, kConfigWritableDesk or kConfigOrigin with the
// value (UTF-8), config unchanged from that key on.
Failure ParseServiceConfig(const config::IniSection& section, ServiceConfig& config);

// The origins of an origins value, separated by commas (cardservice.ini) or
// blanks (an installer's property): each trimmed, empty ones dropped, a
// trailing "/" removed, each in the form browsers send (lower case, no
// default port). kConfigOrigin, with the entry as written and why, for one
// that is not scheme://host[:port] and so could never match (a wildcard, a
// path).
Failure ParseOrigins(const std::string& value, std::vector<std::string>& origins);

// Reads [service] of the file at path into config. A missing file keeps the
// defaults (found is then false). A wrong value: ParseServiceConfig's
// failure, with the file's path (UTF-8).
Failure ReadServiceConfig(const std::string& path, ServiceConfig& config, bool& found);

}  // namespace service
