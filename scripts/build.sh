#!/usr/bin/env bash
# Configures and builds Readhall into the given folder (default: build).
# Extra arguments go to CMake, e.g. -DREADHALL_SANITIZE=ON.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$top/build}"
shift || true
"$top/scripts/deps.sh"
cmake -S "$top" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
