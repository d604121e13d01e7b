#pragma once
// The settings that an installer keeps for the machine (on Windows in the
// registry, HKLM\SOFTWARE\readcard\cardservice, written by
// cardservice --install --set KEY=VALUE): the service's port, origins and
// timeout, which override cardservice.ini, and what the installer did for
// the desk: the folder the driver was copied from (driverdir), the HIS
// folder the library was copied to (hisdir), whether the browsers' policy
// lists the origins (browserpolicy). The installer also records there what
// it copied and which policy values it added, so that removal undoes
// exactly that.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "config/ini_reader.h"
#include "service/messages.h"

namespace service {

// The keys --set accepts.
extern const std::vector<std::string> kDeskSettingKeys;
// The keys of the installer's own records: full paths of the files it
// copied, and the policy values it added ("<key>\<name>=<origin>").
constexpr char kCopiedRecord[] = "copied";
constexpr char kPoliciesRecord[] = "policies";

// current with each given non-empty value put in (an empty value keeps what
// is set); then checks the result. For an unknown key kUnknownSetting; for
// a value the service could not use ParseServiceConfig's failure,
// kBrowserPolicyValue or kNotAFolder (values UTF-8).
Failure MergeDeskSettings(const config::IniSection& current,
                          const std::vector<std::pair<std::string, std::string>>& given,
                          config::IniSection& merged);

// A record's entries, kept in one text with "|" between them ("|" is in no
// Windows path and in no origin).
std::vector<std::string> SplitRecord(const std::string& record);
std::string JoinRecord(const std::vector<std::string>& entries);

// A browser's list policy is a key of numbered values ("1", "2", ...), one
// URL pattern each. For each origin not listed yet, the smallest unused
// number and the origin: the values to add. existing: name to value.
std::vector<std::pair<std::string, std::string>> ListPolicyAdditions(
    const std::map<std::string, std::string>& existing, const std::vector<std::string>& origins);

// The browsers' list policies that let pages of the origins call the card
// service on the loopback address (machine policy, the 64-bit view).
extern const std::vector<std::string> kBrowserPolicyKeys;

}  // namespace service
