#pragma once
// cardservice.ini: the [service] section that says where the card service
// listens, which web origins may call it and how long a card call may take.
#include <string>
#include <vector>

#include "config/ini_reader.h"

namespace service {

constexpr int kDefaultPort = 18086;
constexpr int kDefaultTimeoutSeconds = 30;

struct ServiceConfig {
  int port = kDefaultPort;  // 0: the system chooses
  std::vector<std::string> origins;  // exact origins, e.g. "https://his.example"
  int timeoutSeconds = kDefaultTimeoutSeconds;
};

// Fills config from the section's port, origins and timeout (missing keys
// keep their defaults). False, with error saying which key and why in
// Chinese, for a value that cannot be used.
bool ParseServiceConfig(const IniSection& section, ServiceConfig& config, std::string& error);

// The comma-separated origins of an origins value: each trimmed, empty ones
// dropped, a trailing "/" removed. False, with error, for an entry that is
// not scheme://host[:port].
bool ParseOrigins(const std::string& value, std::vector<std::string>& origins, std::string& error);

// Reads [service] of the file at path into config. A missing file keeps the
// defaults (found is then false); error as for ParseServiceConfig.
bool ReadServiceConfig(const std::string& path, ServiceConfig& config, bool& found,
                       std::string& error);

}  // namespace service
