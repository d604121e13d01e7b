#include <windows.h>

#include <deque>

#include "driver/call_queue.h"

namespace driver {

static_assert(sizeof(CRITICAL_SECTION) <= 48, "CallQueue keeps a CRITICAL_SECTION inline");

// The events of the threads waiting for their turn, first come first.
struct CallQueue::Waiters {
  std::deque<HANDLE> events;
};

namespace {
CRITICAL_SECTION* Section(unsigned char* storage) {
  return reinterpret_cast<CRITICAL_SECTION*>(storage);
}
}  // namespace

CallQueue::CallQueue() : m_waiters(new Waiters) { InitializeCriticalSection(Section(m_section)); }

CallQueue::~CallQueue() {
  DeleteCriticalSection(Section(m_section));
  delete m_waiters;
}

void CallQueue::Enter() {
  EnterCriticalSection(Section(m_section));
  if (!m_busy) {
    m_busy = true;
    LeaveCriticalSection(Section(m_section));
    return;
  }
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (event == nullptr) {
    // No event to wait on: wait by looking again now and then.
    while (m_busy) {
      LeaveCriticalSection(Section(m_section));
      Sleep(1);
      EnterCriticalSection(Section(m_section));
    }
    m_busy = true;
    LeaveCriticalSection(Section(m_section));
    return;
  }
  m_waiters->events.push_back(event);
  LeaveCriticalSection(Section(m_section));
  // Leave hands the turn over: m_busy stays set for this thread.
  WaitForSingleObject(event, INFINITE);
  CloseHandle(event);
}

void CallQueue::Leave() {
  EnterCriticalSection(Section(m_section));
  if (m_waiters->events.empty()) {
    m_busy = false;
  } else {
    SetEvent(m_waiters->events.front());
    m_waiters->events.pop_front();
  }
  LeaveCriticalSection(Section(m_section));
}

}  // namespace driver
