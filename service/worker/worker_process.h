#pragma once
// Platform seam: the worker process as the service sees it, with a pipe to
// its standard input and one from its standard output, driven on the
// service's event loop without ever blocking it. POSIX: posix_spawn and
// stream descriptors; Windows: CreateProcess, overlapped named pipes and the
// process handle. The worker inherits no handle of the service but its
// three standard ones.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include <boost/asio/io_context.hpp>

#include "service/messages.h"

namespace service::worker {

class WorkerProcess {
 public:
  virtual ~WorkerProcess() = default;
  // Writes all of bytes to the worker's input; done(false) when it is closed.
  virtual void Write(std::string bytes, std::function<void(bool)> done) = 0;
  // Reads what the worker writes next; done(false, ...) at the end of its
  // output, when the worker ended or closed it.
  virtual void Read(std::function<void(bool, const char*, std::size_t)> done) = 0;
  // Ends the worker if it still runs, closes the pipes and, once the system
  // has reaped it, tells how it ended ("exit code 3", "signal 9"). The
  // object keeps itself alive until then.
  virtual void End(std::function<void(const std::string&)> ended) = 0;
};

// Starts program with the argument --worker, in directory, with the
// service's environment; null when it cannot, and failure says why:
// kWorkerNoPipe (the pipes to it could not be made) or kWorkerCannotStart
// (the system would not start the program).
std::shared_ptr<WorkerProcess> StartWorkerProcess(boost::asio::io_context& loop,
                                                  const std::string& program,
                                                  const std::string& directory, Failure& failure);

}  // namespace service::worker
