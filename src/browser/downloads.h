#pragma once
// Files that pages hand over for saving (a link with a download attribute, a file the browser
// cannot show): each is saved only where the person says, through a save dialog, and nothing
// is written without asking. A saved file is named in the status bar; a download that fails
// is reported in a message box.

#include <QString>
#include <functional>

class QWebEngineProfile;
class QWidget;

namespace browserdownloads
{

// Makes the profile's downloads ask where to save. Once per profile: later calls change
// nothing.
void InstallDownloadHandler(QWebEngineProfile* profile);

// The question before a download: given the suggested path, the chosen path, or an empty
// text to cancel. Tests put their own answer here; null brings back the save dialog. While
// test programs run (READHALL_TESTING set) and no question is set, every download is
// cancelled.
using SaveFileQuestion = std::function<QString(QWidget* parent, const QString& suggestedPath)>;
void SetSaveFileQuestion(SaveFileQuestion question);

} // namespace browserdownloads
