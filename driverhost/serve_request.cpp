#include "driverhost/serve_request.h"

#include <cstring>
#include <vector>

#include "driver/card_driver.h"
#include "driver/guarded_call.h"
#include "driver/record_area.h"

namespace driverhost {

namespace {

using driver::protocol::Answer;
using driver::protocol::Outcome;
using driver::protocol::Request;

// Frees the driver on every path out of the request.
class LoadedDriver {
 public:
  LoadedDriver(const driver::LibraryLoader& loader, const std::string& path)
      : m_loader(loader), m_module(loader.load(path.c_str())) {}
  ~LoadedDriver() {
    if (m_module != nullptr) m_loader.release(m_module);
  }
  LoadedDriver(const LoadedDriver&) = delete;
  LoadedDriver& operator=(const LoadedDriver&) = delete;
  driver::ModuleHandle module() const { return m_module; }

 private:
  const driver::LibraryLoader& m_loader;
  driver::ModuleHandle m_module;
};

}  // namespace

Answer ServeRequest(const Request& request, const driver::LibraryLoader& loader) {
  Answer answer;
  answer.record = request.record;
  answer.record.resize(driver::protocol::kRecordSize, '\0');
  LoadedDriver loaded(loader, request.driverPath);
  if (loaded.module() == nullptr) {
    answer.outcome = Outcome::kNotLoaded;
    return answer;
  }
  const driver::FunctionAddress read = loader.find(loaded.module(), driver::kReadCardFunction);
  if (read == nullptr) {
    answer.outcome = Outcome::kNoReadFunction;
    return answer;
  }
  // The record area with its slack and its inaccessible page, as in the
  // library's process; a plain buffer of the same size where there is no
  // memory for one.
  driver::RecordArea area;
  std::vector<char> fallback;
  char* record = area.data();
  if (record == nullptr) {
    fallback.resize(driver::RecordArea::kSize + driver::RecordArea::kMinimumSlack);
    record = fallback.data();
  }
  std::memcpy(record, answer.record.data(), driver::protocol::kRecordSize);
  const driver::CallOutcome outcome = driver::CallGuarded(read, driver::kReadBasicInfo, record);
  answer.record.assign(record, driver::protocol::kRecordSize);
  answer.result = outcome.result;
  if (outcome.fault) {
    answer.outcome = Outcome::kFaulted;
    answer.faultCode = outcome.fault->code;
    answer.faultAddress = outcome.fault->address;
    answer.faultModule = outcome.fault->module;
  }
  return answer;
}

}  // namespace driverhost
