// Native benchmarks: each operation of the library against the floor it
// could reach (the *Floor benchmarks). scripts/bench.sh prints the ratios.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "bench/hand_check.h"
#include "card/exports.h"
#include "driver/card_driver.h"
#include "logger/local_time.h"
#include "logger/logger.h"
#include "host/host_directory.h"

namespace {

const char kFailureMessage[] = "磁卡号长度不正常";

void CardCheck(benchmark::State& state) {
  for (auto _ : state) {
    const char* track = bench::kGoodTrack;
    benchmark::DoNotOptimize(track);
    char* number = nullptr;
    benchmark::DoNotOptimize(CK_DKH(0, 0, track, &number));
    benchmark::DoNotOptimize(number);
  }
}
BENCHMARK(CardCheck);

void CardCheckFloor(benchmark::State& state) {
  char number[16];
  for (auto _ : state) {
    // The track is hidden from the optimiser, or it would check it once.
    const char* track = bench::kGoodTrack;
    benchmark::DoNotOptimize(track);
    benchmark::DoNotOptimize(bench::HandCheckTrack(track, number));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(CardCheckFloor);

void FailureRecord(benchmark::State& state) {
  for (auto _ : state) logger::g_fileLogger(logger::Error) << kFailureMessage;
}
BENCHMARK(FailureRecord);

// The same line, made once, written and flushed through stdio to a file
// beside the day's log.
void FailureRecordFloor(benchmark::State& state) {
  std::string line;
  logger::AppendRecordLine(line, logger::LocalTimeNow(), "Error", kFailureMessage, "\n");
  std::FILE* file = std::fopen((logger::g_fileLogger.fileName() + ".floor").c_str(), "ab");
  if (file == nullptr) {
    state.SkipWithError("cannot open the floor's file");
    return;
  }
  for (auto _ : state) {
    std::fwrite(line.data(), 1, line.size(), file);
    std::fflush(file);
  }
  std::fclose(file);
}
BENCHMARK(FailureRecordFloor);

void CardNumberRead(benchmark::State& state) {
  for (auto _ : state) {
    char *number = nullptr, *copy = nullptr;
    if (QTZ_DKH(0, 0, 0, 0, &number, &copy) != 0) {
      state.SkipWithError("QTZ_DKH failed");
      break;
    }
  }
}
BENCHMARK(CardNumberRead);

void CardInfoRead(benchmark::State& state) {
  for (auto _ : state) {
    char* info = nullptr;
    int32_t status = 1;
    if (SBK_YKT_ICGETINFO(0, 0, &info, &status) != 0) {
      state.SkipWithError("SBK_YKT_ICGETINFO failed");
      break;
    }
  }
}
BENCHMARK(CardInfoRead);

// Load, resolve, call and free the simulated driver, nothing else: the
// floor of both IC card reads.
void DriverCallFloor(benchmark::State& state) {
  const std::string path = host::HostDirectory() + driver::kCardDriverFile;
  char record[1024];
  for (auto _ : state) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      state.SkipWithError("cannot load the simulated driver");
      break;
    }
    auto read =
        reinterpret_cast<driver::ReadCardFunction*>(dlsym(library, driver::kReadCardFunction));
    benchmark::DoNotOptimize(read(driver::kReadBasicInfo, record));
    dlclose(library);
  }
}
BENCHMARK(DriverCallFloor);

}  // namespace

BENCHMARK_MAIN();
