#!/bin/sh
# Builds the release package dist/readcard-<version>.zip: readcard.dll, its
# header and import library, cardhost.exe, the simulated card driver, the
# example Login.ini and the docs.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target package_zip
zip_file=$(cat build/win32/package/package_file.txt)
mkdir -p dist
cp "$zip_file" dist/
echo "== dist/$(basename "$zip_file")"
