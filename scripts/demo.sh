#!/bin/sh
# The main job: builds readcard.dll and lets a host program call it under
# Wine, in the code page of the target systems.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target cardhost readcard >/dev/null
host() { echo "\$ cardhost $*"; cmake/wine-run build/win32/cardhost.exe "$@"; }

host QTZ_DLL_BBH
