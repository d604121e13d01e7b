#include "driver/call_queue.h"

namespace driver {

CallQueue::CallQueue() = default;
CallQueue::~CallQueue() = default;

void CallQueue::Enter() {
  std::unique_lock<std::mutex> lock(m_mutex);
  const uint64_t ticket = m_nextTicket++;
  m_turn.wait(lock, [&] { return m_serving == ticket; });
}

void CallQueue::Leave() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_serving;
  }
  m_turn.notify_all();
}

}  // namespace driver
