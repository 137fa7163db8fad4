#include "src/browser/downloads.h"

#include "src/browser/browserids.h"
#include "src/platform/messagebox.h"
#include "src/platform/resources.h"
#include "src/shared/ids.h"
#include "src/shared/mainframelink.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace browserdownloads
{

namespace
{

// Marks a profile whose downloads are handled here.
constexpr char kHandledProperty[] = "readhallDownloadsHandled";

SaveFileQuestion& questionHook()
{
    static SaveFileQuestion hook;
    return hook;
}

QString askWhereToSave(QWidget* parent, const QString& suggestedPath)
{
    if (const SaveFileQuestion& hook = questionHook())
        return hook(parent, suggestedPath);
    if (platform::messageBoxHookActive())
        return QString(); // no dialog while tests run
    // The dialog asks again before it replaces an existing file.
    return QFileDialog::getSaveFileName(
        parent, LoadStringOr(IDS_DOWNLOAD_SAVE_CAPTION, "Save File"), suggestedPath);
}

void reportOutcome(QWebEngineDownloadRequest* request, QPointer<QWidget> parent)
{
    switch (request->state()) {
    case QWebEngineDownloadRequest::DownloadCompleted:
        if (CMainFrameLink* frame = MainFrameLink()) {
            const QString saved =
                QDir(request->downloadDirectory()).filePath(request->downloadFileName());
            frame->PostStatusText(
                LoadStringOr(IDS_DOWNLOAD_SAVED, "Saved %s")
                    .replace(QLatin1String("%s"), QDir::toNativeSeparators(saved)));
        }
        break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        MessageBox(parent.data(),
                   LoadStringOr(IDS_DOWNLOAD_FAILED, "The file could not be saved.\n%s")
                       .replace(QLatin1String("%s"), request->interruptReasonString()),
                   LoadString(IDS_MAINFRAME_TITLE), MB_OK | MB_ICONEXCLAMATION);
        break;
    default:
        break;
    }
}

void onDownloadRequested(QWebEngineDownloadRequest* request)
{
    QPointer<QWidget> parent;
    if (QWebEngineView* view = QWebEngineView::forPage(request->page()))
        parent = view->window();
    const QString suggested =
        QDir(request->downloadDirectory()).filePath(request->downloadFileName());
    const QString chosen = askWhereToSave(parent.data(), suggested);
    if (chosen.isEmpty()) {
        request->cancel();
        return;
    }
    const QFileInfo target(chosen);
    request->setDownloadDirectory(target.absolutePath());
    request->setDownloadFileName(target.fileName());
    QObject::connect(request, &QWebEngineDownloadRequest::stateChanged, request,
                     [request, parent] { reportOutcome(request, parent); });
    request->accept();
}

} // namespace

void InstallDownloadHandler(QWebEngineProfile* profile)
{
    if (!profile || profile->property(kHandledProperty).toBool())
        return;
    profile->setProperty(kHandledProperty, true);
    QObject::connect(profile, &QWebEngineProfile::downloadRequested, profile, &onDownloadRequested);
}

void SetSaveFileQuestion(SaveFileQuestion question)
{
    questionHook() = std::move(question);
}

} // namespace browserdownloads
