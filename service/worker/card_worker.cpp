// The service's side of the card worker: one worker process at a time, one
// call at a time in arrival order, a bounded queue, a time limit per call,
// and a fresh worker after one was ended or died.
#include <chrono>
#include <deque>
#include <optional>

#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

#include "service/card_calls.h"
#include "service/worker/worker_process.h"
#include "service/worker/worker_protocol.h"

namespace service {

namespace {

using worker::Frame;
using worker::FrameKind;

struct PendingCall {
  CardRequest request;
  std::function<void(CardAnswer)> done;
};

std::string Seconds(int seconds) { return std::to_string(seconds); }

class Supervisor : public std::enable_shared_from_this<Supervisor> {
 public:
  Supervisor(boost::asio::io_context& loop, WorkerSettings settings)
      : m_loop(loop), m_settings(std::move(settings)), m_callTimer(loop), m_startTimer(loop) {
    if (m_settings.timeoutSeconds < 1) m_settings.timeoutSeconds = 1;
  }

  void Submit(CardRequest request, std::function<void(CardAnswer)> done) {
    if (m_stopped) {
      Answer(done, Outcome(CallOutcome::Unavailable, u8"读卡服务正在停止"));
      return;
    }
    // The running call and the ones behind it.
    const std::size_t held = m_queue.size() + (m_current ? 1 : 0);
    if (held >= m_settings.queueLimit + 1) {
      Answer(done, Outcome(CallOutcome::Busy, u8"读卡器正忙，请稍后再读"));
      return;
    }
    m_queue.push_back(PendingCall{std::move(request), std::move(done)});
    Pump();
  }

  bool Busy() const { return m_current.has_value(); }
  int Version() const { return m_version; }

  void StartWorker() {
    ++m_generation;
    m_ready = false;
    m_reader = worker::FrameReader();
    std::string problem;
    m_process = worker::StartWorkerProcess(m_loop, m_settings.program, m_settings.directory, problem);
    if (!m_process) {
      Log(u8"读卡工作进程无法启动：" + problem);
      FailAll(u8"读卡工作进程无法启动，请检查读卡服务的安装");
      return;
    }
    const unsigned generation = m_generation;
    auto self = shared_from_this();
    m_startTimer.expires_after(Limit());
    m_startTimer.async_wait([self, generation](const boost::system::error_code& error) {
      if (error || generation != self->m_generation) return;
      self->Retire(u8"读卡工作进程在 " + Seconds(self->m_settings.timeoutSeconds) +
                   u8" 秒内未能就绪，已结束");
      self->FailAll(u8"读卡工作进程未能就绪，请稍后再读");
    });
    ReadNext(generation);
  }

  void Stop() {
    m_stopped = true;
    if (m_process) {
      // Logged now: the service's log may be gone by the time it is reaped.
      Log(u8"读卡工作进程随读卡服务停止而结束");
      Retire(std::string(), false);
    }
    FailAll(u8"读卡服务正在停止");
  }

 private:
  static CardAnswer Outcome(CallOutcome outcome, std::string text) {
    CardAnswer answer;
    answer.outcome = outcome;
    answer.text = std::move(text);
    return answer;
  }

  std::chrono::seconds Limit() const { return std::chrono::seconds(m_settings.timeoutSeconds); }

  void Answer(const std::function<void(CardAnswer)>& done, CardAnswer answer) {
    boost::asio::post(m_loop, [done, answer]() { done(answer); });
  }

  void Log(const std::string& line) {
    if (m_settings.log) m_settings.log(line);
  }

  void Pump() {
    if (m_current || m_queue.empty() || m_stopped) return;
    if (!m_process) {
      StartWorker();
      return;  // the call goes out once the worker is ready
    }
    if (!m_ready) return;
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    const unsigned generation = m_generation;
    auto self = shared_from_this();
    m_process->Write(worker::EncodeFrame(Frame{FrameKind::Request, worker::RequestPayload(m_current->request)}),
                     [self, generation](bool written) {
                       if (!written && generation == self->m_generation) {
                         self->WorkerGone(u8"读卡工作进程的输入已关闭");
                       }
                     });
    m_callTimer.expires_after(Limit());
    m_callTimer.async_wait([self, generation](const boost::system::error_code& error) {
      if (error || generation != self->m_generation || !self->m_current) return;
      self->TimedOut();
    });
  }

  void ReadNext(unsigned generation) {
    auto self = shared_from_this();
    m_process->Read([self, generation](bool ok, const char* bytes, std::size_t count) {
      if (generation != self->m_generation) return;
      if (!ok) {
        self->WorkerGone(u8"读卡工作进程意外结束");
        return;
      }
      self->m_reader.Append(bytes, count);
      while (std::optional<Frame> frame = self->m_reader.Next()) {
        self->Handle(*frame);
        if (generation != self->m_generation) return;
      }
      if (self->m_reader.failed()) {
        self->Fault(u8"读卡工作进程的应答无法识别");
        return;
      }
      self->ReadNext(generation);
    });
  }

