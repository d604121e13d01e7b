#include "service/desk_settings.h"

#include <algorithm>
#include <set>

#include "service/service_config.h"
#include "service/system_text.h"

namespace service {

const std::vector<std::string> kDeskSettingKeys = {"port",      "origins", "timeout",
                                                   "driverdir", "hisdir",  "browserpolicy"};

const std::vector<std::string> kBrowserPolicyKeys = {
    "SOFTWARE\\Policies\\Google\\Chrome\\LoopbackNetworkAllowedForUrls",
    "SOFTWARE\\Policies\\Google\\Chrome\\LocalNetworkAccessAllowedForUrls",
    "SOFTWARE\\Policies\\Microsoft\\Edge\\LoopbackNetworkAllowedForUrls",
    "SOFTWARE\\Policies\\Microsoft\\Edge\\LocalNetworkAccessAllowedForUrls",
};

Failure MergeDeskSettings(const config::IniSection& current,
                          const std::vector<std::pair<std::string, std::string>>& given,
                          config::IniSection& merged) {
  merged = current;
  for (const auto& [key, value] : given) {
    if (std::find(kDeskSettingKeys.begin(), kDeskSettingKeys.end(), key) ==
        kDeskSettingKeys.end()) {
      return Failure{Words::kUnknownSetting, LocalTextToUtf8(key)};
    }
    if (!value.empty()) merged[key] = value;
  }
  ServiceConfig config;
  if (Failure wrong = ParseServiceConfig(merged, config)) return wrong;
  auto policy = merged.find("browserpolicy");
  if (policy != merged.end() && policy->second != "0" && policy->second != "1") {
    return Failure{Words::kBrowserPolicyValue, LocalTextToUtf8(policy->second)};
  }
  for (const char* key : {"driverdir", "hisdir"}) {
    auto folder = merged.find(key);
    if (folder != merged.end() && folder->second.find('|') != std::string::npos) {
      return Failure{Words::kNotAFolder, key, LocalTextToUtf8(folder->second)};
    }
  }
  return Failure{};
}

std::vector<std::string> SplitRecord(const std::string& record) {
  std::vector<std::string> entries;
  std::string::size_type start = 0;
  while (start < record.size()) {
    std::string::size_type end = record.find('|', start);
    if (end == std::string::npos) end = record.size();
    if (end > start) entries.push_back(record.substr(start, end - start));
    start = end + 1;
  }
  return entries;
}

std::string JoinRecord(const std::vector<std::string>& entries) {
  std::string record;
  for (const std::string& entry : entries) record += (record.empty() ? "" : "|") + entry;
  return record;
}

std::vector<std::pair<std::string, std::string>> ListPolicyAdditions(
    const std::map<std::string, std::string>& existing, const std::vector<std::string>& origins) {
  std::set<std::string> listed;
  for (const auto& entry : existing) listed.insert(entry.second);
  std::vector<std::pair<std::string, std::string>> additions;
  int number = 1;
  for (const std::string& origin : origins) {
    if (!listed.insert(origin).second) continue;
    while (existing.count(std::to_string(number)) != 0) ++number;
    additions.emplace_back(std::to_string(number++), origin);
  }
  return additions;
}

}  // namespace service
