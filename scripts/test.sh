#!/bin/sh
# Builds every tested preset from scratch-or-incrementally and runs every
# test: the native build, the native build under AddressSanitizer and
# UndefinedBehaviorSanitizer, the Windows build under Wine, the 64-bit
# Windows library under Wine's 64-bit side, and a short run of each fuzz
# target, and the native build cross-built for aarch64 with its suite under
# qemu-user. Exits non-zero when anything fails.
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

for preset in linux linux-aarch64 linux-asan win32 win64 fuzz; do
  echo "== $preset: configure and build"
  cmake --preset "$preset" >/dev/null || fail "$preset: configure"
  cmake --build --preset "$preset" || fail "$preset: build"
  # Without wixl the build leaves the MSI and its tests out; here they count.
  [ "$preset" != win32 ] || [ -f build/win32/package/msi_file.txt ] ||
    fail "win32: no MSI was built (wixl not found), so its tests cannot run"
  echo "== $preset: tests"
  if [ "$preset" = win32 ] || [ "$preset" = win64 ]; then
    if [ "$preset" = win32 ] && [ "$WINE32_MODE" = emulated ]; then
      echo "== the emulated guest runner's own tests"
      tests/runner/vmrun_test.sh || fail "the emulated guest runner"
    fi
    [ "$WINE32_MODE" = native ] || echo "== $preset: tests in the emulated guest"
    # In the guest, the Wine session has brought the prefix up already and
    # keeps Wine's own processes running, so the suite skips its wine_prefix
    # set-up (whose lingering processes would hold CTest's output open), and
    # programs running 10 to 50 times slower get longer time limits. The
    # win64 suite runs in a guest boot of its own, with its 64-bit prefix.
    # The MSI test makes a Wine prefix of its own, which Wine inside the
    # guest cannot set up (kernel32.dll does not load there): it runs only
    # where Wine runs directly, and is left out here with one line saying so.
    emulated=""
    if [ "$WINE32_MODE" != native ]; then
      left_out="^wine_prefix\$"
      if [ "$preset" = win32 ]; then
        left_out="^(wine_prefix|msi_installs_upgrades_and_removes)\$"
        echo "== $preset: msi_installs_upgrades_and_removes left out in the emulated guest: Wine there cannot set up the test's own prefix (kernel32.dll does not load); it runs where Wine runs directly"
      fi
      emulated="--exclude-regex $left_out --fixture-exclude-setup wine --timeout 1500"
    fi
    export READCARD_WINE_ARCH="$preset"
    wine32_run ctest --preset "$preset" $emulated || fail "$preset: tests"
  else
    ctest --preset "$preset" || fail "$preset: tests"
  fi
done
echo "== all tests passed"
