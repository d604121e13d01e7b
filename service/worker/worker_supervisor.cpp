// The service's side of the card worker: one worker process at a time, one
// call at a time in arrival order, a bounded queue, a time limit per call,
// and a fresh worker after one was ended or died.
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

#include "service/card_calls.h"
#include "service/messages.h"
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

// Where the supervisor stands with its worker. A call is held (m_current)
// exactly while the state is Calling.
enum class WorkerState {
  NoWorker,  // none runs: the next call starts one
  Starting,  // started, its ready frame not yet in
  Ready,     // the library is loaded and nothing is being called
  Calling,   // one call is in the worker
  Stopping,  // the service stops: nothing is started or sent any more
};

class Supervisor : public std::enable_shared_from_this<Supervisor> {
 public:
  Supervisor(boost::asio::io_context& loop, WorkerSettings settings)
      : m_loop(loop), m_settings(std::move(settings)), m_callTimer(loop), m_startTimer(loop) {
    if (m_settings.timeoutSeconds < 1) m_settings.timeoutSeconds = 1;
  }

  void Submit(CardRequest request, std::function<void(CardAnswer)> done) {
    if (m_state == WorkerState::Stopping) {
      Answer(done, Outcome(CallOutcome::Unavailable, Say(Words::kAnswerStopping)));
      return;
    }
    // The running call and the ones behind it.
    const std::size_t held = m_queue.size() + (m_current ? 1 : 0);
    if (held >= m_settings.queueLimit + 1) {
      Answer(done, Outcome(CallOutcome::Busy, Say(Words::kAnswerBusy)));
      return;
    }
    m_queue.push_back(PendingCall{std::move(request), std::move(done)});
    Pump();
  }

  bool Busy() const { return m_state == WorkerState::Calling; }
  int Version() const { return m_version; }

  // From NoWorker: a fresh worker, Starting until its ready frame is in.
  void StartWorker() {
    ++m_generation;
    m_reader = worker::FrameReader();
    Failure failure;
    m_process =
        worker::StartWorkerProcess(m_loop, m_settings.program, m_settings.directory, failure);
    if (!m_process) {
      Log(Say(failure));
      if (m_settings.failed) m_settings.failed(Say(failure));
      FailAll(Say(Words::kAnswerWorkerCannotStart));
      return;
    }
    m_state = WorkerState::Starting;
    const unsigned generation = m_generation;
    auto self = shared_from_this();
    m_startTimer.expires_after(Limit());
    m_startTimer.async_wait([self, generation](const boost::system::error_code& error) {
      if (error || generation != self->m_generation) return;
      self->Retire(Say(Words::kWorkerNotReady, {self->Seconds()}));
      self->FailAll(Say(Words::kAnswerWorkerNotReady));
    });
    ReadNext(generation);
  }

  void Stop() {
    if (m_process) {
      // Logged now: the service's log may be gone by the time it is reaped.
      Log(Say(Words::kWorkerEndedWithService));
      Retire(std::string(), false);
    }
    m_state = WorkerState::Stopping;
    FailAll(Say(Words::kAnswerStopping));
  }

 private:
  static CardAnswer Outcome(CallOutcome outcome, std::string text) {
    CardAnswer answer;
    answer.outcome = outcome;
    answer.text = std::move(text);
    return answer;
  }

  std::chrono::seconds Limit() const { return std::chrono::seconds(m_settings.timeoutSeconds); }
  std::string Seconds() const { return std::to_string(m_settings.timeoutSeconds); }

  void Answer(const std::function<void(CardAnswer)>& done, CardAnswer answer) {
    boost::asio::post(m_loop, [done, answer]() { done(answer); });
  }

  void Log(const std::string& line) {
    if (m_settings.log) m_settings.log(line);
  }

  // Moves the queue on: starts a worker when there is none, sends the next
  // call when the worker is ready.
  void Pump() {
    if (m_queue.empty()) return;
    if (m_state == WorkerState::NoWorker) {
      StartWorker();  // the call goes out once the worker is ready
    } else if (m_state == WorkerState::Ready) {
      Send();
    }
  }

  // From Ready: the next call goes to the worker.
  void Send() {
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    m_state = WorkerState::Calling;
    if (++m_callNumber == 0) m_callNumber = 1;  // 0 is the start's
    const unsigned generation = m_generation;
    auto self = shared_from_this();
    m_process->Write(
        worker::EncodeFrame(
            Frame{FrameKind::Request, worker::RequestPayload(m_current->request), m_callNumber}),
        [self, generation](bool written) {
          if (!written && generation == self->m_generation) {
            self->WorkerGone(Say(Words::kWorkerInputClosed));
          }
        });
    m_callTimer.expires_after(Limit());
    m_callTimer.async_wait([self, generation](const boost::system::error_code& error) {
      if (error || generation != self->m_generation || self->m_state != WorkerState::Calling)
        return;
      self->TimedOut();
    });
  }

  void ReadNext(unsigned generation) {
    auto self = shared_from_this();
    m_process->Read([self, generation](bool ok, const char* bytes, std::size_t count) {
      if (generation != self->m_generation) return;
      if (!ok) {
        self->WorkerGone(Say(Words::kWorkerEndedUnexpectedly));
        return;
      }
      self->m_reader.Append(bytes, count);
      while (std::optional<Frame> frame = self->m_reader.Next()) {
        self->Handle(*frame);
        if (generation != self->m_generation) return;
      }
      if (self->m_reader.failed()) {
        self->Fault(Say(Words::kWorkerAnswerUnreadable));
        return;
      }
      self->ReadNext(generation);
    });
  }

