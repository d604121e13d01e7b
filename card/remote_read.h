#pragma once
// The driver call of the IC card reads, made by readcard-driverhost instead
// of in the host's process (readcard.ini [driver] isolation=process). The
// card logic, the records and the log stay here and read exactly as in the
// host's process; only the driver's call crosses to the driver host.

namespace card {

// Has the driver host beside the library load the driver from the host
// program's directory and read the card into RecordBuffer, as
// ReadCardRecord does in this process. True when the driver answered 0;
// otherwise the failure has been logged (and "LoadLibrary failed" printed,
// as in this process, when the driver could not be loaded).
bool ReadCardRecordInDriverHost(int timeoutSeconds);

}  // namespace card
