#!/bin/sh
# Builds the release packages into dist/:
# - readcard-<version>.zip: readcard.dll, its header and import library,
#   cardhost.exe, the simulated card driver, the example Login.ini and the
#   docs;
# - readcard-<version>.msi: the card service for Windows desks (silent
#   install with properties, see docs/msi-deployment.md);
# both signed when READCARD_SIGN_PKCS12 and READCARD_SIGN_PASSWORD name a
# certificate (READCARD_SIGN_TIMESTAMP adds a time stamp);
# - readcard_<version>_amd64.deb and readcard_<version>_arm64.deb: the Linux
#   library with its SONAME links, the header, cardhost, the simulated driver,
#   the card service with its systemd unit and the docs, built with Debian's
#   hardening flags, checked with lintian
#   (any error fails) and with apt's dependency resolution.
set -eu
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target package_zip package_msi
zip_file=$(cat build/win32/package/package_file.txt)
msi_file=$(cat build/win32/package/msi_file.txt)
mkdir -p dist
cp "$zip_file" "$msi_file" dist/
echo "== dist/$(basename "$zip_file")"
echo "== dist/$(basename "$msi_file")"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
for arch in amd64 arm64; do
  # The flags dpkg-buildpackage would give (the preprocessor's with the
  # compiler's: _FORTIFY_SOURCE); CMake takes them at configure.
  flags() { DEB_HOST_ARCH=$arch dpkg-buildflags --get "$1"; }
  CFLAGS="$(flags CFLAGS) $(flags CPPFLAGS)" \
  CXXFLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS)" \
  LDFLAGS="$(flags LDFLAGS)" \
    cmake --preset "package-$arch" --fresh >/dev/null
  cmake --build --preset "package-$arch" --target package_deb
  deb_file=$(cat "build/package-$arch/package/package_file.txt")
  cp "$deb_file" dist/
  echo "== dist/$(basename "$deb_file")"
done

echo "== lintian"
# Warnings are judged in docs/deployment.md; errors fail the packaging.
lintian --fail-on error \
  dist/readcard_*_amd64.deb dist/readcard_*_arm64.deb
if [ "$(id -u)" = 0 ]; then
  echo "== apt resolves what the amd64 package needs (simulated install)"
  apt-get install -s "./$(ls dist/readcard_*_amd64.deb)" | grep '^Inst readcard '
fi
