#include "src/shared/startupchecks.h"

#include "src/platform/resources.h"
#include "src/platform/settingsstore.h"
#include "src/platform/shell.h"
#include "src/shared/settings.h"
#include "vantrel/engctl.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMutex>
#include <QMutexLocker>
#include <optional>

namespace
{

constexpr char ENGINE_PROGRAM_FOLDER[] = "program";
constexpr char PUBLISHING_START_PAGE[] = "publishing-tool-root/top.htm";

QMutex& checksLock()
{
    static QMutex lock;
    return lock;
}

struct ChecksState {
    std::optional<bool> webBrowser;
    std::optional<bool> publishing;
    std::function<bool()> probe;
    int probeCount = 0;
};

ChecksState& state()
{
    static ChecksState s;
    return s;
}

QString withTrailingSeparator(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

// Qt WebEngine renders in a helper process; without it no page can show.
bool realWebBrowserProbe()
{
    const QString fromEnvironment = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (!fromEnvironment.isEmpty())
        return QFileInfo(fromEnvironment).isExecutable();
    const QString helper = QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) +
                           QStringLiteral("/QtWebEngineProcess");
    return QFileInfo(helper).isExecutable();
}

} // namespace

BOOL GetEngineDataRoot(QString& root)
{
    root.clear();
    // A relative path would name a different folder for every working directory the program
    // starts in, so it names no folder at all; an empty one names none either.
    const QString dataPath = settings::engineDataPath();
    if (!dataPath.isEmpty()) {
        if (QDir::isRelativePath(dataPath))
            return 0;
        root = withTrailingSeparator(dataPath);
        return 1;
    }

    const QString installPath = settings::engineInstallPath();
    if (installPath.isEmpty() || QDir::isRelativePath(installPath))
        return 0;
    // The engine is installed in "<root>/program"; its data lives in <root>.
    QString trimmed = installPath;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const int cut = trimmed.lastIndexOf(QLatin1Char('/'));
    const QString last = trimmed.mid(cut + 1);
    if (cut >= 0 && last.compare(QLatin1String(ENGINE_PROGRAM_FOLDER), Qt::CaseInsensitive) == 0)
        root = trimmed.left(cut + 1);
    else
        root = withTrailingSeparator(installPath);
    return 1;
}

BOOL IsWebBrowserAvailable()
{
    QMutexLocker locker(&checksLock());
    ChecksState& s = state();
    if (!s.webBrowser) {
        ++s.probeCount;
        if (qEnvironmentVariable("READHALL_NO_WEBENGINE") == QLatin1String("1"))
            s.webBrowser = false;
        else
            s.webBrowser = s.probe ? s.probe() : realWebBrowserProbe();
    }
    return *s.webBrowser ? 1 : 0;
}

BOOL GetPublishingStartPage(QString& path)
{
    path.clear();
    QKBuffer buffer;
    if (!VTGetDirectory(1, buffer))
        return 0;
    const QString directory = buffer.GetText();
    if (directory.isEmpty())
        return 0;
    path = QDir::cleanPath(withTrailingSeparator(directory) +
                           QString::fromLatin1(PUBLISHING_START_PAGE));
    return QFileInfo(path).isFile() ? 1 : 0;
}

BOOL IsPublishingWizardAvailable()
{
    {
        QMutexLocker locker(&checksLock());
        if (state().publishing)
            return *state().publishing ? 1 : 0;
    }
    bool available = false;
    if (settings::publishingToolEnabled()) {
        QString page;
        available = GetPublishingStartPage(page) == 1;
    }
    QMutexLocker locker(&checksLock());
    if (!state().publishing)
        state().publishing = available;
    return *state().publishing ? 1 : 0;
}

QPixmap LoadResourceBitmap(UINT id)
{
    return LoadBitmapResource(id);
}

namespace startupchecks
{

void setWebBrowserProbe(std::function<bool()> probe)
{
    QMutexLocker locker(&checksLock());
    state().probe = std::move(probe);
    state().webBrowser.reset();
    state().probeCount = 0;
}

int webBrowserProbeCount()
{
    QMutexLocker locker(&checksLock());
    return state().probeCount;
}

void resetForTests()
{
    QMutexLocker locker(&checksLock());
    state().webBrowser.reset();
    state().publishing.reset();
    state().probe = nullptr;
    state().probeCount = 0;
}

} // namespace startupchecks
