#!/usr/bin/env bash
# Installs Readhall from a build folder into a temporary root and checks the result the way a
# person would meet it: the files are where the desktop looks for them, the program answers
# --help, --version and a wrong option, and started headless on a fresh home it shows its
# window (a screenshot is written) on the demo content it found in its installed files.
#
#   install_test.sh BUILD_DIR APP_ID VERSION
set -euo pipefail
build="$1"
app_id="$2"
version="$3"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

DESTDIR="$root" cmake --install "$build" --prefix /usr >"$work/install.log" ||
    { cat "$work/install.log" >&2; echo "FAIL: cmake --install" >&2; exit 1; }
usr="$root/usr"

# The layout.
[ -x "$usr/bin/readhall" ] || fail "bin/readhall is missing or not executable"
for f in share/readhall/rdhall.html share/readhall/ReadHall.htm share/readhall/logo.bmp \
         share/readhall/demo/directory.opml share/readhall/demo/seed.json \
         share/readhall/demo/datadir/readhall.htm \
         "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
         "share/icons/hicolor/scalable/apps/$app_id.svg"; do
    [ -s "$usr/$f" ] || fail "$f is missing or empty"
done
[ -n "$(ls "$usr/share/readhall/demo/feeds/"*.xml 2>/dev/null)" ] || fail "no demo feeds installed"

# Each icon is a PNG of the size its folder names (width and height are bytes 16 to 23).
for size in 16 24 32 48 64 128 256; do
    icon="$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    if [ ! -f "$icon" ]; then
        fail "icon ${size}x${size} is missing"
        continue
    fi
    read -r -d '' -a bytes < <(od -An -tu1 -N24 "$icon") || true
    signature="${bytes[1]}${bytes[2]}${bytes[3]}" # "PNG"
    width=$(((bytes[16] << 24) | (bytes[17] << 16) | (bytes[18] << 8) | bytes[19]))
    height=$(((bytes[20] << 24) | (bytes[21] << 16) | (bytes[22] << 8) | bytes[23]))
    [ "$signature" = "807871" ] || fail "icon ${size}x${size} is not a PNG"
    [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
        fail "icon ${size}x${size} is ${width}x${height}"
done

# The desktop entry starts the installed program with the address it is given.
entry="$usr/share/applications/$app_id.desktop"
grep -qx 'Exec=readhall %u' "$entry" || fail "the desktop entry does not run 'readhall %u'"
grep -qx "Icon=$app_id" "$entry" || fail "the desktop entry's icon is not $app_id"
for type in x-scheme-handler/feed x-scheme-handler/feeds application/rss+xml application/atom+xml; do
    grep -q "^MimeType=.*$type;" "$entry" || fail "the desktop entry does not take $type"
done

# The AppStream description, read with the desktop entry and icons it refers to.
appstreamcli validate-tree --no-net "$usr" >"$work/appstream.log" 2>&1 ||
    { fail "appstreamcli validate-tree"; cat "$work/appstream.log" >&2; }

# The command line, without a display.
program=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/readhall")
if "${program[@]}" --help >"$work/out" 2>"$work/err"; then
    grep -q '^Usage: readhall' "$work/out" || fail "--help prints no usage line"
    grep -q -- '/channelview' "$work/out" || fail "--help does not list the window switches"
else
    fail "--help exits with $?"
fi
if "${program[@]}" --version >"$work/out" 2>"$work/err"; then
    grep -qx "Readhall $version" "$work/out" || fail "--version prints: $(head -1 "$work/out")"
else
    fail "--version exits with $?"
fi
status=0
"${program[@]}" --no-such-option >"$work/out" 2>"$work/err" || status=$?
[ "$status" = 2 ] || fail "an unknown option exits with $status, not 2"
grep -q -- "--no-such-option" "$work/err" || fail "an unknown option is not named on stderr"
[ ! -s "$work/out" ] || fail "an unknown option prints on stdout"

# Started headless on a fresh home. A mark in the installed demo content shows that the
# engine seeded its data directory from the installed files.
touch "$usr/share/readhall/demo/installed-copy"
# Its own runtime folder keeps it apart from any Readhall that runs on this machine.
mkdir -p "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
status=0
env -u VANTREL_DEMO_DIR -u VANTREL_DATA_DIR -u VANTREL_NO_DEMO -u READHALL_NO_WEBENGINE \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
    timeout 150 "$usr/bin/readhall" --screenshot "$work/shot.png" \
    >"$work/run.log" 2>&1 || status=$?
[ "$status" = 0 ] || { fail "the installed program exits with $status"; cat "$work/run.log" >&2; }
if [ -s "$work/shot.png" ]; then
    [ "$(od -An -c -j1 -N3 "$work/shot.png" | tr -d ' ')" = "PNG" ] ||
        fail "the screenshot is not a PNG"
else
    fail "no screenshot was written"
fi
[ -f "$work/data/vantrel/demo/installed-copy" ] ||
    fail "the engine was not seeded from the installed demo content"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installed layout, command line and headless start: all checks passed"
