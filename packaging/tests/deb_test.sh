#!/usr/bin/env bash
# Builds the Debian package from a build folder into a temporary folder and checks it: it
# depends on the package of every Qt library the program links (worked out by dpkg-shlibdeps)
# and on Qt's SQLite driver, and it holds the program with its desktop files.
#
#   deb_test.sh BUILD_DIR APP_ID
set -euo pipefail
build="$1"
app_id="$2"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; echo "FAIL: cpack -G DEB" >&2; exit 1; }
debs=("$work"/readhall_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: no readhall_*.deb was written" >&2; exit 1; }
deb="${debs[0]}"

depends="$(dpkg-deb --field "$deb" Depends)"
has_dependency() { tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//' | grep -qx "$1"; }

# libQt6WebEngineWidgets.so.6 comes with the package libqt6webenginewidgets6.
linked="$(readelf -d "$build/src/readhall" | sed -n 's/.*Shared library: \[\(libQt6[A-Za-z]*\)\.so\.6\]/\1/p')"
[ -n "$linked" ] || fail "the program links no Qt library?"
for library in $linked; do
    package="$(tr '[:upper:]' '[:lower:]' <<<"$library")6"
    has_dependency "$package" || fail "Depends lacks $package (for $library): $depends"
done
has_dependency libqt6sql6-sqlite || fail "Depends lacks Qt's SQLite driver: $depends"
has_dependency libc6 || fail "Depends lacks libc6: $depends"

contents="$(dpkg-deb --contents "$deb")"
for f in ./usr/bin/readhall "./usr/share/applications/$app_id.desktop" \
         "./usr/share/metainfo/$app_id.metainfo.xml" ./usr/share/readhall/demo/seed.json; do
    grep -q " $f\$" <<<"$contents" || fail "the package does not hold $f"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "Debian package: dependencies and contents as expected"
