#pragma once
// What every platform's worker process shares: the pipe to its standard
// input and the one from its standard output, as event-loop streams. Stream
// is the platform's stream type (a POSIX descriptor, a Windows handle); the
// platform's worker adds starting, ending and reaping the process.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/write.hpp>

#include "service/worker/worker_process.h"

namespace service::worker {

template <typename Stream>
class PipedWorker : public WorkerProcess, public std::enable_shared_from_this<PipedWorker<Stream>> {
 public:
  template <typename NativeEnd>
  PipedWorker(boost::asio::io_context& loop, NativeEnd input, NativeEnd output)
      : m_input(loop, input), m_output(loop, output) {}

  void Write(std::string bytes, std::function<void(bool)> done) override {
    auto buffer = std::make_shared<std::string>(std::move(bytes));
    boost::asio::async_write(
        m_input, boost::asio::buffer(*buffer),
        [buffer, done](const boost::system::error_code& error, std::size_t) { done(!error); });
  }

  void Read(std::function<void(bool, const char*, std::size_t)> done) override {
    auto self = this->shared_from_this();  // the buffer lives until the read ends
    m_output.async_read_some(boost::asio::buffer(m_buffer),
                             [self, done](const boost::system::error_code& error, std::size_t got) {
                               done(!error && got > 0, self->m_buffer, got);
                             });
  }

 protected:
  // Closes both pipes; reads and writes under way end with an error.
  void ClosePipes() {
    boost::system::error_code ignored;
    m_input.close(ignored);
    m_output.close(ignored);
  }

  // The platform's worker, kept alive by a handler as Read keeps itself.
  template <typename Worker>
  std::shared_ptr<Worker> SharedAs() {
    return std::static_pointer_cast<Worker>(this->shared_from_this());
  }

 private:
  Stream m_input;   // the worker's standard input
  Stream m_output;  // the worker's standard output
  char m_buffer[4096];
};

}  // namespace service::worker
