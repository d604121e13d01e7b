#!/bin/sh
# Builds every tested preset from scratch-or-incrementally and runs every
# test: the native build, the native build under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows build under Wine, and a short run of
# each fuzz target, and the native build cross-built for aarch64 with its
# suite under qemu-user. Exits non-zero when anything fails.
#
# Where this machine's kernel cannot run 32-bit programs (or with
# READCARD_EMULATE=1), the Windows tests run inside one boot of an emulated
# guest (scripts/vmrun); everything is still built here.
set -eu
cd "$(dirname "$0")/.."
. scripts/wine32.sh

fail() { echo "== FAILED: $*" >&2; exit 1; }

scripts/setup.sh || fail "setup could not install what the build needs"
wine32_probe
echo "== Windows programs: $WINE32_MODE ($WINE32_REASON)"

for preset in linux linux-aarch64 linux-asan win32 fuzz; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null || fail "$preset: configure"
  cmake --build --preset "$preset" || fail "$preset: build"
  echo "== $preset: tests"
  if [ "$preset" = win32 ]; then
    if [ "$WINE32_MODE" = emulated ]; then
      echo "== the emulated guest runner's own tests"
      tests/runner/vmrun_test.sh || fail "the emulated guest runner"
      echo "== win32: tests in the emulated guest"
    fi
    # In the guest, the Wine session has brought the prefix up already and
    # keeps Wine's own processes running, so the suite skips its wine_prefix
    # set-up (whose lingering processes would hold CTest's output open), and
    # programs running 10 to 50 times slower get longer time limits.
    emulated=""
    [ "$WINE32_MODE" = native ] || emulated="--exclude-regex ^wine_prefix\$ --fixture-exclude-setup wine --timeout 1500"
    wine32_run ctest --preset win32 $emulated || fail "win32: tests"
  else
    ctest --preset "$preset" || fail "$preset: tests"
  fi
done
echo "== all tests passed"
