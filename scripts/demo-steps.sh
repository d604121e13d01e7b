#!/bin/sh
# The demo's steps: cardhost.exe reads cards through readcard.dll in the host
# directory that scripts/demo.sh prepared, then cardservice.exe serves a web
# page's read from the same directory. Runs wherever Wine runs (here, or
# inside the emulated guest, whose loopback interface scripts/wine-session.sh
# brings up) and exits non-zero when a step does not answer as it should.
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

# request EXPECTED_STATUS ORIGIN PATH: a web page's read from ORIGIN, as its
# browser sends it; shows the answer.
request() {
  expected=$1 origin=$2 path=$3
  echo
  echo "\$ curl -X POST -H 'Origin: $origin' -H 'Content-Type: application/json' -d '{}' http://127.0.0.1:$port$path"
  status=$(curl -s -m 120 -o "$desk/answer.json" -w '%{http_code}' -X POST -H "Origin: $origin" \
                -H 'Content-Type: application/json' -d '{}' "http://127.0.0.1:$port$path")
  cat "$desk/answer.json" 2>/dev/null
  echo
  echo "HTTP $status"
  if [ "$status" != "$expected" ]; then
    echo "!! $path from $origin answered HTTP $status, expected $expected"
    failed="$failed
  cardservice: $path from $origin (HTTP $status, expected $expected)"
  fi
}

echo
echo "## the card service: a web page of the HIS reads the card over HTTP"
printf '[service]\r\norigins = https://his.hospital.example\r\n' > "$desk/cardservice.ini"
echo "\$ cardservice (origins = https://his.hospital.example, a port the system chooses)"
cmake/wine-run "$desk/cardservice.exe" --port 0 > "$desk/cardservice.out" 2>&1 < /dev/null &
service=$!
# Emulated, Wine takes longer to start a program.
limit=60
[ "${READCARD_EMULATED:-0}" = 1 ] && limit=300
port=""
waited=0
while [ -z "$port" ] && [ "$waited" -lt "$limit" ] && kill -0 "$service" 2>/dev/null; do
  sleep 1
  waited=$((waited + 1))
  port=$(sed -n 's|.*listening on http://127\.0\.0\.1:\([0-9]*\).*|\1|p' "$desk/cardservice.out")
done
if [ -z "$port" ]; then
  iconv -f GBK -t UTF-8 -c "$desk/cardservice.out"
  echo "!! cardservice did not listen within $limit s"
  failed="$failed
  cardservice did not start"
else
  echo "cardservice: listening on http://127.0.0.1:$port"
  request 200 https://his.hospital.example /v1/ic-card/number
  grep -q '"number":"A12345678"' "$desk/answer.json" || {
    echo "!! the listed origin's read did not give the card's number"
    failed="$failed
  cardservice: the listed origin's read gave no card number"
  }
  echo
  echo "## a page of a foreign web site is refused"
  request 403 https://evil.example /v1/ic-card/number
  # Ctrl+C: Wine hands SIGINT to the program as the console's Ctrl+C.
  kill -INT "$service"
  waited=0
  while kill -0 "$service" 2>/dev/null && [ "$waited" -lt "$limit" ]; do
    sleep 1
    waited=$((waited + 1))
  done
  echo
  echo "## the card service's log"
  tail -n 5 "$desk"/Log/cardservice/cardservice-*.log
  grep -q '停止' "$desk"/Log/cardservice/cardservice-*.log || {
    echo "!! cardservice did not log its stop"
    failed="$failed
  cardservice: no stop line in its log"
  }
fi
kill "$service" 2>/dev/null

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
