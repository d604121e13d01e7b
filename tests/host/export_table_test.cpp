// readcard.dll as a host sees it: the export table and what the exports leave
// behind.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

#include "pe_image.h"

namespace {

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA((host::ProgramDirectory() + "readcard.dll").c_str());
    ASSERT_NE(module_, nullptr) << "error " << GetLastError();
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(LoadedLibrary, ExportsExactlyTheTenNamesUnderTheirOrdinals) {
  const std::map<std::string, uint16_t> expected = {
      {"QTZ_DLL_BBH", 1},
      {"QTZ_DKH", 2},
      {"QTZ_ErrorString", 3},
      {"QTZ_FindWindow2", 4},
      {"CK_DKH", 5},
      {"QTZ_HSXK", 6},
      {"QTZ_YKT_JK_SD", 7},
      {"SBK_YKT_ICGETINFO", 8},
      {"SBK_YKT_ICPURCHASE", 9},
      {"SBK_YKT_ICTRANSLOG", 10},
  };
  EXPECT_EQ(host::ExportOrdinals(module_), expected);
  EXPECT_EQ(host::ExportSlotCount(module_), 10u);
  for (const auto& [name, ordinal] : expected) {
    FARPROC byName = GetProcAddress(module_, name.c_str());
    FARPROC byOrdinal = GetProcAddress(module_, MAKEINTRESOURCEA(ordinal));
    EXPECT_NE(byName, nullptr) << name;
    EXPECT_EQ(byName, byOrdinal) << name;
  }
}

TEST_F(LoadedLibrary, ComesFromTheHostDirectory) {
  EXPECT_EQ(host::ModulePath(module_), host::ProgramDirectory() + "readcard.dll");
}

TEST_F(LoadedLibrary, VersionAndInactiveExportsChangeNoStaticState) {
  using NoArgs = int32_t(__stdcall*)();
  using ThreeArgs = int32_t(__stdcall*)(int32_t, int32_t, int32_t);
  using OneArg = int32_t(__stdcall*)(int32_t);
  using SixArgs = int32_t(__stdcall*)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);
  using ElevenArgs = int32_t(__stdcall*)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                         int32_t, int32_t, int32_t, int32_t, int32_t);
  auto get = [&](const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(module_, name));
  };

  std::vector<uint8_t> before = host::WritableState(module_);
  ASSERT_FALSE(before.empty());
  EXPECT_EQ(reinterpret_cast<NoArgs>(get("QTZ_DLL_BBH"))(), 86);
  EXPECT_EQ(reinterpret_cast<ThreeArgs>(get("QTZ_ErrorString"))(1, 2, 3), 0);
  EXPECT_EQ(reinterpret_cast<OneArg>(get("QTZ_FindWindow2"))(7), 0);
  EXPECT_EQ(reinterpret_cast<SixArgs>(get("QTZ_HSXK"))(1, 2, 3, 4, 5, 6), 0);
  EXPECT_EQ(reinterpret_cast<NoArgs>(get("QTZ_YKT_JK_SD"))(), 0);
  EXPECT_EQ(
      reinterpret_cast<ElevenArgs>(get("SBK_YKT_ICPURCHASE"))(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11),
      0);
  EXPECT_EQ(reinterpret_cast<ThreeArgs>(get("SBK_YKT_ICTRANSLOG"))(0, 0, 0), 0);
  EXPECT_EQ(reinterpret_cast<NoArgs>(get("QTZ_DLL_BBH"))(), 86);
  EXPECT_TRUE(before == host::WritableState(module_))
      << "an inactive export changed the library's static data";
}

}  // namespace
