# Sourced by the scripts that run Windows programs: decides once where 32-bit
# programs run and runs a command where they do.
#
#   wine32_probe           sets WINE32_MODE (native or emulated) and WINE32_REASON
#   wine32_run CMD [ARG]... runs CMD with Wine usable: directly, or inside one
#                           boot of the emulated guest (scripts/vmrun)
#
# READCARD_EMULATE=1 forces the emulated guest on any machine.

wine32_probe() {
  if [ "${READCARD_EMULATE:-0}" = 1 ]; then
    WINE32_MODE=emulated
    WINE32_REASON="READCARD_EMULATE=1 forces the emulated guest"
  elif /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    WINE32_MODE=native
    WINE32_REASON="this kernel runs 32-bit programs"
  else
    WINE32_MODE=emulated
    WINE32_REASON="this kernel cannot run 32-bit programs: /lib/ld-linux.so.2 answers \"$(/lib/ld-linux.so.2 --version 2>&1 | head -n 1 | sed 's/.*: //')\"; Wine runs inside an emulated x86-64 guest"
  fi
}

# Guest settings: WINE32_TIMEOUT seconds for the whole boot, WINE32_MEMORY MB.
# READCARD_WINE_ARCH=win64 runs the command with the 64-bit prefix
# (cmake/wine-env) instead of the 32-bit one.
wine32_run() {
  if [ "$WINE32_MODE" = native ]; then
    "$@"
  else
    scripts/vmrun -C "$PWD" -m "${WINE32_MEMORY:-3072}" -t "${WINE32_TIMEOUT:-3000}" -- \
      env READCARD_EMULATED=1 CI="${CI:-}" READCARD_WINE_ARCH="${READCARD_WINE_ARCH:-win32}" \
      sh scripts/wine-session.sh "$@"
  fi
}
