#!/usr/bin/env bash
# Builds Readhall with its tests and runs every test, headless.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
dir="$top/build-tests"
"$top/scripts/build.sh" "$dir" -DREADHALL_BUILD_TESTS=ON -DREADHALL_WERROR=ON
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu"
cd "$dir"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
