// A host may call readcard.dll from several threads. Each thread's exception
// handling inside the DLL keeps its own state: failures that raise and catch
// on several threads at once each end as one -1 and one record, and the
// state goes when its thread ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "pe_image.h"
#include "process_resources.h"
#include "tests/support/day_log.h"
#include "tests/support/threads.h"

namespace {

using MagneticCardExport = int32_t(__stdcall*)(int32_t, int32_t, const char*, char**);

TEST(ThreadExceptions, FailuresRaisedOnSeveralThreadsAtOnceStayApart) {
  constexpr int kThreads = 4;
  constexpr int kCalls = 150;
  testing_support::LogWatch log(testing_support::DayLogPath(host::ProgramDirectory(), '\\'));
  // A first cycle takes what the system keeps for the process.
  FreeLibrary(LoadLibraryA((host::ProgramDirectory() + "readcard.dll").c_str()));
  const std::size_t heapBefore = host::HeapBytesInUse();
  HMODULE module = LoadLibraryA((host::ProgramDirectory() + "readcard.dll").c_str());
  ASSERT_NE(module, nullptr);
  auto read = reinterpret_cast<MagneticCardExport>(
      reinterpret_cast<void*>(GetProcAddress(module, "CK_DKH")));
  ASSERT_NE(read, nullptr);

  // The card number field holds no digits: the conversion raises inside.
  std::atomic<int> wrongAnswers{0};
  testing_support::RunOnThreads(kThreads, [&](int) {
    for (int call = 0; call < kCalls; ++call) {
      char* number = nullptr;
      if (read(0, 0, "12345678ABCDEFGHIJ=009633791987654321", &number) != -1 || number != nullptr) {
        ++wrongAnswers;
      }
    }
  });
  FreeLibrary(module);
  const std::size_t heapAfter = host::HeapBytesInUse();

  EXPECT_EQ(wrongAnswers.load(), 0);
  // Each thread's exception state went with the thread.
  std::printf("heap bytes %zu -> %zu\n", heapBefore, heapAfter);
  // Under heap checking the count is made by a run of its own without it.
  if (host::HeapBytesAreExact()) {
    EXPECT_LE(heapAfter, heapBefore + 16);
  }
  const std::vector<std::string> messages = log.NewMessages();
  EXPECT_EQ(messages.size(), static_cast<std::size_t>(kThreads * kCalls));
  for (const std::string& message : messages) {
    ASSERT_EQ(message, "读卡内容解析异常： invalid stol argument");
  }
}

}  // namespace
