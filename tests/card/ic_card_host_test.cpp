// QTZ_DKH and SBK_YKT_ICGETINFO as a host program reaches them: readcard.dll
// loaded from the program's directory, the simulated SSCardDriver.dll beside
// it, calls through __stdcall pointers.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "ic_card_cases.h"
#include "isolation_cases.h"
#include "pe_image.h"
#include "stdcall_probe.h"

namespace {

using CardNumberExport = int32_t(__stdcall*)(int32_t, int32_t, int32_t, int32_t, char**, char**);
using CardInfoExport = int32_t(__stdcall*)(int32_t, int32_t, char**, int32_t*);
using MagneticExport = int32_t(__stdcall*)(int32_t, int32_t, const char*, char**);

template <typename Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// readcard.dll loaded, its three card exports at hand.
class LoadedLibrary {
 protected:
  void Load() {
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
  void Unload() {
    if (module_ != nullptr) FreeLibrary(module_);
    module_ = nullptr;
  }

  HMODULE module_ = nullptr;
  iccard::CardExports exports_;
  iccard::HostDirectory host_{host::ProgramDirectory(), '\\'};
};

// Every case in both places the driver may run.
class LoadedIcCard : public ::testing::TestWithParam<iccard::Isolation>, public LoadedLibrary {
 protected:
  void SetUp() override {
    host_.UseIsolation(GetParam());
    Load();
  }
  void TearDown() override { Unload(); }
};

TEST_P(LoadedIcCard, CardNumber) { iccard::RunCardNumberCases(exports_, host_); }
TEST_P(LoadedIcCard, CardInfo) { iccard::RunCardInfoCases(exports_, host_); }
TEST_P(LoadedIcCard, DriverTrouble) { iccard::RunDriverTroubleCases(exports_, host_); }
TEST_P(LoadedIcCard, BufferSharing) { iccard::RunBufferSharingCases(exports_, host_); }
TEST_P(LoadedIcCard, NullArguments) { iccard::RunNullArgumentCases(exports_, host_); }
TEST_P(LoadedIcCard, DriverSlack) { iccard::RunDriverSlackCases(exports_, host_); }
TEST_P(LoadedIcCard, DriverFaults) { iccard::RunDriverFaultCases(exports_, host_); }

uint32_t Address(const void* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// A driver built __cdecl leaves its arguments on the stack: the card reads
// answer exactly as with the __stdcall driver, crashes included, and each
// export still removes exactly its own arguments.
TEST_P(LoadedIcCard, CdeclDriver) {
  host_.UseDriver("SSCardDriverCdecl.dll");
  iccard::RunCardNumberCases(exports_, host_);
  iccard::RunCardInfoCases(exports_, host_);
  iccard::RunDriverFaultCases(exports_, host_);

  char* text = nullptr;
  char* copy = nullptr;
  int32_t status = 0;
  struct Call {
    const char* name;
    std::vector<uint32_t> args;
  };
  const Call calls[] = {
      {"QTZ_DKH", {1, 2, 3, 4, Address(&text), Address(&copy)}},
      {"SBK_YKT_ICGETINFO", {1, 2, Address(&text), Address(&status)}},
  };
  host_.SetDriverAnswer(0, "a|b|c|d|e|f|g|h");
  for (const Call& call : calls) {
    const void* function = reinterpret_cast<const void*>(GetProcAddress(module_, call.name));
    ASSERT_NE(function, nullptr) << call.name;
    int32_t stackDelta = 12345;
    EXPECT_EQ(CallMeasuringStack(function, call.args.data(), static_cast<int32_t>(call.args.size()),
                                 &stackDelta),
              0)
        << call.name;
    EXPECT_EQ(stackDelta, 0) << call.name;
  }
  host_.RestoreDriver();
}

INSTANTIATE_TEST_SUITE_P(Isolation, LoadedIcCard,
                         ::testing::Values(iccard::Isolation::kNone, iccard::Isolation::kProcess),
                         [](const auto& info) { return iccard::IsolationName(info.param); });

// What only the driver host shows, through readcard.dll.
class LoadedDriverHost : public ::testing::Test, public LoadedLibrary {
 protected:
  void SetUp() override { Load(); }
  void TearDown() override { Unload(); }
};

TEST_F(LoadedDriverHost, EachFaultCostsOneRead) {
  iccard::RunDriverHostFaultCases(exports_, host_);
}
TEST_F(LoadedDriverHost, MissingDriverHost) {
  iccard::RunDriverHostMissingCases(exports_, host_,
                                    host::ProgramDirectory() + "readcard-driverhost.exe");
}
TEST_F(LoadedDriverHost, ThreadsTakeTurns) { iccard::RunConcurrentReadCases(exports_, host_); }
TEST_F(LoadedDriverHost, ReadcardIni) { iccard::RunReadcardIniCases(exports_, host_); }

}  // namespace
