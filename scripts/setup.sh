#!/bin/sh
# Installs what the build, the tests and the demo need on Debian 12, and only
# what is missing: running it again changes nothing.
set -eu

say() { printf 'setup: %s\n' "$*"; }

missing=""
want() { missing="$missing $1"; }

command -v cmake >/dev/null 2>&1 || want cmake
command -v g++ >/dev/null 2>&1 || want g++
command -v clang >/dev/null 2>&1 || want clang
[ -d /usr/lib/llvm-14/lib/clang/14.0.6/lib/linux ] || want libclang-rt-14-dev
# readcard.lib for Visual C++ hosts (llvm-dlltool) and its test host (lld-link).
command -v llvm-dlltool-14 >/dev/null 2>&1 || want llvm-14
command -v lld-link-14 >/dev/null 2>&1 || want lld-14
command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || want g++-mingw-w64-i686-posix
# The win32 build uses the win32 thread model (cmake/mingw-i686.cmake).
command -v i686-w64-mingw32-g++-win32 >/dev/null 2>&1 || want g++-mingw-w64-i686-win32
# The 64-bit readcard.dll (the win64 preset, cmake/mingw-x86_64.cmake) and
# Wine's 64-bit side, which runs its tests (32-bit children through WoW64).
command -v x86_64-w64-mingw32-g++-win32 >/dev/null 2>&1 || want g++-mingw-w64-x86-64-win32
[ -x /usr/lib/wine/wine64 ] || want wine64
[ -f /usr/src/googletest/CMakeLists.txt ] || want googletest
[ -f /usr/include/benchmark/benchmark.h ] || want libbenchmark-dev
# The card service: Boost.Beast and Asio, and nlohmann-json (headers only).
[ -f /usr/include/boost/beast.hpp ] || want libboost1.81-dev
[ -f /usr/include/nlohmann/json.hpp ] || want nlohmann-json3-dev
command -v gcovr >/dev/null 2>&1 || want gcovr
command -v zip >/dev/null 2>&1 || want zip
command -v unzip >/dev/null 2>&1 || want unzip
command -v locale-gen >/dev/null 2>&1 || want locales
command -v wine >/dev/null 2>&1 || want wine
# Linux hosts of the library (tests/host/linux), the aarch64 build under
# qemu-user, and the .deb packages.
[ -x /usr/bin/python3 ] || want python3
command -v javac >/dev/null 2>&1 || want default-jdk-headless
[ -f /usr/share/java/jna.jar ] || want libjna-java
command -v aarch64-linux-gnu-g++ >/dev/null 2>&1 || want g++-aarch64-linux-gnu
command -v qemu-aarch64-static >/dev/null 2>&1 || want qemu-user-static
command -v dpkg-shlibdeps >/dev/null 2>&1 || want dpkg-dev
command -v lintian >/dev/null 2>&1 || want lintian
# systemd-analyze checks the card service's unit in the Debian package.
command -v systemd-analyze >/dev/null 2>&1 || want systemd
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed' || want wine32:i386
# The browser tests: Node with npm (their modules come from npm, installed by
# the test step), Debian's Chromium, openssl for a test certificate, and ip
# for a network namespace with a public address.
command -v node >/dev/null 2>&1 || want nodejs
command -v npm >/dev/null 2>&1 || want npm
[ -x /usr/bin/chromium ] || want chromium
command -v openssl >/dev/null 2>&1 || want openssl
# The MSI: wixl builds it; msitools has msiinfo and msiextract, which its tests use.
command -v wixl >/dev/null 2>&1 || want wixl
command -v msiextract >/dev/null 2>&1 || want msitools
command -v osslsigncode >/dev/null 2>&1 || want osslsigncode
command -v ip >/dev/null 2>&1 || want iproute2
# curl: the Debian package test and the demo call the card service.
command -v curl >/dev/null 2>&1 || want curl

if [ -n "$missing" ]; then
  if [ "$(id -u)" != 0 ]; then
    say "missing packages:$missing; run this script as root to install them" >&2
    exit 1
  fi
  case "$missing" in
    *i386*)
      if ! dpkg --print-foreign-architectures | grep -qx i386; then
        say "adding the i386 architecture for 32-bit Wine"
        dpkg --add-architecture i386
      fi ;;
  esac
  # A mirror part way through a sync serves some index files that do not
  # match its Release file; apt-get update then fails although most indexes
  # came. Try three times, then install from what did arrive.
  log=$(mktemp); trap 'rm -f "$log" "$log.pin"' EXIT
  tries=0
  while ! apt-get update -qq 2>"$log"; do
    tries=$((tries + 1))
    if [ "$tries" -ge 3 ]; then
      say "apt-get update still failed after $tries tries; installing from the indexes that did arrive:" >&2
      sed 's/^/setup:   /' "$log" >&2
      break
    fi
    say "apt-get update failed (try $tries of 3); trying again in 10 s"
    sleep 10
  done
  # The suites whose index did not arrive for some architecture (for example
  # bookworm-security for i386 only): their packages for the other
  # architectures would be newer than the same library for i386, and wine32
  # needs both at one version.
  stale=$(sed -n 's|.*/dists/\([^/]*\)/.*|\1|p' "$log" | sort -u)
  install() {
    DEBIAN_FRONTEND=noninteractive apt-get "$@" install -y -qq --no-install-recommends $missing 2>"$log"
  }
  say "installing:$missing"
  if ! install; then
    installed=""
    if [ -n "$stale" ]; then
      for suite in $stale; do
        printf 'Package: *\nPin: release n=%s\nPin-Priority: 100\n\n' "$suite"
      done >"$log.pin"
      say "trying again, preferring other suites over the incomplete ones:" $stale
      install -o Dir::Etc::Preferences="$log.pin" && installed=yes
    fi
    if [ -z "$installed" ]; then
      say "could not install every package; apt said:" >&2
      sed 's/^/setup:   /' "$log" >&2
      for package in $missing; do
        apt-cache show "$package" >/dev/null 2>&1 ||
          say "  $package: not in the package indexes that arrived" >&2
      done
      say "the package mirror may be part way through a sync; a later try may pass" >&2
      exit 1
    fi
  fi
else
  say "all packages are present"
fi

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 gives 936 (GBK),
# the code page of the registration-desk PCs.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  say "generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
else
  say "locale zh_CN.UTF-8 is present"
fi
