#!/bin/sh
# Installs the browser tests' npm modules (playwright-core, typescript) from
# package-lock.json into DIR/node_modules, with `npm ci`; does nothing when
# DIR already holds exactly that lock's modules.
# Usage: install-modules.sh SOURCE_DIR DIR
set -eu
source_dir=$1
dir=$2
mkdir -p "$dir"
if [ -f "$dir/node_modules/.package-lock.json" ] &&
   cmp -s "$source_dir/package-lock.json" "$dir/package-lock.json"; then
  echo "web test modules: up to date in $dir/node_modules"
  exit 0
fi
command -v npm >/dev/null 2>&1 || { echo "web test modules: npm is missing (scripts/setup.sh installs it)" >&2; exit 1; }
cp "$source_dir/package.json" "$source_dir/package-lock.json" "$dir/"
cd "$dir"
if ! npm ci --no-audit --no-fund --loglevel=error; then
  rm -f "$dir/package-lock.json"
  echo "web test modules: npm ci failed in $dir" >&2
  exit 1
fi
echo "web test modules: installed in $dir/node_modules"
