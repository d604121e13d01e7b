#pragma once
// The card service in the foreground or under the service manager: reads its
// ini, listens, starts the card worker and answers until it is told to stop.
#include <functional>
#include <memory>

#include <boost/asio/io_context.hpp>

#include "service/card_calls.h"
#include "service/command_line.h"

namespace service {

using CardCallsFactory =
    std::function<std::unique_ptr<CardCalls>(boost::asio::io_context&, WorkerSettings)>;

// Stops the running service; may be called from any thread.
using StopFunction = std::function<void()>;

// RunService's exit codes, which the service manager keeps as the service's
// own exit code (--install reads them back).
constexpr int kExitStopped = 0;       // a clean stop
constexpr int kExitCannotListen = 1;  // the port is in use, say
constexpr int kExitWrongConfig = 2;   // cardservice.ini (or the command line) cannot be used

// Runs until SIGINT or SIGTERM (Ctrl+C, Ctrl+Break), or until the function
// handed to listening (once the service listens) is called; listening is
// called again with an empty function just before it returns, after which
// the first must not be called. Returns the exit code above.
int RunService(const CommandLine& line, const CardCallsFactory& startCards,
               const std::function<void(StopFunction)>& listening = {});

}  // namespace service
