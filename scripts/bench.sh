#!/usr/bin/env bash
# Runs every benchmark several times and prints a table of medians, with the machine's CPU
# model and core count.
#
#   scripts/bench.sh [RUNS]          (default 5 runs of each)
#
# Builds into <worktree>/build-bench (release build with debug information, no tests). The
# engine and headline-list benchmarks are the Google Benchmark programs in bench/; the
# start-up rows start the real program (offscreen) on stores of 100,000 and 1,000,000 stories
# that vantrel_make_store writes once into build-bench/stores, and read what its
# --startup-benchmark option prints: when the main window was first shown, the resident
# memory 5 s later, and the longest stalls of the interface.
set -euo pipefail
top="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-5}"
build="$top/build-bench"

"$top/scripts/build.sh" "$build" -DREADHALL_BUILD_TESTS=OFF -DREADHALL_BUILD_BENCH=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

stores="$build/stores"
mkdir -p "$stores"
for store in "100k 10 10000" "1m 100 10000"; do
    set -- $store
    if [ ! -f "$stores/$1/vantrel.db" ]; then
        rm -rf "$stores/$1.tmp"
        "$build/bench/engine/vantrel_make_store" "$stores/$1.tmp" "$2" "$3" >/dev/null
        mv "$stores/$1.tmp" "$stores/$1"
    fi
done

out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
for program in feeds/bench_feeds engine/bench_engine engine/bench_prune stories/bench_stories search/bench_search; do
    "$build/bench/$program" --benchmark_repetitions="$runs" \
        --benchmark_report_aggregates_only=true --benchmark_format=json \
        >"$out/$(basename "$program").json" 2>/dev/null
done

python3 - "$build" "$stores" "$out" "$runs" <<'PY'
import json, os, statistics, subprocess, sys, tempfile, time, shutil

build, stores, out, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
program = os.path.join(build, "src", "readhall")

def startup_run(store, config):
    env = dict(os.environ)
    env.update({
        "QT_QPA_PLATFORM": "offscreen",
        "QTWEBENGINE_DISABLE_SANDBOX": "1",
        "QTWEBENGINE_CHROMIUM_FLAGS": "--no-sandbox --disable-gpu",
        "XDG_CONFIG_HOME": config,
        "XDG_DATA_HOME": os.path.join(config, "data"),
        "VANTREL_DATA_DIR": store,
        "VANTREL_NO_DEMO": "1",
    })
    started = time.monotonic_ns()
    done = subprocess.run([program, "--startup-benchmark"], env=env, capture_output=True,
                          text=True, timeout=120)
    values = {}
    for line in done.stdout.splitlines():
        if line.startswith("readhall-benchmark: "):
            name, _, value = line[len("readhall-benchmark: "):].partition("=")
            values[name] = int(value)
    if "shown-ns" not in values:
        raise SystemExit("readhall --startup-benchmark printed no start time:\n" + done.stderr)
    values["start-ms"] = (values["shown-ns"] - started) / 1e6
    return values

rows = []
def row(what, values, unit, target):
    median = statistics.median(values)
    rows.append((what, f"{median:.1f} {unit}" if median < 100 else f"{median:.0f} {unit}", target))

for name, label, target_start, target_rss in (("100k", "100,000", 250, 150), ("1m", "1,000,000", 500, 400)):
    # A copy per run keeps the generated store as it was made.
    config = tempfile.mkdtemp(prefix="readhall-bench-")
    try:
        store = os.path.join(config, "store")
        shutil.copytree(os.path.join(stores, name), store)
        startup_run(store, config)  # first start: settings are written, not measured
        results = [startup_run(store, config) for _ in range(runs)]
    finally:
        shutil.rmtree(config, ignore_errors=True)
    row(f"Process start to main window shown, {label} stories stored",
        [r["start-ms"] for r in results], "ms", f"< {target_start} ms")
    row(f"Resident memory 5 s after start, {label} stories, channel window open",
        [r["rss-kib"] / 1024 for r in results], "MiB", f"< {target_rss} MiB")
    row(f"Longest UI stall while starting, {label} stories",
        [r["stall-start-ms"] for r in results], "ms", "< 100 ms" if name == "1m" else "")
    row(f"Longest UI stall listing a channel of 10,000, {label} stories",
        [r["stall-list-ms"] for r in results], "ms", "< 100 ms" if name == "1m" else "")
    row(f"Longest UI stall sorting it by each column, {label} stories",
        [r["stall-sort-ms"] for r in results], "ms", "< 100 ms" if name == "1m" else "")
    row(f"Longest UI stall searching every channel, {label} stories",
        [r["stall-search-ms"] for r in results], "ms", "< 100 ms" if name == "1m" else "")