  // The number that a frame of the worker must carry now: the call in
  // flight's, or 0 before any call.
  std::uint32_t ExpectedCall() const { return m_state == WorkerState::Calling ? m_callNumber : 0; }

  void Handle(const Frame& frame) {
    if (frame.call != ExpectedCall()) {
      return Fault(Say(Words::kWorkerAnswerOutOfTurn,
                       {std::to_string(frame.call), std::to_string(ExpectedCall())}));
    }
    if (frame.kind == FrameKind::Ready && m_state == WorkerState::Starting) {
      const std::optional<int> version = worker::ParseReady(frame.payload);
      if (!version) return Fault(Say(Words::kWorkerAnswerUnreadable));
      m_state = WorkerState::Ready;
      m_version = *version;
      m_startTimer.cancel();
      Log(Say(Words::kWorkerReady, {std::to_string(*version)}));
      Pump();
    } else if (frame.kind == FrameKind::Unavailable &&
               (m_state == WorkerState::Starting || m_state == WorkerState::Calling)) {
      Retire(Say(Words::kWorkerSays, {frame.payload}));  // the payload says what could not load
      FailAll(frame.payload);
    } else if (frame.kind == FrameKind::Answer && m_state == WorkerState::Calling) {
      const std::optional<worker::WorkerAnswer> parsed = worker::ParseAnswer(frame.payload);
      if (!parsed) return Fault(Say(Words::kWorkerAnswerUnreadable));
      m_callTimer.cancel();
      CardAnswer answer = Outcome(CallOutcome::Answered, parsed->text);
      answer.ok = parsed->ok;
      Finish(std::move(answer));
      m_state = WorkerState::Ready;
      Pump();
    } else {
      Fault(Say(Words::kWorkerAnswerUnreadable));
    }
  }

  // Answers the running call, if any.
  void Finish(CardAnswer answer) {
    if (!m_current) return;
    Answer(m_current->done, std::move(answer));
    m_current.reset();
  }

  // Ends the present worker (if any) and logs why, with how it ended, also
  // as a failure (the system's event log); the state is NoWorker after it.
  void Retire(const std::string& why, bool logWhenReaped = true) {
    ++m_generation;
    m_state = WorkerState::NoWorker;
    m_callTimer.cancel();
    m_startTimer.cancel();
    if (!m_process) return;
    std::shared_ptr<worker::WorkerProcess> process = std::move(m_process);
    auto log = logWhenReaped ? m_settings.log : nullptr;
    auto failed = logWhenReaped ? m_settings.failed : nullptr;
    process->End([log, failed, why](const std::string& how) {
      const std::string line = Say(Words::kHowItEnded, {why, how});
      if (log) log(line);
      if (failed) failed(line);
    });
  }

  // The one place a worker is replaced after it failed a call: it is ended
  // (why goes to the log), the call gets answer, and a fresh worker starts
  // for the calls behind it.
  void ReplaceWorker(const std::string& why, CardAnswer answer) {
    Retire(why);
    Finish(std::move(answer));
    StartWorker();
  }

  // Every call held, the running one included, answered Unavailable.
  void FailAll(const std::string& message) {
    Finish(Outcome(CallOutcome::Unavailable, message));
    while (!m_queue.empty()) {
      Answer(m_queue.front().done, Outcome(CallOutcome::Unavailable, message));
      m_queue.pop_front();
    }
  }

  void TimedOut() {
    ReplaceWorker(Say(Words::kDriverNoAnswer, {Seconds()}),
                  Outcome(CallOutcome::TimedOut, Say(Words::kAnswerDriverNoAnswer, {Seconds()})));
  }

  // The worker ended on its own, or closed its pipes.
  void WorkerGone(const std::string& why) {
    switch (m_state) {
      case WorkerState::Calling:
        ReplaceWorker(Say(Words::kWorkerDiedInCall, {why}),
                      Outcome(CallOutcome::WorkerDied, Say(Words::kAnswerDriverCrashed)));
        break;
      case WorkerState::Starting:
        Retire(Say(Words::kWorkerDiedStarting, {why}));
        FailAll(Say(Words::kAnswerWorkerCannotStart));
        break;
      default:
        Retire(Say(Words::kWorkerDiedIdle, {why}));  // the next call starts a fresh one
        break;
    }
  }

  // The worker sent what it must not: it cannot be trusted with more calls.
  void Fault(const std::string& why) {
    if (m_state == WorkerState::Calling) {
      ReplaceWorker(Say(Words::kWorkerFaultEnded, {why}),
                    Outcome(CallOutcome::WorkerDied, Say(Words::kAnswerWorkerFaultInCall)));
    } else {
      Retire(Say(Words::kWorkerFaultEnded, {why}));
      FailAll(Say(Words::kAnswerWorkerFault));
    }
  }

  boost::asio::io_context& m_loop;
  WorkerSettings m_settings;
  boost::asio::steady_timer m_callTimer;
  boost::asio::steady_timer m_startTimer;
  WorkerState m_state = WorkerState::NoWorker;
  std::shared_ptr<worker::WorkerProcess> m_process;  // set from Starting to Calling
  worker::FrameReader m_reader;
  unsigned m_generation = 0;       // which worker the pending handlers belong to
  std::uint32_t m_callNumber = 0;  // the last request's number
  int m_version = -1;
  std::optional<PendingCall> m_current;
  std::deque<PendingCall> m_queue;
};

class WorkerCardCalls : public CardCalls {
 public:
  explicit WorkerCardCalls(std::shared_ptr<Supervisor> supervisor)
      : m_supervisor(std::move(supervisor)) {}
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
