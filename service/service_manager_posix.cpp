// systemd's two ends as a service sees them: the notification socket (a
// datagram socket, written by hand: its protocol is one message per
// datagram) and the journal's stream on standard error.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

#include "service/service_manager.h"

namespace service::manager {

bool Notify(const std::string& socketName, const std::string& message) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketName.size() < 2 || socketName.size() >= sizeof address.sun_path) return false;
  if (socketName[0] != '/' && socketName[0] != '@') return false;
  std::memcpy(address.sun_path, socketName.data(), socketName.size());
  if (socketName[0] == '@') address.sun_path[0] = '\0';  // the abstract namespace
  const socklen_t length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + socketName.size());
  const int socket = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (socket < 0) return false;
  const ssize_t sent = sendto(socket, message.data(), message.size(), MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&address), length);
  close(socket);
  return sent == static_cast<ssize_t>(message.size());
}

bool StandardErrorIs(unsigned long long device, unsigned long long inode) {
  struct stat status;
  return fstat(STDERR_FILENO, &status) == 0 &&
         static_cast<unsigned long long>(status.st_dev) == device &&
         static_cast<unsigned long long>(status.st_ino) == inode;
}

long ProcessId() { return static_cast<long>(getpid()); }

}  // namespace service::manager
