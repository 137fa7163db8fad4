#!/usr/bin/env bash
# Builds the Debian package of Readhall: a release build without tests and benchmarks in the
# given folder (default: build-package), packed by CPack, then checks the package's
# dependencies and contents. Prints the package's path; install it with
# `sudo apt install ./readhall_<version>_<arch>.deb`.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$top/build-package}"
"$top/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DREADHALL_BUILD_TESTS=OFF \
    -DREADHALL_BUILD_BENCH=OFF
rm -f "$dir"/readhall_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb="$(ls "$dir"/readhall_*.deb)"
"$top/packaging/check_package.sh" "$dir" "$deb" >/dev/null
echo "$deb"
