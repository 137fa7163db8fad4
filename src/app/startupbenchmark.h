#pragma once
// A start-up benchmark run of the real program (readhall --startup-benchmark): it prints, one
// "readhall-benchmark: name=value" line each, when the main window was first shown, the
// resident memory and the longest stalls of the interface while it lists, sorts and searches,
// and then closes the program. scripts/bench.sh reads these lines.

class CReadhallApp;

// Runs the application under the benchmark; the application's exit code.
int RunStartupBenchmark(CReadhallApp& app);
