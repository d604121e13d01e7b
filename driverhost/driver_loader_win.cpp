#include <windows.h>

#include "driverhost/serve_request.h"

namespace driverhost {

namespace {

driver::ModuleHandle Load(const char* path) {
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

const driver::LibraryLoader& DriverLoader() {
  static const driver::LibraryLoader loader = {Load, driver::PlatformLibraryLoader().find,
                                               driver::PlatformLibraryLoader().release};
  return loader;
}

}  // namespace driverhost
