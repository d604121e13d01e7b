#include "service/worker/card_library.h"

#include "logger/day_log.h"
#include "logger/log_file_name.h"
#include "service/library_location.h"
#include "service/messages.h"
#include "service/worker/log_message.h"
#include "service/worker/own_log_end.h"
#include "text/code_page.h"
#include "host/executable_path.h"
#include "host/host_directory.h"

namespace service::worker {

namespace {

template <typename Function>
Function Resolve(const driver::LibraryLoader& loader, driver::ModuleHandle module,
                 const char* name) {
  return reinterpret_cast<Function>(loader.find(module, name));
}

// The file's name without its directory, UTF-8: the message goes to web
// pages, which learn no path of the desk.
std::string FileName(const std::string& path) {
  const std::string directory = host::DirectoryOf(path, host::kPathSeparator, host::IsLeadByte);
  return text::SystemToUtf8(path.substr(directory.size()));
}

std::string TextAt(const char* text) { return text == nullptr ? std::string() : std::string(text); }

}  // namespace

CardLibrary::CardLibrary(const driver::LibraryLoader& loader, std::string path, std::string home,
                         LocalClock clock)
    : m_loader(loader), m_path(std::move(path)), m_home(std::move(home)), m_clock(clock) {}

CardLibrary::~CardLibrary() { Release(); }

bool CardLibrary::Load() {
  Release();
  const std::string& path = m_path;
  // The date before the load: the library takes its own at its load, and a
  // load that straddles midnight is caught by the next call's check.
  const std::tm now = m_clock();
  m_module = m_loader.load(path.c_str());
  if (m_module == nullptr) {
    m_problem = Say(IsLibraryPath(path) ? Words::kLibraryCannotLoad : Words::kLibraryNotFound,
                    {FileName(path)});
    return false;
  }
  m_version = Resolve<READCARD_QTZ_DLL_BBH_FN>(m_loader, m_module, "QTZ_DLL_BBH");
  m_icCardNumber = Resolve<READCARD_QTZ_DKH_FN>(m_loader, m_module, "QTZ_DKH");
  m_magneticCard = Resolve<READCARD_CK_DKH_FN>(m_loader, m_module, "CK_DKH");
  m_icCardInfo = Resolve<READCARD_SBK_YKT_ICGETINFO_FN>(m_loader, m_module, "SBK_YKT_ICGETINFO");
  if (m_version == nullptr || m_icCardNumber == nullptr || m_magneticCard == nullptr ||
      m_icCardInfo == nullptr) {
    Release();
    m_problem = Say(Words::kLibraryWrongVersion, {FileName(path)});
    return false;
  }
  m_loadDate = logger::FormatDate(now);
  m_logPath = logger::LogDirectory(m_home) + logger::LogFileNameFor(now);
  m_problem.clear();
  return true;
}

void CardLibrary::Release() {
  if (m_module != nullptr) m_loader.release(m_module);
  m_module = nullptr;
  m_version = nullptr;
  m_icCardNumber = nullptr;
  m_magneticCard = nullptr;
  m_icCardInfo = nullptr;
}

int CardLibrary::Version() const { return m_version != nullptr ? m_version() : -1; }

std::optional<WorkerAnswer> CardLibrary::Call(const CardRequest& request) {
  if (m_module == nullptr || logger::FormatDate(m_clock()) != m_loadDate) {
    if (!Load()) return std::nullopt;
  }
  const std::size_t logSize = logger::FileSize(m_logPath);
  int result = -1;
  char* answer = nullptr;
  switch (request.operation) {
    case CardOperation::IcCardNumber: {
      char* copy = nullptr;
      result = m_icCardNumber(0, 0, 0, 0, &answer, &copy);
      break;
    }
    case CardOperation::IcCardInfo: {
      int status = 0;
      result = m_icCardInfo(0, 0, &answer, &status);
      break;
    }
    case CardOperation::MagneticCard: {
      const std::string track = text::Utf8ToSystem(request.track);
      result = m_magneticCard(0, 0, track.c_str(), &answer);
      break;
    }
  }
  if (result != 0) return Failure(logSize);
  return WorkerAnswer{true, text::SystemToUtf8(TextAt(answer))};
}

WorkerAnswer CardLibrary::Failure(std::size_t logSizeBefore) const {
  // Other hosts in the same directory append to the same file, before and
  // after this call's record. Only the record that ends where this process's
  // own last append ended is taken, and only when that end closes a line, as
  // each of the library's records does. Where that record cannot be told
  // apart, the answer points to the log rather than risk another writer's
  // lines (another patient's record) reaching the page.
  const std::optional<std::size_t> ownEnd = OwnAppendEnd(m_logPath);
  if (ownEnd && *ownEnd <= logSizeBefore) return WorkerAnswer{false, Say(Words::kNothingLogged)};
  std::string written = logger::ReadFrom(m_logPath, logSizeBefore);
  // No handle and no growth: the library could not open its log.
  if (!ownEnd && written.empty()) return WorkerAnswer{false, Say(Words::kNothingLogged)};
  std::string logged;
  if (ownEnd) {
    const std::size_t ownLength = *ownEnd - logSizeBefore;
    if (ownLength <= written.size() && written[ownLength - 1] == '\n') {
      written.resize(ownLength);
      logged = LastLoggedMessage(written);
    }
  }
  if (logged.empty()) return WorkerAnswer{false, Say(Words::kOwnRecordUnknown)};
  return WorkerAnswer{false, text::SystemToUtf8(logged)};
}

}  // namespace service::worker
