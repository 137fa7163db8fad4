#include "src/platform/shell.h"

#include "src/platform/internal/testreset.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>

namespace
{

struct ShellHook {
    QMutex mutex;
    std::function<bool(const QUrl&)> open;
};

ShellHook& shellHook()
{
    // Never destroyed: windows and objects of static lifetime may use it during exit.
    static ShellHook* h = new ShellHook;
    return *h;
}

} // namespace

bool IsOpenableAddress(const QUrl& url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file"))
        return true;
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

QString RefusedAddressText(const QString& address)
{
    // The status bar shows one line: a long address is cut.
    constexpr int kShown = 60;
    QString shown = address.trimmed().simplified();
    if (shown.size() > kShown)
        shown = shown.left(kShown) + QStringLiteral("...");
    return QStringLiteral("\"%1\" was not opened: Readhall opens only web addresses (http, "
                          "https) and local files.")
        .arg(shown);
}

BOOL ShellOpen(const QString& documentOrAddress)
{
    const QUrl url = platform::shellOpenUrl(documentOrAddress);
    if (!url.isValid() || url.isEmpty() || !IsOpenableAddress(url))
        return 0;
    std::function<bool(const QUrl&)> hook;
    {
        ShellHook& h = shellHook();
        QMutexLocker lock(&h.mutex);
        hook = h.open;
    }
    if (hook)
        return hook(url) ? 1 : 0;
    return QDesktopServices::openUrl(url) ? 1 : 0;
}

BOOL StartProgram(const QString& program, const QStringList& arguments,
                  const QString& workingDirectory, qint64* processId)
{
    if (program.isEmpty())
        return 0;
    // QProcess hands the arguments to execve one by one: no shell sees them.
    return QProcess::startDetached(program, arguments, workingDirectory, processId) ? 1 : 0;
}

DWORD GetFileAttributes(const QString& path)
{
    if (path.isEmpty())
        return INVALID_FILE_ATTRIBUTES;
    const QFileInfo info(path);
    if (!info.exists())
        return INVALID_FILE_ATTRIBUTES;
    DWORD attributes = 0;
    if (info.isDir())
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (!info.isWritable())
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (info.fileName().startsWith(QLatin1Char('.')))
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

BOOL FileExists(const QString& path)
{
    return GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

namespace platform
{

void setShellOpenHook(std::function<bool(const QUrl&)> hook)
{
    ShellHook& h = shellHook();
    QMutexLocker lock(&h.mutex);
    h.open = std::move(hook);
}

QUrl shellOpenUrl(const QString& documentOrAddress)
{
    const QString text = documentOrAddress.trimmed();
    if (text.isEmpty())
        return QUrl();
    // An absolute path, or a relative one that names an existing file, is a local document.
    if (QDir::isAbsolutePath(text) || QFileInfo::exists(text))
        return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    const QUrl url(text, QUrl::StrictMode);
    if (url.isValid() && !url.scheme().isEmpty())
        return url;
    return QUrl::fromUserInput(text);
}

namespace
{
void resetShellHook()
{
    setShellOpenHook(nullptr);
}
const detail::PerTestReset registerReset(&resetShellHook);
} // namespace

} // namespace platform
