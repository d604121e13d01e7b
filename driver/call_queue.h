#pragma once
// Platform seam: a lock that threads get in the order they asked for it, so
// that card reads from several threads reach the driver host one at a time,
// first come first served. Windows: a critical section and one event for each
// waiting thread (nothing Vista added); POSIX: a mutex, a condition variable
// and tickets. Usable from static initialisation on.
#include <cstdint>

#ifndef _WIN32
#include <condition_variable>
#include <mutex>
#endif

namespace driver {

class CallQueue {
 public:
  CallQueue();
  ~CallQueue();
  CallQueue(const CallQueue&) = delete;
  CallQueue& operator=(const CallQueue&) = delete;

  void Enter();  // returns when every thread that entered before has left
  void Leave();

 private:
#ifdef _WIN32
  struct Waiters;
  alignas(8) unsigned char m_section[48];  // a CRITICAL_SECTION, checked in the .cpp
  Waiters* m_waiters;
  bool m_busy = false;
#else
  std::mutex m_mutex;
  std::condition_variable m_turn;
  uint64_t m_nextTicket = 0;
  uint64_t m_serving = 0;
#endif
};

// Holds a turn for the lifetime of the object.
class CallTurn {
 public:
  explicit CallTurn(CallQueue& queue) : m_queue(queue) { m_queue.Enter(); }
  ~CallTurn() { m_queue.Leave(); }
  CallTurn(const CallTurn&) = delete;
  CallTurn& operator=(const CallTurn&) = delete;

 private:
  CallQueue& m_queue;
};

}  // namespace driver
