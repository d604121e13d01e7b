// The version resource of readcard.dll, read as Explorer's file properties
// and installers read it: it must name the version that QTZ_DLL_BBH answers.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pe_image.h"

namespace {

std::string DllPath() { return host::ProgramDirectory() + "readcard.dll"; }

std::vector<char> ReadVersionInfo(const std::string& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  std::vector<char> data(size);
  if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, data.data())) data.clear();
  return data;
}

// A string of the first language block that the resource lists.
std::string StringValue(std::vector<char>& info, const char* name) {
  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation)) {
    return "(no translation)";
  }
  char query[128];
  wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", translations->language, translations->codePage,
            name);
  char* value = nullptr;
  if (!VerQueryValueA(info.data(), query, reinterpret_cast<void**>(&value), &length)) {
    return "(missing)";
  }
  return value;
}

int32_t VersionNumberOfTheLibrary() {
  HMODULE module = LoadLibraryA(DllPath().c_str());
  if (module == nullptr) return -1;
  using NoArgs = int32_t(__stdcall*)();
  auto version =
      reinterpret_cast<NoArgs>(reinterpret_cast<void*>(GetProcAddress(module, "QTZ_DLL_BBH")));
  int32_t number = version != nullptr ? version() : -1;
  FreeLibrary(module);
  return number;
}

TEST(VersionResource, FileVersionIsTheVersionNumberThatTheLibraryAnswers) {
  std::vector<char> info = ReadVersionInfo(DllPath());
  ASSERT_FALSE(info.empty()) << "readcard.dll has no version resource";
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);

  const int32_t number = VersionNumberOfTheLibrary();
  EXPECT_EQ(number, 86);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), static_cast<WORD>(number));
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), 0);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
}

TEST(VersionResource, NamesTheProductAndTheFile) {
  std::vector<char> info = ReadVersionInfo(DllPath());
  ASSERT_FALSE(info.empty());
  const std::string number = std::to_string(VersionNumberOfTheLibrary());
  EXPECT_EQ(StringValue(info, "ProductName"), "readcard");
  EXPECT_EQ(StringValue(info, "OriginalFilename"), "readcard.dll");
  EXPECT_EQ(StringValue(info, "FileVersion"), number + ".0.0.0");
  EXPECT_EQ(StringValue(info, "ProductVersion"), number);
  const std::string description = StringValue(info, "FileDescription");
  EXPECT_NE(description.find("readcard"), std::string::npos);
  // Explorer shows the description: the 64-bit library says so there.
  EXPECT_EQ(description.find("(64-bit)") != std::string::npos, sizeof(void*) == 8) << description;
}

}  // namespace
