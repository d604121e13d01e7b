#!/bin/sh
# Runs a command in a network namespace of its own, whose loopback interface
# is up and carries ADDRESS too, so that a server can listen on an address
# of any kind on a closed machine. Needs root (or user namespaces).
# Usage: in-network-namespace.sh ADDRESS COMMAND [ARGUMENT...]
set -eu
address=$1
shift
exec unshare -n sh -c 'ip link set lo up && ip addr add "$0/32" dev lo && exec "$@"' "$address" "$@"
