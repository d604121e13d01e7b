#!/bin/sh
# Builds both presets from scratch-or-incrementally and runs every test.
# Exits non-zero when anything fails.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh

for preset in linux win32; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  echo "== $preset: tests"
  ctest --preset "$preset"
done
echo "== all tests passed"
