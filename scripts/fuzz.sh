#!/bin/sh
# Runs the fuzz targets for longer than the test command does.
#
#   scripts/fuzz.sh [SECONDS [TARGET...]]
#
# SECONDS per target (default 600); TARGETs are the *_fuzz programs of
# fuzz/CMakeLists.txt (default: all). Each target starts from its seed corpus
# (fuzz/corpus/TARGET) and what earlier runs found
# (build/fuzz/fuzz/corpus/TARGET), and adds new inputs to the latter. An
# input that breaks a property is kept as build/fuzz/fuzz/crash-* and the
# script stops with the target's report; replay the input with
# build/fuzz/fuzz/TARGET build/fuzz/fuzz/crash-...
set -eu
cd "$(dirname "$0")/.."

seconds=${1:-600}
[ $# -gt 0 ] && shift

scripts/setup.sh >/dev/null
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
dir=build/fuzz/fuzz
targets=${*:-$(cd "$dir" && ls ./*_fuzz | sed 's|^\./||')}
for target in $targets; do
  [ -x "$dir/$target" ] || { echo "no fuzz target $target" >&2; exit 2; }
  echo "== $target: $seconds s"
  mkdir -p "$dir/corpus/$target"
  report="$dir/$target.last-run.txt"
  if (cd "$dir" && "./$target" -max_total_time="$seconds" -print_final_stats=1 \
        -timeout=10 -artifact_prefix=./ "corpus/$target" \
        "../../../fuzz/corpus/$target") >"$report" 2>&1; then
    grep -E '^(Done|stat::(number_of_executed_units|peak_rss_mb))' "$report"
    grep -E '^#[0-9]+ +DONE' "$report" | tail -1
  else
    tail -40 "$report"
    exit 1
  fi
done
