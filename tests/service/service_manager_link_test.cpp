// The card service under systemd, played by the test: the notification
// socket it listens on receives readiness, the watchdog's pings and the
// stop; standard error named as the journal's stream gets prioritised lines.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstddef>
#include <cstring>

#include "service/messages.h"
#include "tests/service/service_desk.h"
#include "tests/support/emulation.h"

namespace service_test {
namespace {

using service::Say;
using service::Words;

// A datagram socket bound where NOTIFY_SOCKET will name it.
class NotifySocket {
 public:
  explicit NotifySocket(const std::string& name) : m_name(name) {
    m_socket = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.data(), name.size());
    if (name[0] == '@') address.sun_path[0] = '\0';
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
    m_bound = m_socket >= 0 && name.size() < sizeof address.sun_path &&
              bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) == 0;
  }
  ~NotifySocket() {
    if (m_socket >= 0) close(m_socket);
    if (m_name[0] == '/') unlink(m_name.c_str());
  }
  bool bound() const { return m_bound; }

  // The next datagram, or "" when none comes within milliseconds.
  std::string Receive(int milliseconds) {
    pollfd wait{m_socket, POLLIN, 0};
    if (poll(&wait, 1, milliseconds) != 1) return "";
    char buffer[4096];
    const ssize_t got = recv(m_socket, buffer, sizeof buffer, 0);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : "";
  }

  // Every datagram that arrives within milliseconds.
  std::vector<std::string> ReceiveFor(int milliseconds) {
    std::vector<std::string> messages;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          end - std::chrono::steady_clock::now());
      if (left.count() <= 0) return messages;
      std::string message = Receive(static_cast<int>(left.count()));
      if (!message.empty()) messages.push_back(std::move(message));
    }
  }

 private:
  std::string m_name;
  int m_socket = -1;
  bool m_bound = false;
};

std::size_t Count(const std::vector<std::string>& messages, const std::string& message) {
  return static_cast<std::size_t>(std::count(messages.begin(), messages.end(), message));
}

const char* const kVariables[] = {"NOTIFY_SOCKET", "WATCHDOG_USEC", "WATCHDOG_PID",
                                  "JOURNAL_STREAM"};

TEST(ServiceManagerLink, ReadinessWatchdogAndStopReachTheManagersSocket) {
  struct Case {
    const char* name;
    bool abstract;      // @name, else a path
    bool watchdogOurs;  // WATCHDOG_PID names the service, else another process
  };
  for (const Case& c : {Case{"a socket file, the watchdog asked of the service", false, true},
                        Case{"an abstract socket", true, true},
                        Case{"the watchdog asked of another process", false, false}}) {
    SCOPED_TRACE(c.name);
    ServiceDesk desk(SERVICE_DOUBLE_PROGRAM);
    const std::string name = c.abstract ? "@readcard-notify-" + std::to_string(getpid())
                                        : desk.directory().File("notify");
    NotifySocket manager(name);
    ASSERT_TRUE(manager.bound()) << name;
    // Standard error goes to output.txt: this file, with its inode kept.
    const std::string output = desk.directory().Write("output.txt", "");
    struct stat file;
    ASSERT_EQ(stat(output.c_str(), &file), 0);
    const std::string stream = std::to_string(file.st_dev) + ":" + std::to_string(file.st_ino);
    SetVariable("NOTIFY_SOCKET", name.c_str());
    SetVariable("WATCHDOG_USEC", "400000");
    // The service's pid is not known before it starts: "ours" leaves the
    // variable out, as systemd may; another process is the test itself.
    const std::string self = std::to_string(getpid());
    SetVariable("WATCHDOG_PID", c.watchdogOurs ? nullptr : self.c_str());
    SetVariable("JOURNAL_STREAM", stream.c_str());
    const bool started = desk.Start();
    for (const char* variable : kVariables) SetVariable(variable, nullptr);
    ASSERT_TRUE(started) << desk.Output();

    EXPECT_EQ(manager.Receive(10000),
              "READY=1\nSTATUS=" + Say(Words::kManagerStatus, {std::to_string(desk.port())}));
    // A ping every 200 ms: at least three in 1.5 s, even on a busy machine.
    const std::vector<std::string> pings = manager.ReceiveFor(1500);
    if (c.watchdogOurs) {
      EXPECT_GE(Count(pings, "WATCHDOG=1"), 3u);
    } else {
      EXPECT_EQ(Count(pings, "WATCHDOG=1"), 0u);
    }
    EXPECT_EQ(Count(pings, "WATCHDOG=1"), pings.size()) << "only pings while it runs";

    const Reply refused =
        Send(desk.port(), Exchange{"GET", "/v1/status", {{"Origin", "https://evil.example"}}, ""});
    EXPECT_EQ(refused.status, 403);
    EXPECT_EQ(desk.process().Stop(10000), 0);
    std::vector<std::string> last = manager.ReceiveFor(300);
    ASSERT_FALSE(last.empty());
    while (last.size() > 1 && last.front() == "WATCHDOG=1") last.erase(last.begin());
    EXPECT_EQ(last, std::vector<std::string>{"STOPPING=1"});

    // The journal's lines: priority first, no time stamp of our own.
    const std::string journal = desk.Output();
    // The started line up to its first value after the port.
    std::string startedLine = Say(Words::kStartedLog, {std::to_string(desk.port())});
    startedLine.resize(startedLine.find("%2"));
    const std::string refusedLine =
        Say(Words::kRefusedRequest,
            {"GET /v1/status", Say(Words::kOriginNotAllowed, {"https://evil.example"})});
    const std::string stopped = Say(Words::kStopped, {Say(Words::kStopSignal, {"15"})});
    EXPECT_NE(journal.find("\n<6>" + startedLine), std::string::npos) << journal;
    EXPECT_NE(journal.find("\n<4>" + refusedLine + "\n"), std::string::npos) << journal;
    EXPECT_NE(journal.find("\n<6>" + stopped), std::string::npos) << journal;
    EXPECT_EQ(journal.find("cardservice: 20"), std::string::npos) << journal;
    // The day's file keeps its time-stamped lines.
    EXPECT_NE(desk.Log().find(stopped), std::string::npos) << desk.Log();
  }
}

TEST(ServiceManagerLink, WithoutAManagerStandardErrorKeepsTimeStampedLines) {
  ServiceDesk desk(SERVICE_DOUBLE_PROGRAM);
  // A JOURNAL_STREAM that names another file (a parent's journal stream
  // that standard error no longer is) is not the journal.
  SetVariable("JOURNAL_STREAM", "1:1");
  const bool started = desk.Start();
  SetVariable("JOURNAL_STREAM", nullptr);
  ASSERT_TRUE(started) << desk.Output();
  EXPECT_EQ(desk.process().Stop(10000), 0);
  EXPECT_NE(desk.Output().find("cardservice: 20"), std::string::npos) << desk.Output();
  EXPECT_EQ(desk.Output().find("<6>"), std::string::npos) << desk.Output();
}

}  // namespace
}  // namespace service_test
