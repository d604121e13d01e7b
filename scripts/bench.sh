#!/bin/sh
# Benchmarks: each operation of the library against the floor it could reach,
# natively (Google Benchmark, the "bench" preset) and through the real
# readcard.dll under Wine (wine_bench.exe, a timed loop), then the ratios;
# last the first load of the DLL in a fresh process against an empty DLL.
#
#   scripts/bench.sh [WINE_ITERATIONS]
#
# Both runs write failure records: they run where no test reads the log
# (build/bench/bench and build/wine-bench), and their logs are removed.
set -eu
cd "$(dirname "$0")/.."
iterations=${1:-2000}

scripts/setup.sh >/dev/null
cmake --preset bench >/dev/null
cmake --build --preset bench --target card_bench service_bench
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target wine_bench first_load_bench empty_library empty_cxx_library package_zip driverhost

echo "== native (Google Benchmark, $(uname -m))"
native=build/bench/bench
rm -rf "$native/Log"
"$native/card_bench" --benchmark_format=csv 2>/dev/null >"$native/results.csv"
rm -rf "$native/Log"
awk -F, '
  NR > 1 { gsub(/"/, "", $1); time[$1] = $3; unit[$1] = $5 }
  function pair(operation, floor) {
    printf "%-16s %10.1f %s   %-20s %10.1f %s   ratio %7.1f\n", operation,
           time[operation], unit[operation], floor, time[floor], unit[floor],
           time[operation] / time[floor]
  }
  END {
    pair("CardCheck", "CardCheckFloor")
    pair("FailureRecord", "FailureRecordFloor")
    pair("CardNumberRead", "DriverCallFloor")
    pair("CardInfoRead", "DriverCallFloor")
  }' "$native/results.csv"

echo "== a card read through the card service against the same read in-process (native)"
rm -rf "$native/Log"
"$native/service_bench" 2>/dev/null
rm -rf "$native/Log"

echo "== readcard.dll under Wine (QueryPerformanceCounter)"
wine=build/wine-bench
rm -rf "$wine"
mkdir -p "$wine"
cp build/win32/readcard.dll build/win32/readcard-driverhost.exe build/win32/SSCardDriver.dll \
   build/win32/wine_bench.exe "$wine/"
cmake/wine-run "$wine/wine_bench.exe" "$iterations"
rm -rf "$wine"

echo "== first load of the packaged readcard.dll against an empty DLL, under Wine"
mkdir -p "$wine"
package=$(basename "$(cat build/win32/package/package_file.txt)" .zip)
cp "build/win32/package/$package/readcard.dll" build/win32/empty_library.dll \
   build/win32/empty_cxx_library.dll \
   build/win32/first_load_bench.exe "$wine/"
# Stripped as the packaged readcard.dll is.
i686-w64-mingw32-strip "$wine/empty_cxx_library.dll"
cmake/wine-run "$wine/first_load_bench.exe" 20
rm -rf "$wine"
