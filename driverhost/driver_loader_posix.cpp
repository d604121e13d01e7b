#include "driverhost/serve_request.h"

namespace driverhost {

// dlopen finds what the driver needs through its own run path, as in the
// library's process.
const driver::LibraryLoader& DriverLoader() { return driver::PlatformLibraryLoader(); }

}  // namespace driverhost
