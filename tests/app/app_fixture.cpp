#include "tests/app/app_fixture.h"

#include "resources/readhall_resources.h"
#include "src/app/splash.h"
#include "src/app/templates.h"
#include "src/framework/cmdtarget.h"
#include "src/framework/doctemplate.h"
#include "src/framework/statusbar.h"
#include "src/framework/winapp.h"
#include "src/shared/panes.h"
#include "src/shared/settingsfunctions.h"
#include "src/shared/startupchecks.h"
#include "tests/support/testenv.h"
#include "vantrel/core/engine.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace apptest
{

namespace
{

// Every test gets its own folder for the running-copy lock and socket, so a Readhall that
// runs on the machine is never disturbed, and forgets the checks' remembered answers.
const bool g_resetRegistered = [] {
    rhtest::addPerTestReset([] {
        static bool resourcesLoaded = false;
        if (!resourcesLoaded) {
            readhallInitResources();
            resourcesLoaded = true;
        }
        // A second copy started by a test shares the folder of the test that started it.
        const QString shared = qEnvironmentVariable("READHALL_APP_TEST_CHILD_RUNTIME");
        const QString runtime =
            shared.isEmpty() ? rhtest::testRoot() + QStringLiteral("/run") : shared;
        if (!rhtest::testRoot().isEmpty()) {
            QDir().mkpath(runtime);
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        }
        HideSplash();
        EnableSplash(0);
        startupchecks::resetForTests();
    });
    return true;
}();

} // namespace

EngineLibraryCalls RecordingEngine::libraryCalls()
{
    const auto note = [this](const char* call) {
        return [this, call] {
            calls << QString::fromLatin1(call);
            return 1;
        };
    };
    EngineLibraryCalls library;
    library.engctlInitialize = [this](int flag) {
        calls << QStringLiteral("engctl start %1").arg(flag);
        return engineStarts ? 1 : 0;
    };
    library.engctlDeinitialize = note("engctl stop");
    library.chanDirInitialize = note("chandir start");
    library.chanDirUninitialize = note("chandir stop");
    library.popSumInitialize = note("popsum start");
    library.popSumUninitialize = note("popsum stop");
    library.engineStatus = [this] { return status; };
    return library;
}

RecordingFrame::RecordingFrame(const QString& className) : CMDIFrameWnd(className)
{
    if (CWinApp* app = AfxGetApp())
        app->m_pMainWnd = this;
    onCommandRange(32768, 33100, [this](UINT id) { commands.push_back(id); });
}

TestApp::TestApp(RecordingEngine& engine) : TestApp()
{
    m_app->m_engine = engine.libraryCalls();
    CReadhallApp* app = m_app.get();
    m_app->m_mainFrameFactory = [app] { return new RecordingFrame(app->m_mainWindowClass); };
}

TestApp::TestApp() : m_app(std::make_unique<CReadhallApp>())
{
    m_app->m_splashAllowed = false;
    m_app->m_showMainWindowWhenIdle = false;
}

TestApp::~TestApp() = default;

BOOL TestApp::start(const QString& commandLine)
{
    m_app->m_lpCmdLine = commandLine;
    return m_app->InitInstance();
}

int TestApp::exit()
{
    return m_app->ExitInstance();
}

RecordingFrame* TestApp::frame() const
{
    return qobject_cast<RecordingFrame*>(m_app->GetMainFrame());
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(contents) == contents.size();
}

CMDIFrameWnd* startShown(TestApp& app)
{
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    closer.start(50);
    if (app.start(QString()) != 1)
        return nullptr;
    CMDIFrameWnd* frame = app->GetMainFrame();
    return frame && rhtest::waitFor([frame] { return frame->isVisible(); }) ? frame : nullptr;
}

} // namespace apptest

namespace mftest
{

void MainFrameTest::SetUp()
{
    readhallInitResources();
    startupchecks::resetForTests();
    TakeDirectoryWork();
    SetWorkgroupRestrictions(0);
    SetProgramFilePathForTests(rhtest::testRoot() + QStringLiteral("/bin/readhall"));

    ASSERT_TRUE(startEngine());

    m_app = std::make_unique<CReadhallApp>();
    m_app->SetRegistryKey(QStringLiteral("Vantrel\\Vantrel\\Settings"));
    m_app->m_nCmdShow = SW_SHOWNORMAL;
    InstallWindowPanes();
    for (const ReadhallTemplateInfo& kind : ReadhallTemplateTable()) {
        auto* docTemplate = new CDocTemplate(kind.resourceId, kind.docString, kind.document,
                                             kind.frame, kind.firstView);
        m_app->AddDocTemplate(docTemplate);
        m_app->m_templates[kind.slot] = docTemplate;
    }
}

bool MainFrameTest::startEngine(bool withWorker)
{
    vantrel::Engine::Options options;
    options.dataDir = rhtest::engineDataDir();
    options.seedDemo = false;
    options.startWorker = withWorker;
    return vantrel::Engine::start(options);
}

void MainFrameTest::TearDown()
{
    for (QPointer<CMainFrame>& frame : m_frames) {
        if (frame) {
            frame->DestroyWindow();
            delete frame.data();
        }
    }
    m_frames.clear();
    drainEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_app.reset();
    vantrel::Engine::stop();
    SetProgramFilePathForTests(QString());
    CMainFrame::SetNavigationBarFactory(nullptr);
    SetPaneFactory(PaneKind::HeadlineList, nullptr);
    SetPaneFactory(PaneKind::Browser, nullptr);
    startupchecks::resetForTests();
}

CMainFrame* MainFrameTest::createFrame()
{
    auto* frame = new CMainFrame;
    m_frames.emplace_back(frame);
    EXPECT_TRUE(frame->LoadFrame());
    return frame;
}

void MainFrameTest::destroyFrame(CMainFrame* frame)
{
    SendMessage(frame->hwnd(), WM_CLOSE, 0, 0);
    drainEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString statusText(CMainFrame* frame)
{
    return frame->GetStatusBar()->GetPaneText(ID_SEPARATOR);
}

QAction* MainFrameTest::evaluate(CMainFrame* frame, UINT id)
{
    QAction* action = frame->FindCommandAction(id);
    if (!action)
        return nullptr;
    CCmdUI ui(id, action);
    frame->UpdateCmdUI(&ui);
    return action;
}

} // namespace mftest
