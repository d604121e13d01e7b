#!/bin/sh
# Line and branch coverage of the library's own code (card/, config/,
# driver/, logger/, text/) from the native unit tests: gcc --coverage (the
# "coverage" preset) and gcovr. Prints a table per file with its branches and
# the summary; with --html also writes build/coverage/coverage.html.
#
# Branches that only exception unwinding takes, and those the compiler marks
# unreachable, are left out of the count: they are the C++ runtime's, not
# the library's decisions.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh >/dev/null
cmake --preset coverage >/dev/null
cmake --build --preset coverage
find build/coverage -name '*.gcda' -delete
ctest --preset coverage

set -- "$@"
html=""
[ "${1:-}" = "--html" ] && html="--html-details build/coverage/coverage.html"
# shellcheck disable=SC2086
gcovr --root . --object-directory build/coverage \
  --filter '(card|config|driver|logger|text)/' --exclude-directories '.*/CMakeFiles/[0-9.]+' \
  --exclude-throw-branches --exclude-unreachable-branches \
  --branches --print-summary $html
