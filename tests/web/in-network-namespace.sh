#!/bin/sh
# Runs a command in network and mount namespaces of its own: the loopback
# interface is up and carries ADDRESS too, so that a server can listen on an
# address of any kind on a closed machine; and Chromium's policy directory
# (/etc/chromium) is a fresh tmpfs, so that the command may write managed
# policies there (CHROMIUM_POLICY_DIR) without touching the machine's own.
# Needs root.
# Usage: in-network-namespace.sh ADDRESS COMMAND [ARGUMENT...]
set -eu
address=$1
shift
mkdir -p /etc/chromium
exec unshare --mount --net sh -c '
  set -eu
  ip link set lo up
  ip addr add "$0/32" dev lo
  kept=$(mktemp -d)
  cp -a /etc/chromium/. "$kept"/
  mount -t tmpfs readcard-chromium-policies /etc/chromium
  cp -a "$kept"/. /etc/chromium/
  rm -rf "$kept"
  mkdir -p /etc/chromium/policies/managed
  export CHROMIUM_POLICY_DIR=/etc/chromium/policies/managed
  exec "$@"' "$address" "$@"
