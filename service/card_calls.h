#pragma once
// The card operations as the HTTP front end asks for them. They are answered
// one at a time, in arrival order, by a worker process that keeps the card
// library loaded; a hung or crashing driver costs that one call, never the
// service. Everything here runs on the service's one event loop.
#include <functional>
#include <memory>
#include <string>

#include <boost/asio/io_context.hpp>

namespace service {

enum class CardOperation { IcCardNumber, IcCardInfo, MagneticCard };

struct CardRequest {
  CardOperation operation = CardOperation::IcCardNumber;
  std::string track;  // MagneticCard only: the track as it arrived, UTF-8
};

enum class CallOutcome {
  Answered,     // the library answered; ok and text say what (HTTP 200)
  Busy,         // the queue was full, nothing was called (HTTP 503)
  TimedOut,     // the driver did not answer in time; the worker was ended (HTTP 504)
  WorkerDied,   // the worker ended during the call: the driver crashed it (HTTP 502)
  Unavailable,  // no worker could be started or it could not load the library (HTTP 500)
};

struct CardAnswer {
  CallOutcome outcome = CallOutcome::Answered;
  bool ok = false;   // Answered: the export returned 0
  std::string text;  // UTF-8: the number or information line when ok, else the message
};

class CardCalls {
 public:
  virtual ~CardCalls() = default;
  // Queues request; done runs exactly once, later, on the event loop, with
  // the answer (Busy at once, posted, when the queue is full).
  virtual void Submit(CardRequest request, std::function<void(CardAnswer)> done) = 0;
  // True while a card call runs in the worker.
  virtual bool Busy() const = 0;
  // What QTZ_DLL_BBH answered when the worker started; -1 while unknown.
  virtual int Version() const = 0;
};

struct WorkerSettings {
  std::string program;                          // this program, started again with --worker
  std::string directory;                        // the desk directory: library, driver, Login.ini
  int timeoutSeconds = 30;                      // how long a card call may take
  std::size_t queueLimit = 8;                   // calls that may wait behind the running one
  std::function<void(const std::string&)> log;  // one line for the service log, UTF-8
  // Also given the lines that tell of a worker that could not start, died or
  // was ended (the system's event log takes these).
  std::function<void(const std::string&)> failed;
};

// Starts the first worker at once, so that Version() is known early.
std::unique_ptr<CardCalls> StartCardWorker(boost::asio::io_context& loop, WorkerSettings settings);

// The worker's side (the program started with --worker): loads the card
// library and answers requests from standard input on standard output until
// standard input ends. Returns the exit code.
int RunCardWorker();

}  // namespace service
