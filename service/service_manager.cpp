#include "service/service_manager.h"

#include <cstdlib>

namespace service {
namespace {

// A whole decimal number, nothing before or after it.
std::optional<unsigned long long> Number(const std::string& text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  unsigned long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned long long>(c - '0');
  }
  return value;
}

std::string Take(const char* name) {
  const char* value = std::getenv(name);
  std::string taken = value != nullptr ? value : "";
#ifndef _WIN32
  unsetenv(name);
#endif
  return taken;
}

}  // namespace

std::optional<std::chrono::microseconds> WatchdogInterval(const char* usec, const char* pid,
                                                          long self) {
  if (usec == nullptr) return std::nullopt;
  const std::optional<unsigned long long> interval = Number(usec);
  if (!interval || *interval == 0) return std::nullopt;
  if (pid != nullptr) {
    const std::optional<unsigned long long> owner = Number(pid);
    if (!owner || *owner != static_cast<unsigned long long>(self)) return std::nullopt;
  }
  return std::chrono::microseconds(*interval);
}

std::optional<std::pair<unsigned long long, unsigned long long>> ParseJournalStream(
    const char* value) {
  if (value == nullptr) return std::nullopt;
  const std::string text = value;
  const std::string::size_type colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto device = Number(text.substr(0, colon));
  const auto inode = Number(text.substr(colon + 1));
  if (!device || !inode) return std::nullopt;
  return std::make_pair(*device, *inode);
}

bool StandardErrorIsJournal() {
  const auto stream = ParseJournalStream(std::getenv("JOURNAL_STREAM"));
  return stream && manager::StandardErrorIs(stream->first, stream->second);
}

ServiceManagerLink::ServiceManagerLink(boost::asio::io_context& loop) : m_timer(loop) {
  m_socket = Take("NOTIFY_SOCKET");
  const std::string usec = Take("WATCHDOG_USEC");
  const std::string pid = Take("WATCHDOG_PID");
  if (!m_socket.empty()) {
    m_watchdog = WatchdogInterval(usec.empty() ? nullptr : usec.c_str(),
                                  pid.empty() ? nullptr : pid.c_str(), manager::ProcessId());
  }
}

void ServiceManagerLink::Ready(const std::string& status) {
  Send("READY=1\nSTATUS=" + status);
  if (m_watchdog) Ping();
}

void ServiceManagerLink::Stopping() {
  m_timer.cancel();
  m_watchdog.reset();
  Send("STOPPING=1");
}

void ServiceManagerLink::Ping() {
  Send("WATCHDOG=1");
  m_timer.expires_after(*m_watchdog / 2);
  m_timer.async_wait([this](const boost::system::error_code& error) {
    if (!error && m_watchdog) Ping();
  });
}

void ServiceManagerLink::Send(const std::string& message) const {
  if (!m_socket.empty()) manager::Notify(m_socket, message);
}

}  // namespace service
