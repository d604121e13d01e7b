#include <windows.h>

#include <new>

#include "logger/mutex.h"

namespace logger {
namespace {

CRITICAL_SECTION* Section(unsigned char* storage) {
  return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

}  // namespace

static_assert(sizeof(CRITICAL_SECTION) <= 48 && alignof(CRITICAL_SECTION) <= 8,
              "Mutex::m_section must hold a CRITICAL_SECTION");

// InitializeCriticalSection cannot fail from Windows Vista on; on XP it may
// raise an exception only when memory is exhausted at load.
Mutex::Mutex() { InitializeCriticalSection(new (m_section) CRITICAL_SECTION); }

Mutex::~Mutex() { DeleteCriticalSection(Section(m_section)); }

void Mutex::lock() { EnterCriticalSection(Section(m_section)); }

void Mutex::unlock() { LeaveCriticalSection(Section(m_section)); }

}  // namespace logger
