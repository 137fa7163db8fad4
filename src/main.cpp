// Readhall: the reading client of the Vantrel push-content system.
//
//   readhall [/channelview | /searchview | /alertview | /directoryview] [feed address]
//   readhall --screenshot FILE [switches]   starts as usual, writes a PNG of the main window
//                                          once start-up has shown it, and exits
//   readhall --help | --version
//   readhall --startup-benchmark [switches] starts as usual, prints when the main window is
//                                          first shown (monotonic clock), the resident memory
//                                          and the longest stalls of the interface while it
//                                          lists, sorts and searches, and exits

#include "resources/readhall_resources.h"
#include "src/app/commandline.h"
#include "src/app/feedaddresses.h"
#include "src/app/readhallapp.h"
#include "src/app/startupbenchmark.h"
#include "src/framework/mainframe.h"
#include "src/platform/messagewindow.h"
#include "src/platform/runningcopy.h"
#include "src/shared/ids.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace
{

// Drives a screenshot run: waits until start-up has handed over to the main window (the
// navigation bar shows it once its first window is open), lets the windows lay out and
// paint, writes the picture and closes the program. It opens nothing itself, so the picture
// is what a person sees at that start.
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
    // How long the shown windows get to lay out and paint (the browser pane's page too).
    static constexpr int kSettleMs = 2000;

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
        if (m_shownAt.elapsed() < kSettleMs)
            return;
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
        std::fprintf(stderr, "readhall: the main window did not show in time\n");
        m_app.Quit(1);
    }

    CReadhallApp& m_app;
    QString m_file;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_shownAt;
    bool m_saved = false;
};

// A copy of Readhall runs already: it takes the addresses; this copy says which it could not
// hand over, rather than drop them without a word.
void HandAddressesToRunningCopy(const QList<QUrl>& addresses)
{
    for (const QUrl& address : HandFeedAddressesToRunningCopy(addresses))
        std::fprintf(stderr,
                     "readhall: the running Readhall did not take the feed address; add %s "
                     "there with Channel > Add Using Address\n",
                     qPrintable(address.toDisplayString()));
}

} // namespace

int main(int argc, char** argv)
{
    // The command line is read before the application object exists, so that --help,
    // --version and a wrong option are answered without a display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const ReadhallCommandLine commandLine = ParseReadhallCommandLine(arguments);
    switch (commandLine.action) {
    case ReadhallCommandLine::Action::ShowHelp:
        std::fputs(qPrintable(ReadhallUsageText()), stdout);
        return 0;
    case ReadhallCommandLine::Action::ShowVersion:
        std::fputs(qPrintable(ReadhallVersionText(QStringLiteral(READHALL_VERSION))), stdout);
        return 0;
    case ReadhallCommandLine::Action::Fail:
        std::fprintf(stderr, "readhall: %s\nTry 'readhall --help' for more information.\n",
                     qPrintable(commandLine.error));
        return 2;
    case ReadhallCommandLine::Action::Run:
        break;
    }
    for (const QString& warning : commandLine.warnings)
        std::fprintf(stderr, "readhall: %s\n", qPrintable(warning));

    // Chromium's sandbox refuses to run as root; the embedded browser needs it off then.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Readhall"));
    QApplication::setOrganizationName(QStringLiteral("Vantrel"));
    // The desktop entry's name: on Wayland it ties the windows to the entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(READHALL_APP_ID));
    readhallInitResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/readhall.png")));

    CReadhallApp app;
    app.m_lpCmdLine = commandLine.switchText;
    // Offered in Add Using Address: the command line's addresses, and as the running copy
    // those that later copies hand over.
    CFeedAddressOffers addressOffers(app);
    if (!commandLine.addresses.isEmpty()) {
        if (platform::isCopyRunning(QString::fromLatin1(READHALL_MAIN_WINDOW_CLASS)))
            HandAddressesToRunningCopy(commandLine.addresses);
        else
            addressOffers.add(commandLine.addresses);
    }
    if (commandLine.startupBenchmark)
        return RunStartupBenchmark(app);
    if (commandLine.screenshotFile.isEmpty())
        return app.Run();

    ScreenshotRun run(app, commandLine.screenshotFile);
    app.Run();
    return run.saved() ? 0 : 1;
}
