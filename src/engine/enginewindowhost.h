#pragma once
// The engine's own windows among the program's. The engine runs in the program's process but
// knows nothing of its window layer; the host gives the engine's windows a window handle of
// their class (the channel status window is "QSENGINE_NOTIFICATIONS"), so that FindWindow
// finds them, and a notification window of the engine's side, so that the numbered
// notifications meant for the engine (25: show the channel status) reach it the way every
// notification travels. The engine's own notifications (animation started and stopped,
// restrictions changed, status text) are broadcast to the notification windows from here.
//
// Installed once the engine runs, removed before it stops.

// Returns false when the engine's notification window could not be made (the engine's
// windows are still findable).
bool InstallEngineWindowHost();
void RemoveEngineWindowHost();
