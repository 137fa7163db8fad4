#!/usr/bin/env bash
# Builds the Debian package of Readhall: a release build without tests and benchmarks in the
# given folder (default: build-package), packed by CPack. Prints the package's path; install
# it with `sudo apt install ./readhall_<version>_<arch>.deb`.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$top/build-package}"
"$top/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DREADHALL_BUILD_TESTS=OFF \
    -DREADHALL_BUILD_BENCH=OFF
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/readhall_*.deb
