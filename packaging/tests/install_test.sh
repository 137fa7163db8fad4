#!/usr/bin/env bash
# Installs Readhall from a build folder into a temporary root and checks it as a person meets
# it: the files are where the desktop looks, the program answers --help, --version and a
# wrong option without a display, and started headless on a fresh home it writes a screenshot,
# having seeded its engine from the installed demo content.
#
#   install_test.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build="$1" app_id="$2" version="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; exit 1; }
usr="$work/root/usr"

[ -x "$usr/bin/readhall" ] || fail "bin/readhall is missing"
for f in rdhall.html ReadHall.htm logo.bmp demo/directory.opml demo/seed.json demo/feeds; do
    [ -e "$usr/share/readhall/$f" ] || fail "share/readhall/$f is missing"
done
# Each icon is a PNG of its folder's size (width and height are bytes 16 to 23).
for size in 16 24 32 48 64 128 256; do
    icon="$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    b=()
    [ -f "$icon" ] && read -r -d '' -a b < <(od -An -tu1 -N24 "$icon") || true
    [ "${#b[@]}" = 24 ] &&
        [ "${b[1]}${b[2]}${b[3]}:$((b[18] << 8 | b[19]))x$((b[22] << 8 | b[23]))" = "807871:${size}x$size" ] ||
        fail "icon ${size}x$size is missing or of another size"
done
[ -s "$usr/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "the scalable icon is missing"
grep -qx 'Exec=readhall %u' "$usr/share/applications/$app_id.desktop" ||
    fail "the desktop entry does not run 'readhall %u'"
# The AppStream description, with the desktop entry and icons it refers to.
appstreamcli validate-tree --no-net "$usr" >"$work/appstream.log" 2>&1 ||
    { fail "appstreamcli validate-tree"; cat "$work/appstream.log" >&2; }

program=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/readhall")
"${program[@]}" --help | grep '^Usage: readhall' >/dev/null || fail "--help prints no usage"
out="$("${program[@]}" --version)" && [ "${out%%$'\n'*}" = "Readhall $version" ] ||
    fail "--version prints: $out"
status=0
"${program[@]}" --no-such-option >"$work/out" 2>"$work/err" || status=$?
[ "$status" = 2 ] && grep -q -- --no-such-option "$work/err" && [ ! -s "$work/out" ] ||
    fail "an unknown option exits with $status and says: $(cat "$work/out" "$work/err")"

# A mark in the installed demo content shows where the engine seeded itself from; a runtime
# folder of its own keeps the program apart from any Readhall running on this machine.
touch "$usr/share/readhall/demo/installed-copy"
mkdir -p "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
status=0
env -u VANTREL_DEMO_DIR -u VANTREL_DATA_DIR -u VANTREL_NO_DEMO -u READHALL_NO_WEBENGINE \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime" \
    QT_QPA_PLATFORM=offscreen timeout 150 "$usr/bin/readhall" --screenshot "$work/shot.png" \
    >"$work/run.log" 2>&1 || status=$?
[ "$status" = 0 ] || { fail "the installed program exits with $status"; cat "$work/run.log" >&2; }
[ "$(od -An -c -j1 -N3 "$work/shot.png" 2>/dev/null | tr -d ' ')" = PNG ] || fail "no PNG screenshot"
[ -f "$work/data/vantrel/demo/installed-copy" ] || fail "not seeded from the installed demo"

[ "$failures" = 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "installed layout, command line and headless start: all checks passed"
