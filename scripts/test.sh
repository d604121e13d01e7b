#!/bin/sh
# Builds every tested preset from scratch-or-incrementally and runs every
# test: the native build, the native build under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows build under Wine, and a short run of
# each fuzz target. Exits non-zero when anything fails.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh

for preset in linux linux-asan win32 fuzz; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: tests"
  ctest --preset "$preset"
done
echo "== all tests passed"
