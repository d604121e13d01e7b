#!/bin/sh
# The demo's steps: cardhost.exe reads cards through readcard.dll in the host
# directory that scripts/demo.sh prepared. Runs wherever Wine runs (here, or
# inside the emulated guest) and exits non-zero when a step does not answer
# as it should.
#
#   sh scripts/demo-steps.sh DESK_DIRECTORY
set -u
cd "$(dirname "$0")/.."
desk=$1
failed=""

# step EXPECTED_EXIT_STATUS CARDHOST_ARGUMENTS...: cardhost exits 0 when the
# export answered 0 (or its version), 1 when it answered -1.
step() {
  expected=$1
  shift
  echo
  echo "\$ cardhost $*"
  cmake/wine-run "$desk/cardhost.exe" "$@" --utf8
  status=$?
  if [ "$status" != "$expected" ]; then
    echo "!! cardhost $* exited $status, expected $expected"
    failed="$failed
  cardhost $* (exit status $status, expected $expected)"
  fi
}

step 0 QTZ_DLL_BBH
step 0 --check
echo
echo "## the IC card in the (simulated) reader"
step 0 QTZ_DKH
step 0 SBK_YKT_ICGETINFO
echo
echo "## a hospital magnetic card, and one that is not"
step 0 CK_DKH 123456780000123456=009633791987654321
step 1 CK_DKH 123456780000123456=009633791987654320
echo
echo "## the reader reports no card (driver result -3)"
SIMCARD_RESULT=-3 SIMCARD_RECORD="未检测到卡片" step 1 QTZ_DKH
echo
echo "## Login.ini switches on the virtual card"
printf '[MAIN]\r\nREALCARD=true\r\n[QTZH]\r\nCURRENT=1\r\n1=0000123456\r\n' > "$desk/Login.ini"
step 0 QTZ_DKH
echo
echo "## today's log"
step 0 --log 10

if [ -n "$failed" ]; then
  echo
  echo "demo: these steps did not answer as they should:$failed"
  exit 1
fi
