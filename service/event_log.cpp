#include "service/event_log.h"

#include "service/messages.h"

namespace service {
namespace {

constexpr std::time_t kHour = 60 * 60;
// Senders remembered at most: a flood of invented origins costs no memory.
constexpr std::size_t kSendersKept = 1000;

}  // namespace

std::string RefusalEvents::Admit(const std::string& sender, const std::string& text,
                                 std::time_t now) {
  auto found = m_senders.find(sender);
  if (found != m_senders.end() && now >= found->second.lastEvent &&
      now - found->second.lastEvent < kHour) {
    ++found->second.unreported;
    return "";
  }
  if (found == m_senders.end()) {
    if (m_senders.size() >= kSendersKept) {
      for (auto it = m_senders.begin(); it != m_senders.end();) {
        it = now - it->second.lastEvent >= kHour ? m_senders.erase(it) : std::next(it);
      }
    }
    if (m_senders.size() >= kSendersKept) return "";
    found = m_senders.emplace(sender, Sender{}).first;
  }
  std::string event = text;
  if (found->second.unreported != 0) {
    event += Say(Words::kRefusalsBefore, {std::to_string(found->second.unreported)});
  }
  found->second = Sender{now, 0};
  return event;
}

}  // namespace service
