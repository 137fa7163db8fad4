#!/usr/bin/env bash
# Configures and builds Readhall into the given folder (default: build).
# Extra arguments go to CMake, e.g. -DREADHALL_SANITIZE=ON.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$top/build}"
shift || true
"$top/scripts/deps.sh"
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$top" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
