#pragma once
// The card library as the worker process holds it: loaded once and kept
// between calls, its exports resolved by name as any host resolves them, and
// loaded afresh when the local date has moved on (the library names its log
// file by the date on which it was loaded, and a failed call's reason is
// read back from that file).
#include <ctime>
#include <optional>
#include <string>

#include "driver/library_loader.h"
#include "include/readcard.h"
#include "service/card_calls.h"
#include "service/worker/worker_protocol.h"

namespace service::worker {

class CardLibrary {
 public:
  using LocalClock = std::tm (*)();

  // path: the library's file. home: the directory below which the library
  // keeps its log (the host directory by its own rules), ending in its
  // separator. clock tells the local time.
  CardLibrary(const driver::LibraryLoader& loader, std::string path, std::string home,
              LocalClock clock);
  ~CardLibrary();
  CardLibrary(const CardLibrary&) = delete;
  CardLibrary& operator=(const CardLibrary&) = delete;

  // Loads the library and resolves its exports; false when it cannot, and
  // problem() then says why (UTF-8).
  bool Load();
  const std::string& problem() const { return m_problem; }

  // What QTZ_DLL_BBH answers; -1 while the library is not loaded.
  int Version() const;

  // Makes one card call (loading the library afresh first when the date has
  // changed since it was loaded); nothing when the library cannot be loaded.
  // A failed call answers its record's message from the log, or
  // Words::kNothingLogged when it left none, or Words::kOwnRecordUnknown
  // when its own record cannot be told apart from other writers' lines.
  std::optional<WorkerAnswer> Call(const CardRequest& request);

 private:
  void Release();
  WorkerAnswer Failure(std::size_t logSizeBefore) const;

  const driver::LibraryLoader& m_loader;
  std::string m_path;
  std::string m_home;
  LocalClock m_clock;
  std::string m_problem;

  driver::ModuleHandle m_module = nullptr;
  std::string m_loadDate;  // the local date of the load, as the log file names it
  std::string m_logPath;   // the day's log file that the library writes
  READCARD_QTZ_DLL_BBH_FN m_version = nullptr;
  READCARD_QTZ_DKH_FN m_icCardNumber = nullptr;
  READCARD_CK_DKH_FN m_magneticCard = nullptr;
  READCARD_SBK_YKT_ICGETINFO_FN m_icCardInfo = nullptr;
};

}  // namespace service::worker
