#pragma once
// Importing and exporting one's channels as an OPML file, for any window of the engine that
// offers it (Quick Setup, the engine's options): the choice of the file, the work, and what
// it did, said to the person.

#include "vantrel/core/engine.h"

#include <QString>

class QWidget;

namespace vantrel::dialogs
{

// What an import did, as a person reads it: the summary line, and the details (which channels
// were already subscribed, which were refused and why).
QString importReportText(const OpmlImportReport& report);
QString importReportDetails(const OpmlImportReport& report);

// Asks for an OPML file to import; empty when the person cancelled.
QString chooseOpmlFileToImport(QWidget* parent, const QString& start = QString());
// Imports the file and tells the person what it did.
OpmlImportReport importOpmlFile(QWidget* parent, const QString& path);

// Writes every channel to the file and says so; false (said as well) when it cannot.
bool exportOpmlFile(QWidget* parent, const QString& path);
// Asks where to save, then exports; false when the person cancelled or it failed.
bool exportOpmlInteractively(QWidget* parent);

} // namespace vantrel::dialogs
