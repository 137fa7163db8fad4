#!/usr/bin/env bash
# Builds the Debian package into a temporary folder and checks that it depends on the package
# of every Qt library the program links (found by dpkg-shlibdeps) and on Qt's SQLite driver,
# and that it holds the program and its desktop files.
#
#   deb_test.sh BUILD_DIR APP_ID
set -euo pipefail
build="$1" app_id="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; exit 1; }
deb="$(ls "$work"/readhall_*.deb)"
packages="$(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')"

# libQt6WebEngineWidgets.so.6 comes with the package libqt6webenginewidgets6.
linked="$(readelf -d "$build/src/readhall" | sed -n 's/.*\[\(libQt6[A-Za-z]*\)\.so\.6\]/\1/p')"
[ -n "$linked" ] || fail "the program links no Qt library"
for package in $(tr '[:upper:]' '[:lower:]' <<<"$linked" | sed 's/$/6/') libqt6sql6-sqlite libc6; do
    grep -qx "$package" <<<"$packages" || fail "Depends lacks $package"
done
contents="$(dpkg-deb --contents "$deb")"
for f in bin/readhall "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
         share/readhall/demo/seed.json; do
    grep -q " ./usr/$f\$" <<<"$contents" || fail "the package does not hold /usr/$f"
done

[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "Debian package: dependencies and contents as expected"
