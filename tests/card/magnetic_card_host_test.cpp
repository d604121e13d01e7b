// CK_DKH as a host program reaches it: readcard.dll loaded from the program's
// directory and called through a __stdcall pointer.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>

#include "magnetic_track_cases.h"
#include "pe_image.h"
#include "tests/support/day_log.h"

namespace {

using MagneticCardExport = int32_t(__stdcall*)(int32_t, int32_t, const char*, char**);

class LoadedMagneticRead : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA((host::ProgramDirectory() + "readcard.dll").c_str());
    ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    function_ = reinterpret_cast<MagneticCardExport>(
        reinterpret_cast<void*>(GetProcAddress(module_, "CK_DKH")));
    ASSERT_NE(function_, nullptr);
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  magnetic::MagneticCardRead Read() const {
    MagneticCardExport function = function_;
    return [function](const char* track, char** cardNumber) {
      return function(0x11111111, 0x22222222, track, cardNumber);
    };
  }
  std::string LogPath() const {
    return testing_support::DayLogPath(host::ProgramDirectory(), '\\');
  }

  HMODULE module_ = nullptr;
  MagneticCardExport function_ = nullptr;
};

TEST_F(LoadedMagneticRead, AnswersEveryTrackCase) { magnetic::RunTrackCases(Read(), LogPath()); }

TEST_F(LoadedMagneticRead, RefusesNullArguments) {
  magnetic::RunNullArgumentCases(Read(), LogPath());
}

}  // namespace
