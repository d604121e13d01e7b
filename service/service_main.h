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

// Runs until SIGINT or SIGTERM (Ctrl+C, Ctrl+Break), or until the function
// handed to listening (once the service listens) is called. Returns the
// exit code: 0 after a clean stop, 1 when it cannot listen (the port is in
// use), 2 for a configuration it cannot use.
int RunService(const CommandLine& line, const CardCallsFactory& startCards,
               const std::function<void(StopFunction)>& listening = {});

}  // namespace service
