#!/bin/sh
# Builds the Debian package of a build tree and inspects it: the package
# name, architecture and description, the binary and the man page, and for a
# static build that the binary needs no program interpreter.
# Usage: check_package.sh BUILD_DIR ARCHITECTURE STATIC(ON/OFF)
set -eu
build=$1 arch=$2 static=$3
fail() { echo "check_package: $*" >&2; exit 1; }

rm -rf "$build/packages"
(cd "$build" && cpack -G DEB > /dev/null) || fail "cpack failed"
deb=$(ls "$build"/packages/tavlo_*_"$arch".deb 2>/dev/null) || fail "no package for $arch"

info=$(dpkg-deb --info "$deb")
echo "$info" | grep -qx ' Package: tavlo' || fail "wrong package name: $info"
echo "$info" | grep -qx " Architecture: $arch" || fail "wrong architecture: $info"
echo "$info" | grep -q '^ Description: LCD bring-up test' || fail "no description: $info"

contents=$(dpkg-deb --contents "$deb")
echo "$contents" | grep -q ' \./usr/bin/tavlo$' || fail "no binary: $contents"
echo "$contents" | grep -q ' \./usr/share/man/man1/tavlo\.1$' || fail "no man page: $contents"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
if [ "$static" = ON ]; then
  readelf -l "$unpacked/usr/bin/tavlo" | grep -q 'INTERP' && fail "binary is not static"
fi
echo "check_package: $(basename "$deb") is good"
