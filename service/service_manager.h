#pragma once
// The link to the system's service manager (systemd): readiness, the
// watchdog's pings and stopping, sent as the notification socket protocol
// has it (datagrams of KEY=value lines to the socket that NOTIFY_SOCKET
// names), and whether standard error is the journal's stream. Without a
// service manager (in the foreground, on Windows) it does nothing.
#include <chrono>
#include <optional>
#include <string>

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

namespace service {

// WATCHDOG_USEC and WATCHDOG_PID as the manager sets them: the interval
// within which it wants a ping, when the ping is asked of process self
// (WATCHDOG_PID unset or naming it); nothing otherwise.
std::optional<std::chrono::microseconds> WatchdogInterval(const char* usec, const char* pid,
                                                          long self);

// JOURNAL_STREAM's "DEVICE:INODE"; nothing for any other text.
std::optional<std::pair<unsigned long long, unsigned long long>> ParseJournalStream(
    const char* value);

// Platform seam (service_manager_posix.cpp, service_manager_win.cpp).
namespace manager {
// Sends message as one datagram to the socket that socketName names (a
// path, or "@name" in the abstract namespace); false when it cannot.
bool Notify(const std::string& socketName, const std::string& message);
// Whether standard error is the file with that device and inode.
bool StandardErrorIs(unsigned long long device, unsigned long long inode);
long ProcessId();
}  // namespace manager

// Whether standard error goes to the journal (JOURNAL_STREAM names it).
bool StandardErrorIsJournal();

class ServiceManagerLink {
 public:
  // Reads NOTIFY_SOCKET, WATCHDOG_USEC and WATCHDOG_PID, and takes them out
  // of the environment so that the card worker does not inherit them.
  explicit ServiceManagerLink(boost::asio::io_context& loop);

  // READY=1 with status, then a ping every half watchdog interval from the
  // event loop: a loop that stops turning stops the pings, and the manager
  // restarts the service.
  void Ready(const std::string& status);
  void Stopping();

 private:
  void Ping();
  void Send(const std::string& message) const;

  boost::asio::steady_timer m_timer;
  std::string m_socket;
  std::optional<std::chrono::microseconds> m_watchdog;
};

}  // namespace service
