#!/usr/bin/env bash
# Checks a Debian package of Readhall: it depends on the package of every Qt library the
# program links (found by dpkg-shlibdeps) and on Qt's SQLite driver, and it holds the program
# with its files and desktop files. scripts/package.sh runs it on every package it makes.
#
#   check_package.sh BUILD_DIR PACKAGE
set -euo pipefail
build="$1" deb="$2"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

packages="$(dpkg-deb --field "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//')"

# libQt6WebEngineWidgets.so.6 comes with the package libqt6webenginewidgets6.
linked="$(readelf -d "$build/src/readhall" | sed -n 's/.*\[\(libQt6[A-Za-z]*\)\.so\.6\]/\1/p')"
[ -n "$linked" ] || fail "the program links no Qt library"
for package in $(tr '[:upper:]' '[:lower:]' <<<"$linked" | sed 's/$/6/') libqt6sql6-sqlite libc6; do
    grep -qx "$package" <<<"$packages" || fail "Depends lacks $package"
done
contents="$(dpkg-deb --contents "$deb")"
for f in 'bin/readhall' 'share/readhall/rdhall\.html' 'share/readhall/demo/seed\.json' \
         'share/applications/[^/]*\.desktop' 'share/metainfo/[^/]*\.metainfo\.xml' \
         'share/icons/hicolor/scalable/apps/[^/]*\.svg'; do
    grep -q " \./usr/$f\$" <<<"$contents" || fail "the package holds no /usr/$f"
done

[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "Debian package: dependencies and contents as expected"
