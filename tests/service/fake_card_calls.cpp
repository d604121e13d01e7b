#include "tests/service/fake_card_calls.h"

#include <chrono>
#include <deque>
#include <utility>

#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

namespace service_test {
namespace {

using service::CallOutcome;
using service::CardAnswer;
using service::CardOperation;
using service::CardRequest;

CardAnswer AnswerFor(const CardRequest& request) {
  switch (request.operation) {
    case CardOperation::IcCardNumber:
      return {CallOutcome::Answered, true, "A12345678"};
    case CardOperation::IcCardInfo:
      return {CallOutcome::Answered, true, "330100#张三#"};
    case CardOperation::MagneticCard:
    default:
      break;
  }
  if (request.track == "fail")
    return {CallOutcome::Answered, false, "读卡失败,错误码:-3 错误信息NOCARD"};
  if (request.track == "hang") return {CallOutcome::TimedOut, false, ""};
  if (request.track == "crash") return {CallOutcome::WorkerDied, false, ""};
  if (request.track == "broken") return {CallOutcome::Unavailable, false, ""};
  return {CallOutcome::Answered, true, "N" + request.track};
}

class FakeCardCalls : public service::CardCalls {
 public:
  FakeCardCalls(boost::asio::io_context& loop, service::WorkerSettings settings, int delayMs)
      : m_loop(loop), m_settings(std::move(settings)), m_timer(loop), m_delay(delayMs) {
    m_settings.log("读卡进程（测试替身）已启动");
  }

  void Submit(CardRequest request, std::function<void(CardAnswer)> done) override {
    if (m_queue.size() >= m_settings.queueLimit + (m_running ? 1 : 0)) {
      boost::asio::post(m_loop, [done = std::move(done)] { done({CallOutcome::Busy, false, ""}); });
      return;
    }
    m_queue.emplace_back(std::move(request), std::move(done));
    if (!m_running) RunNext();
  }

  bool Busy() const override { return m_running; }
  int Version() const override { return 86; }

 private:
  void RunNext() {
    if (m_queue.empty()) {
      m_running = false;
      return;
    }
    m_running = true;
    m_timer.expires_after(std::chrono::milliseconds(m_delay));
    m_timer.async_wait([this](const boost::system::error_code& error) {
      if (error) return;
      auto [request, done] = std::move(m_queue.front());
      m_queue.pop_front();
      done(AnswerFor(request));
      RunNext();
    });
  }

  boost::asio::io_context& m_loop;
  service::WorkerSettings m_settings;
  boost::asio::steady_timer m_timer;
  int m_delay;
  bool m_running = false;
  std::deque<std::pair<CardRequest, std::function<void(CardAnswer)>>> m_queue;
};

}  // namespace

std::unique_ptr<service::CardCalls> StartFakeCardCalls(boost::asio::io_context& loop,
                                                       service::WorkerSettings settings,
                                                       int delayMs) {
  return std::make_unique<FakeCardCalls>(loop, std::move(settings), delayMs);
}

}  // namespace service_test
