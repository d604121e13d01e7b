#include "service/refusal_limiter.h"

#include "service/messages.h"

namespace service {
namespace {

constexpr auto kWindow = std::chrono::minutes(1);

}  // namespace

RefusalLimiter::RefusalLimiter(std::size_t perMinute, std::size_t senders)
    : m_perMinute(perMinute), m_senders(senders) {}

std::string RefusalLimiter::HeldBackLine(const std::string& sender, std::size_t count) {
  return Say(Words::kRefusalsHeldBack, {sender, std::to_string(count)});
}

void RefusalLimiter::EndWindows(Clock::time_point now, std::vector<std::string>& lines) {
  for (auto window = m_windows.begin(); window != m_windows.end();) {
    if (now - window->second.start < kWindow) {
      ++window;
      continue;
    }
    if (window->second.heldBack > 0)
      lines.push_back(HeldBackLine(window->first, window->second.heldBack));
    window = m_windows.erase(window);
  }
}

std::vector<std::string> RefusalLimiter::Refused(const std::string& sender, const std::string& line,
                                                 Clock::time_point now) {
  std::vector<std::string> lines;
  EndWindows(now, lines);
  auto window = m_windows.find(sender);
  if (window == m_windows.end()) {
    const std::string others = Say(Words::kOtherSenders);
    const std::size_t told = m_windows.size() - m_windows.count(others);
    const std::string key = told < m_senders ? sender : others;
    window = m_windows.emplace(key, Window{now}).first;
  }
  if (window->second.logged < m_perMinute) {
    ++window->second.logged;
    lines.push_back(line);
  } else {
    ++window->second.heldBack;
  }
  return lines;
}

std::vector<std::string> RefusalLimiter::Flush() {
  std::vector<std::string> lines;
  for (const auto& [sender, window] : m_windows) {
    if (window.heldBack > 0) lines.push_back(HeldBackLine(sender, window.heldBack));
  }
  m_windows.clear();
  return lines;
}

}  // namespace service
