// QTZ_DKH and SBK_YKT_ICGETINFO as a host program reaches them: readcard.dll
// loaded from the program's directory, the simulated SSCardDriver.dll beside
// it, calls through __stdcall pointers.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

#include "ic_card_cases.h"
#include "pe_image.h"

namespace {

using CardNumberExport = int32_t(__stdcall*)(int32_t, int32_t, int32_t, int32_t,
                                             char**, char**);
using CardInfoExport = int32_t(__stdcall*)(int32_t, int32_t, char**, int32_t*);
using MagneticExport = int32_t(__stdcall*)(int32_t, int32_t, const char*, char**);

template <typename Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class LoadedIcCard : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA((host::ProgramDirectory() + "readcard.dll").c_str());
    ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    auto number = Export<CardNumberExport>(module_, "QTZ_DKH");
    auto info = Export<CardInfoExport>(module_, "SBK_YKT_ICGETINFO");
    auto track = Export<MagneticExport>(module_, "CK_DKH");
    ASSERT_TRUE(number != nullptr && info != nullptr && track != nullptr);
    exports_ = {
        [number](char** a, char** b) { return number(0, 0, 0, 0, a, b); },
        [info](char** text, int32_t* status) { return info(0, 0, text, status); },
        [track](const char* t, char** n) { return track(0, 0, t, n); },
    };
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }

  HMODULE module_ = nullptr;
  iccard::CardExports exports_;
  iccard::HostDirectory host_{host::ProgramDirectory(), '\\'};
};

TEST_F(LoadedIcCard, CardNumber) { iccard::RunCardNumberCases(exports_, host_); }
TEST_F(LoadedIcCard, CardInfo) { iccard::RunCardInfoCases(exports_, host_); }
TEST_F(LoadedIcCard, DriverTrouble) { iccard::RunDriverTroubleCases(exports_, host_); }
TEST_F(LoadedIcCard, BufferSharing) { iccard::RunBufferSharingCases(exports_, host_); }
TEST_F(LoadedIcCard, NullArguments) { iccard::RunNullArgumentCases(exports_, host_); }

}  // namespace
