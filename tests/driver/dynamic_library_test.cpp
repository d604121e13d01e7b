// The binding's bookkeeping, over a loader that only counts and answers as
// told; tests with real driver libraries are in card_driver_test.cpp.
#include "driver/dynamic_library.h"
#include "tests/support/library_call.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct FakeSystem {
  std::vector<std::string> loaded;  // paths, in order
  std::vector<driver::ModuleHandle> released;
  int finds = 0;
  bool releaseSucceeds = true;
};
FakeSystem g_system;

int g_moduleA, g_moduleB;  // their addresses serve as handles

driver::ModuleHandle FakeLoad(const char* path) {
  g_system.loaded.push_back(path);
  if (std::string(path) == "a") return reinterpret_cast<driver::ModuleHandle>(&g_moduleA);
  if (std::string(path) == "b") return reinterpret_cast<driver::ModuleHandle>(&g_moduleB);
  return nullptr;
}

int32_t DRIVER_CALL Twice(int32_t value) { return 2 * value; }

driver::FunctionAddress FakeFind(driver::ModuleHandle, const char* name) {
  ++g_system.finds;
  return std::string(name) == "Twice" ? reinterpret_cast<driver::FunctionAddress>(&Twice) : nullptr;
}

bool FakeRelease(driver::ModuleHandle module) {
  g_system.released.push_back(module);
  return g_system.releaseSucceeds;
}

const driver::LibraryLoader kFakeLoader = {FakeLoad, FakeFind, FakeRelease};

class DynamicLibraryTest : public testing::Test {
 protected:
  void SetUp() override { g_system = FakeSystem(); }
};

TEST_F(DynamicLibraryTest, WithoutALibraryNothingIsLookedUp) {
  driver::DynamicLibrary library(kFakeLoader);
  EXPECT_THROW(testing_support::CallFunction<int32_t>(library, "Twice", 1), std::runtime_error);
  EXPECT_FALSE(library.Load("missing"));
  EXPECT_THROW(testing_support::CallFunction<int32_t>(library, "Twice", 1), std::runtime_error);
  EXPECT_EQ(g_system.finds, 0);
}

TEST_F(DynamicLibraryTest, LoadingAgainFreesTheEarlierLibraryAndItsAddresses) {
  driver::DynamicLibrary library(kFakeLoader);
  ASSERT_TRUE(library.Load("a"));
  testing_support::CallFunction<int32_t>(library, "Twice", 1);
  ASSERT_TRUE(library.Load("b"));
  ASSERT_EQ(g_system.released.size(), 1u);
  EXPECT_EQ(g_system.released[0], reinterpret_cast<driver::ModuleHandle>(&g_moduleA));
  EXPECT_TRUE(library.functions.empty());
}

TEST_F(DynamicLibraryTest, ARefusedReleaseKeepsTheHandle) {
  g_system.releaseSucceeds = false;
  driver::DynamicLibrary library(kFakeLoader);
  ASSERT_TRUE(library.Load("a"));
  library.Unload();
  EXPECT_EQ(library.module, reinterpret_cast<driver::ModuleHandle>(&g_moduleA));
  EXPECT_EQ(g_system.released.size(), 1u);
}

}  // namespace
