#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with the address and undefined-behaviour sanitizers)
# into <worktree>/build-fuzz and runs each for a bounded time.
#
#   scripts/fuzz.sh [seconds per target] [target ...]
#
# Default: 60 seconds for each of fuzz_feedparser, fuzz_opml, fuzz_regfile, fuzz_summaryhtml.
# Each target starts from its seeds (fuzz/seeds/<name>) and from what earlier runs found
# (build-fuzz/corpus/<name>). An input that crashes, trips a sanitizer, breaks a promise or
# runs longer than 10 seconds is saved in build-fuzz/findings/<name>/ and makes the script
# fail, so that a scheduled job notices. Reproduce one with:
#   build-fuzz/fuzz/<name> build-fuzz/findings/<name>/<file>
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_feedparser fuzz_opml fuzz_regfile fuzz_summaryhtml)
fi
build="$top/build-fuzz"

"$top/scripts/deps.sh"
"$top/scripts/fuzz-deps.sh"
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja "${launcher[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREADHALL_FUZZ=ON \
    -DREADHALL_BUILD_TESTS=OFF -DREADHALL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

failed=()
for target in "${targets[@]}"; do
    seeds="$top/fuzz/seeds/${target#fuzz_}"
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    mkdir -p "$corpus" "$findings"
    echo "== $target: $seconds s"
    # Qt prints its own warnings for damaged input; they say nothing here.
    if ! QT_LOGGING_RULES="*=false" "$build/fuzz/$target" "$corpus" "$seeds" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
        -artifact_prefix="$findings/" -print_final_stats=1 2>"$build/$target.log"; then
        failed+=("$target")
        grep -E "ERROR|broken promise|SUMMARY|Test unit written" "$build/$target.log" || true
    fi
    grep -E "stat::number_of_executed_units|cov:" "$build/$target.log" | tail -2 || true
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Findings in: ${failed[*]} (see $build/findings and $build/<target>.log)"
    exit 1
fi
echo "No findings."
