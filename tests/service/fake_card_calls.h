#pragma once
// A stand-in for the card worker in tests of the front end: it answers card
// calls one at a time after a delay, on the event loop, with a bounded queue
// like the worker's, and its answers say which request they belong to.
//
// Answers: the IC card number "A12345678", the information line
// "330100#张三#"; a magnetic track t answers the number "N" + t, except the
// tracks "fail" (a failed read with a message), "hang" (timed out), "crash"
// (the worker died) and "broken" (no worker).
#include <memory>

#include <boost/asio/io_context.hpp>

#include "service/card_calls.h"

namespace service_test {

// delayMs: how long each call takes (FAKE_CARD_DELAY_MS when started by the
// test program).
std::unique_ptr<service::CardCalls> StartFakeCardCalls(boost::asio::io_context& loop,
                                                       service::WorkerSettings settings,
                                                       int delayMs);

}  // namespace service_test
