#!/bin/sh
# The main job: builds readcard.dll and lets a host program use it under Wine,
# in code page 936 as on the registration-desk PCs, with the simulated card
# driver standing in for the card reader; then starts the card service in the
# same desk, reads a card over HTTP for a listed web origin, shows a foreign
# origin refused, and stops it. Exits non-zero when any step fails.
#
# Where this machine's kernel cannot run 32-bit programs (or with
# READCARD_EMULATE=1), the steps run inside one boot of an emulated guest
# (scripts/vmrun); the build stays here.
set -eu
cd "$(dirname "$0")/.."
. scripts/wine32.sh

fail() { echo "== demo FAILED: $*" >&2; exit 1; }

scripts/setup.sh || fail "setup could not install what the demo needs"
wine32_probe
echo "== Windows programs: $WINE32_MODE ($WINE32_REASON)"
echo "== building readcard.dll, cardhost.exe, cardservice.exe and the simulated SSCardDriver.dll"
cmake --preset win32 >/dev/null || fail "configure"
cmake --build --preset win32 --target readcard cardhost cardservice simdriver >/dev/null ||
  fail "build"

# A fresh host directory, as a desk PC has it: the host program with
# readcard.dll and SSCardDriver.dll beside it, and the card service.
desk=build/demo-desk
rm -rf "$desk"
mkdir -p "$desk"
cp build/win32/readcard.dll build/win32/cardhost.exe build/win32/SSCardDriver.dll \
   build/win32/cardservice.exe "$desk/"

WINE32_TIMEOUT=1200 wine32_run sh scripts/demo-steps.sh "$desk" || fail "see the steps above"
echo
echo "== demo done: every step answered as it should"
