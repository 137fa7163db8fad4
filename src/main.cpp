// Readhall: the reading client of the Vantrel push-content system.
//
//   readhall [/channelview | /searchview | /alertview | /directoryview]
//   readhall --screenshot FILE [switches]   starts as usual, writes a PNG of the main window
//                                          once it shows its first window, and exits

#include "resources/readhall_resources.h"
#include "src/app/readhallapp.h"
#include "src/framework/childframe.h"
#include "src/framework/mainframe.h"
#include "src/platform/messagewindow.h"
#include "src/shared/ids.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace
{

// Drives a screenshot run: waits for the main window and its first child window, lets them
// paint, writes the picture and closes the program.
class ScreenshotRun : public QObject
{
public:
    ScreenshotRun(CReadhallApp& app, QString file) : m_app(app), m_file(std::move(file))
    {
        m_clock.start();
        m_timer.setInterval(100);
        connect(&m_timer, &QTimer::timeout, this, [this] { step(); });
        m_timer.start();
    }

    bool saved() const { return m_saved; }

private:
    void step()
    {
        // A non-interactive run answers no questions: a dialog that opens (Quick Setup on
        // the first start) is closed.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            return;
        }
        CMDIFrameWnd* frame = m_app.GetMainFrame();
        if (!frame || !frame->isVisible()) {
            giveUpAfterTimeout();
            return;
        }
        if (!m_shownAt.isValid())
            m_shownAt.start();
        if (frame->GetChildFrames().empty()) {
            // Nothing opened a window by itself: open the channel window.
            if (!m_askedForWindow && m_shownAt.elapsed() > 1500) {
                m_askedForWindow = true;
                SendMessage(frame->hwnd(), WM_COMMAND, ID_VIEW_CHANNEL_CONTENT, 0);
            }
            giveUpAfterTimeout();
            return;
        }
        if (!m_childSeenAt.isValid()) {
            m_childSeenAt.start();
            return;
        }
        if (m_childSeenAt.elapsed() < 1000)
            return; // let the windows lay out and paint
        m_timer.stop();
        const QPixmap picture = frame->grab();
        m_saved = !picture.isNull() && picture.save(m_file, "PNG");
        if (!m_saved)
            std::fprintf(stderr, "readhall: could not write the screenshot %s\n",
                         qPrintable(m_file));
        frame->OnClose();
        if (frame->isVisible())
            m_app.Quit(m_saved ? 0 : 1);
    }

    void giveUpAfterTimeout()
    {
        if (m_clock.elapsed() < 60000)
            return;
        m_timer.stop();
        std::fprintf(stderr, "readhall: the main window did not show a window in time\n");
        m_app.Quit(1);
    }

    CReadhallApp& m_app;
    QString m_file;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_shownAt;
    QElapsedTimer m_childSeenAt;
    bool m_askedForWindow = false;
    bool m_saved = false;
};

} // namespace

int main(int argc, char** argv)
{
    // Chromium's sandbox refuses to run as root; the embedded browser needs it off then.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Readhall"));
    QApplication::setOrganizationName(QStringLiteral("Vantrel"));
    readhallInitResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/readhall.png")));

    QStringList arguments = QApplication::arguments().mid(1);
    QString screenshotFile;
    const int screenshotAt = arguments.indexOf(QStringLiteral("--screenshot"));
    if (screenshotAt >= 0) {
        if (screenshotAt + 1 >= arguments.size()) {
            std::fprintf(stderr, "usage: readhall --screenshot FILE [switches]\n");
            return 2;
        }
        screenshotFile = QFileInfo(arguments.at(screenshotAt + 1)).absoluteFilePath();
        arguments.remove(screenshotAt, 2);
    }

    CReadhallApp app;
    app.m_lpCmdLine = arguments.join(QLatin1Char(' '));
    if (screenshotFile.isEmpty())
        return app.Run();

    ScreenshotRun run(app, screenshotFile);
    app.Run();
    return run.saved() ? 0 : 1;
}