labels = {
    "BM_ParseRss10k": ("Parsing a 10,000-item RSS 2.0 feed from memory", ""),
    "BM_ParseAtom10k": ("Parsing a 10,000-item Atom feed from memory", ""),
    "BM_IngestFeed10k": ("First download of a 10,000-item feed (read, parse, store)", ""),
    "BM_RefreshUnchangedFeed10k": ("The same feed downloaded again, nothing changed", ""),
    "BM_OpenStore100k": ("Opening a store of 100,000 stories (counts only)", ""),
    "BM_LoadChannel10k": ("Reading the 10,000 stories of one channel when first listed", ""),
    "BM_SummaryFromStore": ("Reading one summary from the store (not kept)", ""),
    "BM_FindStories100k/1": ("Finding text in 100,000 headlines", "< 15 ms"),
    "BM_FindStories100k/0": ("Finding text in 100,000 headlines and summaries", "< 50 ms"),
    "BM_LoadedStoryMemory100k": ("Memory of 100,000 loaded stories", ""),
    "BM_MergeFeed10k/0": ("Merging a 10,000-item feed into an empty channel (no store)", ""),
    "BM_MergeFeed10k/1": ("Merging it into the channel that has it all (no store)", ""),
    "BM_MergeFeed10kRules/0": ("Merging a 10,000-item feed, no rules (no store)", ""),
    "BM_MergeFeed10kRules/1": ("The same with 20 alert and 20 filter rules", "< 50 ms more"),
    "BM_ReadStoryAttributes100k": ("Reading what a list shows of 100,000 stories, by name", ""),
    "BM_FillCategory100k": ("Filling the headline list with 100,000 stories", "< 50 ms"),
    "BM_FirstSortByColumn100k/0": ("First sort of 100,000 rows after a fill: Content", "< 50 ms"),
    "BM_FirstSortByColumn100k/1": ("First sort after a fill: Received", "< 50 ms"),
    "BM_FirstSortByColumn100k/2": ("First sort after a fill: Channel", "< 50 ms"),
    "BM_FirstSortByColumn100k/3": ("First sort after a fill: Subchannel", "< 50 ms"),
    "BM_SortByColumn100k/0": ("Sorting the 100,000 rows again: Content", "< 50 ms"),
    "BM_SortByColumn100k/1": ("Sorting again: Received", "< 50 ms"),
    "BM_SortByColumn100k/2": ("Sorting again: Channel", "< 50 ms"),
    "BM_SortByColumn100k/3": ("Sorting again: Subchannel", "< 50 ms"),
    "BM_AttributeChanges1000": ("Applying 1,000 story attribute changes to the list", ""),
    "BM_DownloadStall16x10k": ("Longest UI stall while 16 channels of 10,000 download", "< 50 ms"),
    "BM_SearchAllChannels100k/0": ("Search window: a text in 100,000 headlines and 500-byte summaries, list filled", "< 50 ms"),
    "BM_SearchAllChannels100k/1": ("Search window: the same in the headlines only", "< 15 ms"),
    "BM_SearchManyFound100k": ("Search window: 1,111 stories found in the summaries, list filled", ""),
    "BM_SearchAgainAfterOneChange100k": ("Search window: the same search again after one story changed", "< 50 ms"),
    "BM_Prune100kTo10kLongestStall": ("Pruning 100,000 stories to 10,000 on the worker (longest UI stall)", "< 1000 ms"),
}
for program in ("bench_feeds", "bench_engine", "bench_prune", "bench_stories", "bench_search"):
    with open(os.path.join(out, program + ".json")) as f:
        data = json.load(f)
    for b in data["benchmarks"]:
        if b.get("aggregate_name") != "median":
            continue
        name = b["run_name"].split("/iterations:")[0]
        what, target = labels.get(name, (name, ""))
        if "MiB" in b:
            rows.append((what, f"{b['MiB']:.1f} MiB", target))
        elif "stall_ms" in b or "longest_stall_ms" in b:
            value = f"{b.get('stall_ms', b.get('longest_stall_ms')):.1f} ms"
            if "prune_ms" in b:
                value += f" (done in {b['prune_ms']:.0f} ms)"
            rows.append((what, value, target))
        else:
            unit = b["time_unit"]
            value = b["cpu_time"]
            rows.append((what, f"{value:.1f} {unit} CPU" if value < 100 else f"{value:.0f} {unit} CPU", target))

cpu = "unknown CPU"
with open("/proc/cpuinfo") as f:
    for line in f:
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
print(f"Machine: {cpu}, {os.cpu_count()} cores; medians of {runs} runs")
print()
print("| What | Median | Target |")
print("|---|---|---|")
for what, value, target in rows:
    print(f"| {what} | {value} | {target} |")
PY
