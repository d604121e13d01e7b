// CK_DKH linked into the test program, as the library's own code runs it.
#include <gtest/gtest.h>

#include <cstring>

#include "card/exports.h"
#include "card/magnetic_card.h"
#include "magnetic_track_cases.h"
#include "tests/support/day_log.h"
#include "host/executable_path.h"
#include "host/host_directory.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

int32_t ReadLinked(const char* track, char** cardNumber) { return CK_DKH(0, 0, track, cardNumber); }

std::string LogPath() {
  return testing_support::DayLogPath(host::HostDirectory(), host::kPathSeparator);
}

TEST(MagneticCard, AnswersEveryTrackCase) { magnetic::RunTrackCases(ReadLinked, LogPath()); }

TEST(MagneticCard, RefusesNullArguments) { magnetic::RunNullArgumentCases(ReadLinked, LogPath()); }

// Two pages, the second one inaccessible: text placed at the very end of the
// first crashes whoever reads past it.
class GuardedPage {
 public:
  GuardedPage() {
#ifdef _WIN32
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    size_ = info.dwPageSize;
    base_ = static_cast<char*>(
        VirtualAlloc(nullptr, 2 * size_, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    DWORD old;
    if (base_ != nullptr) VirtualProtect(base_ + size_, size_, PAGE_NOACCESS, &old);
#else
    size_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    void* memory =
        mmap(nullptr, 2 * size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    base_ = memory == MAP_FAILED ? nullptr : static_cast<char*>(memory);
    if (base_ != nullptr) mprotect(base_ + size_, size_, PROT_NONE);
#endif
  }
  ~GuardedPage() {
#ifdef _WIN32
    if (base_ != nullptr) VirtualFree(base_, 0, MEM_RELEASE);
#else
    if (base_ != nullptr) munmap(base_, 2 * size_);
#endif
  }
  bool ok() const { return base_ != nullptr; }
  // Copies bytes (no NUL added) so that they end right at the guard.
  const char* PlaceAtEnd(const std::string& bytes) {
    char* start = base_ + size_ - bytes.size();
    std::memcpy(start, bytes.data(), bytes.size());
    return start;
  }

 private:
  char* base_ = nullptr;
  std::size_t size_ = 0;
};

TEST(MagneticCard, MeasuresNoFurtherThanOneBytePastATrack) {
  GuardedPage page;
  ASSERT_TRUE(page.ok());
  char* slot = nullptr;
  // 38 bytes and no NUL: known too long without looking at a 39th byte.
  const char* track = page.PlaceAtEnd("123456780000123456=0096337919876543210");
  EXPECT_EQ(CK_DKH(0, 0, track, &slot), -1);
  EXPECT_EQ(slot, nullptr);
  // A good track ending in its NUL right at the guard still reads.
  track = page.PlaceAtEnd(std::string("123456780000123456=009633791987654321") + '\0');
  EXPECT_EQ(CK_DKH(0, 0, track, &slot), 0);
  ASSERT_NE(slot, nullptr);
  EXPECT_STREQ(slot, "0000123456");
}

}  // namespace
