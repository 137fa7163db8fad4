#pragma once
// The private environment of one test: every test starts with its own empty folder, and the
// settings store and engine data directory point into it.

#include <QString>
#include <functional>

namespace rhtest {

// The current test's private folder (removed when the test ends).
QString testRoot();
// $XDG_CONFIG_HOME of the current test: the user settings file lives below it.
QString configHome();
// The engine's data directory of the current test ($XDG_DATA_HOME/vantrel).
QString engineDataDir();
// The machine-wide settings file of the current test.
QString machineSettingsFile();

// Functions run at the start of every test, after the environment points at the new
// folder: each layer that caches state derived from the environment registers a reset here.
void addPerTestReset(std::function<void()> reset);

// Runs the Qt event loop until the condition holds or the timeout passes; returns the
// condition's last value.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

} // namespace rhtest
