// QTZ_DKH and SBK_YKT_ICGETINFO linked into the test program, with the
// simulated driver beside it: natively, and under Wine; the driver called in
// this process and through the driver host beside the program.
#include <gtest/gtest.h>

#include "card/exports.h"
#include "driver/driver_host_client.h"
#include "ic_card_cases.h"
#include "isolation_cases.h"
#include "host/executable_path.h"
#include "host/library_path.h"
#include "host/host_directory.h"

namespace {

using iccard::Isolation;

iccard::CardExports LinkedExports() {
  return {
      [](char** a, char** b) { return QTZ_DKH(1, 2, 3, 4, a, b); },
      [](char** info, int32_t* status) { return SBK_YKT_ICGETINFO(-1, 0x7FFFFFFF, info, status); },
      [](const char* track, char** number) { return CK_DKH(5, 6, track, number); },
  };
}

class LinkedIcCard : public ::testing::TestWithParam<Isolation> {
 protected:
  void SetUp() override {
    if (GetParam() == Isolation::kProcess) SKIP_WITHOUT_CHILD_PROGRAMS();
    host_.UseIsolation(GetParam());
  }
  iccard::HostDirectory host_{host::HostDirectory(), host::kPathSeparator};
};

TEST_P(LinkedIcCard, CardNumber) { iccard::RunCardNumberCases(LinkedExports(), host_); }
TEST_P(LinkedIcCard, CardInfo) { iccard::RunCardInfoCases(LinkedExports(), host_); }
TEST_P(LinkedIcCard, DriverTrouble) { iccard::RunDriverTroubleCases(LinkedExports(), host_); }
TEST_P(LinkedIcCard, BufferSharing) { iccard::RunBufferSharingCases(LinkedExports(), host_); }
TEST_P(LinkedIcCard, NullArguments) { iccard::RunNullArgumentCases(LinkedExports(), host_); }
TEST_P(LinkedIcCard, DriverSlack) { iccard::RunDriverSlackCases(LinkedExports(), host_); }

INSTANTIATE_TEST_SUITE_P(Isolation, LinkedIcCard,
                         ::testing::Values(Isolation::kNone, Isolation::kProcess),
                         [](const auto& info) { return iccard::IsolationName(info.param); });

class LinkedDriverHost : public ::testing::Test {
 protected:
  void SetUp() override { SKIP_WITHOUT_CHILD_PROGRAMS(); }
  iccard::HostDirectory host_{host::HostDirectory(), host::kPathSeparator};
};

TEST_F(LinkedDriverHost, EachFaultCostsOneRead) {
  iccard::RunDriverHostFaultCases(LinkedExports(), host_);
}
TEST_F(LinkedDriverHost, MissingDriverHost) {
  iccard::RunDriverHostMissingCases(LinkedExports(), host_,
                                    host::LibraryDirectory() + driver::kDriverHostFile);
}
TEST_F(LinkedDriverHost, ThreadsTakeTurns) {
  iccard::RunConcurrentReadCases(LinkedExports(), host_);
}
TEST_F(LinkedDriverHost, ReadcardIni) { iccard::RunReadcardIniCases(LinkedExports(), host_); }

}  // namespace
