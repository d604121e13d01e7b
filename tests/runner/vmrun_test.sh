#!/bin/sh
# Tests of the emulated guest runner (scripts/vmrun), run by scripts/test.sh
# where the Windows tests run in the guest. Each check boots a guest (a few
# seconds). That a program image over 1 MB runs from the shared directory is
# checked by the Windows suite itself (large_image_test), which runs there.
set -u
cd "$(dirname "$0")/../.."
root=$PWD
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vmrun-test.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0
check() {  # check DESCRIPTION CONDITION...
  description=$1
  shift
  if "$@"; then
    echo "ok: $description"
  else
    echo "FAILED: $description"
    failures=$((failures + 1))
  fi
}

# The command's exit status and its output, GBK and UTF-8 bytes alike, come
# back unchanged; the command starts in the shared directory, which it can
# write.
gbk='\325\305\310\375'          # 张三 in GBK
utf8='\345\274\240\344\270\211' # 张三 in UTF-8
printf "$gbk|$utf8\n" > "$scratch/expected"
scripts/vmrun -C "$scratch" -- sh -c "printf '$gbk|$utf8\n'; touch written; exit 7" \
  > "$scratch/output" 2>&1
status=$?
check "exit status 7 comes back (got $status)" [ "$status" = 7 ]
check "GBK and UTF-8 output arrive byte for byte" cmp -s "$scratch/expected" "$scratch/output"
# What arrived instead, for the log of a failed run.
cmp -s "$scratch/expected" "$scratch/output" || od -c "$scratch/output" | head -20
check "the command ran in the shared directory and wrote to it" [ -f "$scratch/written" ]
scripts/vmrun -C "$scratch" -- true
status=$?
check "exit status 0 comes back (got $status)" [ "$status" = 0 ]

# A command that outlives its time limit ends the guest: status 124, and
# neither a qemu process nor the run's files stay behind.
mkdir "$scratch/jobs"
marker="readcard.runner_test=$$"
start=$(date +%s)
TMPDIR="$scratch/jobs" VMRUN_APPEND="$marker" scripts/vmrun -t 15 -C "$scratch" -- sleep 600 \
  > "$scratch/timeout-output" 2>&1
status=$?
elapsed=$(($(date +%s) - start))
check "a timeout answers 124 (got $status)" [ "$status" = 124 ]
check "a timeout ends the run in time (${elapsed}s for a 15 s limit)" [ "$elapsed" -lt 60 ]
sleep 1
no_process() { ! pgrep -f "$1" >/dev/null; }
empty_directory() { [ -z "$(ls -A "$1")" ]; }
check "no guest process is left after a timeout" no_process "$marker"
check "no run files are left after a timeout" empty_directory "$scratch/jobs"

cd "$root"
if [ "$failures" -gt 0 ]; then
  echo "vmrun: $failures check(s) failed"
  exit 1
fi
echo "vmrun: all checks passed"
