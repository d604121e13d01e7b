// Windows has its own service control manager (windows_service_win.cpp):
// no notification socket, no journal.
#include <windows.h>

#include "service/service_manager.h"

namespace service::manager {

bool Notify(const std::string&, const std::string&) { return false; }
bool StandardErrorIs(unsigned long long, unsigned long long) { return false; }
long ProcessId() { return static_cast<long>(GetCurrentProcessId()); }

}  // namespace service::manager
