#!/bin/sh
# The main job: builds readcard.dll and lets a host program use it under Wine,
# in code page 936 as on the registration-desk PCs, with the simulated card
# driver standing in for the card reader.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh
echo "== building readcard.dll, cardhost.exe and the simulated SSCardDriver.dll"
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target readcard cardhost simdriver >/dev/null

# A fresh host directory, as a desk PC has it: the host program with
# readcard.dll and SSCardDriver.dll beside it.
desk=build/demo-desk
rm -rf "$desk"
mkdir -p "$desk"
cp build/win32/readcard.dll build/win32/cardhost.exe build/win32/SSCardDriver.dll "$desk/"

host() {
  echo
  echo "\$ cardhost $*"
  cmake/wine-run "$desk/cardhost.exe" "$@" --utf8 || true
}

host QTZ_DLL_BBH
host --check
echo
echo "## the IC card in the (simulated) reader"
host QTZ_DKH
host SBK_YKT_ICGETINFO
echo
echo "## a hospital magnetic card, and one that is not"
host CK_DKH 123456780000123456=009633791987654321
host CK_DKH 123456780000123456=009633791987654320
echo
echo "## the reader reports no card (driver result -3)"
SIMCARD_RESULT=-3 SIMCARD_RECORD="未检测到卡片" host QTZ_DKH
echo
echo "## Login.ini switches on the virtual card"
printf '[MAIN]\r\nREALCARD=true\r\n[QTZH]\r\nCURRENT=1\r\n1=0000123456\r\n' > "$desk/Login.ini"
host QTZ_DKH
echo
echo "## today's log"
host --log 10
