#pragma once
// Checks made while the program starts and by the windows that depend on optional parts:
// where the engine keeps its data, whether the embedded web browser can be used, whether the
// separately installed publishing tool is there; and bitmap resources by id.

#include "src/platform/wintypes.h"

#include <QPixmap>
#include <QString>
#include <functional>

// The engine's data root, always ending in "/": the user's "Data Path" of
// "SOFTWARE\Vantrel\Vantrel", else the engine's installation path ("Path" of the machine's
// "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\vantrel.exe") without a last
// component "program" (any letter case). Empty and relative paths are refused. Returns 1 when
// found.
BOOL GetEngineDataRoot(QString& root);

// Whether the embedded web browser (Qt WebEngine) can be used. Worked out on the first call
// and remembered for the life of the process. READHALL_NO_WEBENGINE=1 in the environment
// switches it off.
BOOL IsWebBrowserAvailable();

// The publishing tool's start page: "<engine data directory>/publishing-tool-root/top.htm".
// The path is filled whenever the data directory is known; returns 1 when the file exists.
BOOL GetPublishingStartPage(QString& path);

// Whether the publishing wizard can be offered: "Enabled" and "PublishingWizard" of the
// user's "Software\Vantrel\Vantrel\Publishing" both nonzero and the start page present.
// Worked out on the first call and kept for the life of the process.
BOOL IsPublishingWizardAvailable();

// A bitmap resource of the program by id; a null picture when there is none.
QPixmap LoadResourceBitmap(UINT id);

namespace startupchecks
{
// Test hooks. The probe replaces the real web-browser check (null: the real one again); each
// change forgets the remembered answer. probeCount() tells how often the check ran.
void setWebBrowserProbe(std::function<bool()> probe);
int webBrowserProbeCount();
// Forgets the remembered answers of both checks (between tests).
void resetForTests();
} // namespace startupchecks
