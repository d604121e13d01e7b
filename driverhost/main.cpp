// readcard-driverhost: runs the card reader's driver on behalf of the
// library (readcard.ini [driver] isolation=process), so that a driver that
// hangs or crashes costs one read and not the host's process. One request at
// a time, until the library closes the pipe.
#include <string>

#include "driver/driver_host_protocol.h"
#include "driverhost/library_link.h"
#include "driverhost/serve_request.h"

namespace protocol = driver::protocol;

namespace {

// Reads until bytes holds at least count bytes, never past the request
// (the library sends one and waits for its answer).
bool ReadUpTo(std::string& bytes, std::size_t count) {
  while (bytes.size() < count) {
    if (!driverhost::ReadFromLibrary(bytes, count - bytes.size())) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (!driverhost::ConnectToLibrary(argc, argv)) return 2;
  if (!driverhost::WriteToLibrary(protocol::Greeting())) return 0;
  for (;;) {
    // Usually the whole request arrives in the first read.
    std::string bytes;
    if (!driverhost::ReadFromLibrary(
            bytes, protocol::kRequestHeaderSize + protocol::kMaxPath + protocol::kRecordSize)) {
      return 0;  // the library let go
    }
    if (!ReadUpTo(bytes, protocol::kRequestHeaderSize)) return 0;
    const std::string header = bytes.substr(0, protocol::kRequestHeaderSize);
    const std::optional<std::size_t> pathLength = protocol::RequestPathLength(header);
    if (!pathLength) return 3;
    const std::size_t size = protocol::kRequestHeaderSize + *pathLength + protocol::kRecordSize;
    if (bytes.size() > size) return 3;  // more than one request: not the library
    if (!ReadUpTo(bytes, size)) return 0;
    const std::optional<protocol::Request> request =
        protocol::DecodeRequest(header, bytes.substr(protocol::kRequestHeaderSize));
    if (!request) return 3;
    const protocol::Answer answer = driverhost::ServeRequest(*request, driverhost::DriverLoader());
    if (!driverhost::WriteToLibrary(protocol::EncodeAnswer(answer))) return 0;
  }
}
