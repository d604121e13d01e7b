#pragma once
// What only reading through the driver host shows, for QTZ_DKH and
// SBK_YKT_ICGETINFO however they are reached: each way a driver takes its
// process down costs one read and the next read works; a missing driver
// host and a readcard.ini value that cannot be used are told in one record.
#include <string>

#include "ic_card_cases.h"

namespace iccard {

// driverHost: the driver host program's full path (beside the library).
void RunDriverHostFaultCases(const CardExports& exports, HostDirectory& host);
void RunDriverHostMissingCases(const CardExports& exports, HostDirectory& host,
                               const std::string& driverHost);
void RunReadcardIniCases(const CardExports& exports, HostDirectory& host);
void RunConcurrentReadCases(const CardExports& exports, HostDirectory& host);

}  // namespace iccard
