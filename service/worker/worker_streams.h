#pragma once
// Platform seam: the worker process's protocol channel, its standard input
// and output as raw bytes. Standard output is taken away from the rest of
// the process first, so that nothing the card library or the driver prints
// can end up inside a frame; what they print goes to standard error.
#include <cstddef>
#include <string>

namespace service::worker {

// Takes standard input and output for the protocol; false when the process
// has none.
bool TakeStandardStreams();

// Up to count bytes from standard input, blocking until some arrive; 0 at
// its end or on an error.
std::size_t ReadInput(char* buffer, std::size_t count);

// All of bytes to the protocol output; false when it is closed.
bool WriteOutput(const std::string& bytes);

}  // namespace service::worker
