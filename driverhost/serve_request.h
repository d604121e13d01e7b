#pragma once
// readcard-driverhost runs the card reader's driver for the library, one
// request at a time: this is one request, from the driver's file to the
// answer, as the library would have done it in its own process.
#include "driver/driver_host_protocol.h"
#include "driver/library_loader.h"

namespace driverhost {

// Loads the driver from request.driverPath, calls iReadCardBas(4, record)
// through the guarded call over a record area that starts with the request's
// record bytes, frees the driver and answers what happened. Prints nothing.
driver::protocol::Answer ServeRequest(const driver::protocol::Request& request,
                                      const driver::LibraryLoader& loader);

// How the driver host loads the driver: as the library does, except that on
// Windows the driver's own directory is searched first for the libraries it
// needs (in the library's process that is the host program's directory,
// where the driver lies; here it would be the driver host's).
const driver::LibraryLoader& DriverLoader();

}  // namespace driverhost