  void Handle(const Frame& frame) {
    if (frame.kind == FrameKind::Ready && !m_ready) {
      const std::optional<int> version = worker::ParseReady(frame.payload);
      if (!version) return Fault(u8"读卡工作进程的应答无法识别");
      m_ready = true;
      m_version = *version;
      m_startTimer.cancel();
      Log(u8"读卡工作进程已就绪，读卡动态库版本 " + std::to_string(*version));
      Pump();
    } else if (frame.kind == FrameKind::Unavailable) {
      Retire(u8"读卡工作进程无法加载读卡动态库：" + frame.payload);
      FailAll(frame.payload);
    } else if (frame.kind == FrameKind::Answer && m_current) {
      const std::optional<worker::WorkerAnswer> parsed = worker::ParseAnswer(frame.payload);
      if (!parsed) return Fault(u8"读卡工作进程的应答无法识别");
      m_callTimer.cancel();
      CardAnswer answer = Outcome(CallOutcome::Answered, parsed->text);
      answer.ok = parsed->ok;
      Finish(std::move(answer));
      Pump();
    } else {
      Fault(u8"读卡工作进程的应答无法识别");
    }
  }

  // The running call's answer; the next one may go out.
  void Finish(CardAnswer answer) {
    if (!m_current) return;
    Answer(m_current->done, std::move(answer));
    m_current.reset();
  }

  // Ends the present worker (if any) and logs why, with how it ended.
  void Retire(const std::string& why, bool logWhenReaped = true) {
    ++m_generation;
    m_ready = false;
    m_callTimer.cancel();
    m_startTimer.cancel();
    if (!m_process) return;
    std::shared_ptr<worker::WorkerProcess> process = std::move(m_process);
    auto log = logWhenReaped ? m_settings.log : nullptr;
    process->End([log, why](const std::string& how) {
      if (log) log(why + u8"（" + how + u8"）");
    });
  }

  // Every call held, the running one included, answered Unavailable.
  void FailAll(const std::string& message) {
    if (m_current) Finish(Outcome(CallOutcome::Unavailable, message));
    while (!m_queue.empty()) {
      Answer(m_queue.front().done, Outcome(CallOutcome::Unavailable, message));
      m_queue.pop_front();
    }
  }

  void TimedOut() {
    const std::string limit = Seconds(m_settings.timeoutSeconds);
    Retire(u8"读卡器驱动程序 " + limit + u8" 秒内没有应答，读卡工作进程已结束");
    Finish(Outcome(CallOutcome::TimedOut,
                   u8"读卡器驱动程序 " + limit + u8" 秒内没有应答，本次读卡已取消，请重新读卡"));
    StartWorker();
    Pump();
  }

  // The worker ended on its own, or closed its pipes.
  void WorkerGone(const std::string& why) {
    const bool duringCall = m_current.has_value();
    const bool wasReady = m_ready;
    if (duringCall) {
      Retire(why + u8"：读卡时读卡器驱动程序崩溃");
      Finish(Outcome(CallOutcome::WorkerDied,
                     u8"读卡器驱动程序崩溃，本次读卡失败，请重新读卡"));
      StartWorker();
      Pump();
    } else if (!wasReady) {
      Retire(why + u8"：读卡工作进程在就绪前结束");
      FailAll(u8"读卡工作进程无法启动，请检查读卡服务的安装");
    } else {
      Retire(why + u8"（空闲时）");  // the next call starts a fresh one
    }
  }

  // The worker sent what it must not: it cannot be trusted with more calls.
  void Fault(const std::string& why) {
    if (m_current) {
      Retire(why + u8"，读卡工作进程已结束");
      Finish(Outcome(CallOutcome::WorkerDied, u8"读卡工作进程出错，本次读卡失败，请重新读卡"));
      StartWorker();
      Pump();
    } else {
      Retire(why + u8"，读卡工作进程已结束");
      FailAll(u8"读卡工作进程出错，请稍后再读");
    }
  }

  boost::asio::io_context& m_loop;
  WorkerSettings m_settings;
  boost::asio::steady_timer m_callTimer;
  boost::asio::steady_timer m_startTimer;
  std::shared_ptr<worker::WorkerProcess> m_process;
  worker::FrameReader m_reader;
  unsigned m_generation = 0;  // which worker the pending handlers belong to
  bool m_ready = false;       // the present worker has loaded the library
  bool m_stopped = false;
  int m_version = -1;
  std::optional<PendingCall> m_current;
  std::deque<PendingCall> m_queue;
};

class WorkerCardCalls : public CardCalls {
 public:
  explicit WorkerCardCalls(std::shared_ptr<Supervisor> supervisor) : m_supervisor(std::move(supervisor)) {}
  ~WorkerCardCalls() override { m_supervisor->Stop(); }

  void Submit(CardRequest request, std::function<void(CardAnswer)> done) override {
    m_supervisor->Submit(std::move(request), std::move(done));
  }
  bool Busy() const override { return m_supervisor->Busy(); }
  int Version() const override { return m_supervisor->Version(); }

 private:
  std::shared_ptr<Supervisor> m_supervisor;
};

}  // namespace

std::unique_ptr<CardCalls> StartCardWorker(boost::asio::io_context& loop, WorkerSettings settings) {
  auto supervisor = std::make_shared<Supervisor>(loop, std::move(settings));
  supervisor->StartWorker();
  return std::make_unique<WorkerCardCalls>(std::move(supervisor));
}

}  // namespace service
