#!/bin/sh
# Runs inside the emulated guest: one Wine session for every Windows program
# of the command. Keeps the Wine server up between programs (under emulation
# starting it costs about 13 s, a program in a running session about 1 s),
# and brings the Wine prefix up to date first: the first time that creates it
# (about 3 minutes under emulation); it lives in the build tree and outlasts
# the guest.
#
#   sh scripts/wine-session.sh CMD [ARG]...
set -eu
cd "$(dirname "$0")/.."
# The guest's kernel starts with the loopback interface down; the card
# service's tests talk to it over 127.0.0.1 (busybox's ip, or iproute2's).
if command -v ip >/dev/null 2>&1 && ! ip link show lo 2>/dev/null | grep -q 'UP'; then
  ip link set lo up || echo "wine-session: cannot bring the loopback interface up" >&2
fi
readcard_wine_root=$PWD
. cmake/wine-env
[ -f "$WINEPREFIX/system.reg" ] ||
  echo "wine-session: creating the Wine prefix $WINEPREFIX (once, about 3 minutes under emulation)"
mkdir -p "$WINEPREFIX"
# Wine's own processes stay up with the server and keep writing harmless
# notes: they go to a file, shown only when the prefix cannot be brought up.
notes=$WINEPREFIX/session.log
if ! cmake/wine-prefix --persistent > "$notes" 2>&1; then
  cat "$notes"
  echo "wine-session: wineboot failed: the Wine prefix $WINEPREFIX is not usable" >&2
  exit 1
fi
"$@"
