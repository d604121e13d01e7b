#pragma once
// How many refusals reach the service's log: a page or a client that is
// refused again and again (a flood) gets its first few lines a minute, then
// one line that counts the rest, so that no sender can fill the log.
#include <chrono>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace service {

class RefusalLimiter {
 public:
  using Clock = std::chrono::steady_clock;

  // perMinute: the lines each sender gets a minute; senders: how many are
  // told apart (past that, every new one shares one count).
  explicit RefusalLimiter(std::size_t perMinute = 5, std::size_t senders = 256);

  // The lines to log for a refusal of sender (its origin or host, as
  // logged) at now: line itself while the sender is within its share, else
  // nothing; before them, a count of what the minutes that have ended held
  // back, for every sender.
  std::vector<std::string> Refused(const std::string& sender, const std::string& line,
                                   Clock::time_point now);

  // The counts still held back (the service stops).
  std::vector<std::string> Flush();

 private:
  struct Window {
    Clock::time_point start;
    std::size_t logged = 0;
    std::size_t heldBack = 0;
  };

  // Ends the windows older than a minute, with a line for each that held
  // lines back.
  void EndWindows(Clock::time_point now, std::vector<std::string>& lines);
  static std::string HeldBackLine(const std::string& sender, std::size_t count);

  std::size_t m_perMinute;
  std::size_t m_senders;
  std::map<std::string, Window> m_windows;
};

}  // namespace service
