// QTZ_DKH and SBK_YKT_ICGETINFO linked into the test program, with the
// simulated driver beside it: natively, and under Wine.
#include <gtest/gtest.h>

#include "card/exports.h"
#include "ic_card_cases.h"
#include "text/executable_path.h"
#include "text/module_directory.h"

namespace {

iccard::CardExports LinkedExports() {
  return {
      [](char** a, char** b) { return QTZ_DKH(1, 2, 3, 4, a, b); },
      [](char** info, int32_t* status) {
        return SBK_YKT_ICGETINFO(-1, 0x7FFFFFFF, info, status);
      },
      [](const char* track, char** number) { return CK_DKH(5, 6, track, number); },
  };
}

class LinkedIcCard : public ::testing::Test {
 protected:
  iccard::HostDirectory host_{GetModuleDirectory(), text::kPathSeparator};
};

TEST_F(LinkedIcCard, CardNumber) { iccard::RunCardNumberCases(LinkedExports(), host_); }
TEST_F(LinkedIcCard, CardInfo) { iccard::RunCardInfoCases(LinkedExports(), host_); }
TEST_F(LinkedIcCard, DriverTrouble) { iccard::RunDriverTroubleCases(LinkedExports(), host_); }
TEST_F(LinkedIcCard, BufferSharing) { iccard::RunBufferSharingCases(LinkedExports(), host_); }
TEST_F(LinkedIcCard, NullArguments) { iccard::RunNullArgumentCases(LinkedExports(), host_); }
TEST_F(LinkedIcCard, DriverSlack) { iccard::RunDriverSlackCases(LinkedExports(), host_); }

}  // namespace
