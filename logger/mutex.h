#pragma once
// Platform seam: the logger's lock. On Windows a CRITICAL_SECTION, so that
// the C++ runtime needs no thread library of its own; natively std::mutex.
// Usable from static initialisation on: the loggers are global objects.
#ifndef _WIN32
#include <mutex>
#endif

namespace logger {

class Mutex {
 public:
  Mutex();
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void lock();
  void unlock();

 private:
#ifdef _WIN32
  // A CRITICAL_SECTION, kept here without <windows.h>; mutex_win.cpp checks
  // that it fits.
  alignas(8) unsigned char m_section[48];
#else
  std::mutex m_mutex;
#endif
};

// Holds a Mutex for the lifetime of the object.
class MutexLock {
 public:
  explicit MutexLock(Mutex& mutex) : m_mutex(mutex) { m_mutex.lock(); }
  ~MutexLock() { m_mutex.unlock(); }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

 private:
  Mutex& m_mutex;
};

}  // namespace logger
