#include <chrono>

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>

#include "tests/service/http_client.h"
#include "tests/service/service_process.h"

namespace service_test {

bool WaitUntilAnswering(unsigned short port, int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    if (Send(port, Exchange{}, Duration(2000)).status == 200) return true;
    // A refused connection returns at once; pause before the next try.
    boost::asio::io_context loop;
    boost::asio::steady_timer pause(loop, std::chrono::milliseconds(50));
    pause.wait();
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

}  // namespace service_test
