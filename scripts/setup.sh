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
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed' || want wine32:i386
# The browser tests: Node with npm (their modules come from npm, installed by
# the test step), Debian's Chromium, openssl for a test certificate, and ip
# for a network namespace with a public address.
command -v node >/dev/null 2>&1 || want nodejs
command -v npm >/dev/null 2>&1 || want npm
[ -x /usr/bin/chromium ] || want chromium
command -v openssl >/dev/null 2>&1 || want openssl
command -v ip >/dev/null 2>&1 || want iproute2

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
  say "installing:$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
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
