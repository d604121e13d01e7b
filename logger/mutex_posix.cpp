#include "logger/mutex.h"

namespace logger {

Mutex::Mutex() = default;

Mutex::~Mutex() = default;

void Mutex::lock() { m_mutex.lock(); }

void Mutex::unlock() { m_mutex.unlock(); }

}  // namespace logger
