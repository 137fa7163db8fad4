#include "src/app/commandline.h"
#include "src/app/feedaddresses.h"
#include "src/app/splash.h"
#include "src/framework/doctemplate.h"
#include "src/framework/view.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/platform/runningcopy.h"
#include "src/platform/settingsstore.h"
#include "src/shared/ids.h"
#include "src/shared/programstate.h"
#include "src/shared/settingsfunctions.h"
#include "tests/app/app_fixture.h"
#include "tests/support/testenv.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>
#include <QWindow>
#include <thread>

using apptest::RecordingEngine;
using apptest::TestApp;
using sharedtest::storedNumber;

namespace
{

void markSetupDone()
{
    WriteLayoutFlag(HKEY_CURRENT_USER, LAYOUT_KEY_PATH, "SetupWizardDisplayed", DWORD(1));
}

// A program past its first run, with recorded libraries; it is ended when the test ends
// (ending twice is harmless).
class Started : public ::testing::Test
{
protected:
    void SetUp() override { markSetupDone(); }
    void TearDown() override { app.exit(); }
    RecordingEngine engine;
    TestApp app{engine};
};
using StartUp = Started;
using SingleCopy = Started;
using IdleWork = Started;

TEST(CommandLine, TheFirstSwitchFoundInOrderDecides)
{
    // The alerts texts are looked for first.
    EXPECT_EQ(CReadhallApp::CommandFromCommandLine("/searchview /alertview"), 32782u);
    EXPECT_EQ(CReadhallApp::CommandFromCommandLine("-searchview"), 32781u);
    EXPECT_EQ(CReadhallApp::CommandFromCommandLine("/channelview -directoryview"), 32786u);
    // A plain substring search: inside a longer word still counts.
    EXPECT_EQ(CReadhallApp::CommandFromCommandLine("x/channelviewer"), 32780u);
    EXPECT_EQ(CReadhallApp::CommandFromCommandLine(""), 0u);
    EXPECT_EQ(CReadhallApp::CommandFromCommandLine("/embedding"), 0u);
}

TEST_F(StartUp, LibrariesStartInOrderAndStopOnceInReverseAndTheWindowShowsOnceTheLoopRuns)
{
    app->m_showMainWindowWhenIdle = true;
    ASSERT_EQ(app.start(""), 1);
    EXPECT_EQ(engine.calls, QStringList({"engctl start 1", "chandir start", "popsum start"}));
    EXPECT_EQ(app->m_bLibrariesStarted, 1);
    EXPECT_NE(app->m_hPalette, nullptr);
    // Without a switch no window is asked for.
    EXPECT_TRUE(app.frame()->commands.empty());
    EXPECT_EQ(app->m_nPendingStartCommand, 0u);
    EXPECT_EQ(app->m_pMainWnd, app->GetMainFrame());
    EXPECT_FALSE(app->GetMainFrame()->isVisible()); // shown once the message loop runs
    EXPECT_TRUE(rhtest::waitFor([&] { return app->GetMainFrame()->isVisible(); }));

    app.exit();
    app.exit(); // the end of a session may reach exit twice
    EXPECT_EQ(engine.calls, QStringList({"engctl start 1", "chandir start", "popsum start",
                                         "popsum stop", "chandir stop", "engctl stop"}));
    EXPECT_EQ(app->m_bLibrariesStarted, 0);
    EXPECT_EQ(app->m_hPalette, nullptr);
}

TEST(StartUpMessages, WhatTheEngineSaysAboutItsStartReachesThePerson)
{
    markSetupDone();
    const struct {
        bool starts;
        const char* status;
        const char* shown;
        UINT icon;
    } cases[] = {
        {false, "", "Error launching Vantrel.exe", MB_ICONSTOP},
        {true, "The engine store was damaged (bad page); it was moved aside",
         "The engine store was damaged (bad page); it was moved aside", MB_ICONEXCLAMATION},
        {false, "the store is locked by another program",
         "Error launching Vantrel.exe\n\nthe store is locked by another program", MB_ICONSTOP},
    };
    for (const auto& c : cases) {
        platform::resetMessageBoxHook();
        RecordingEngine engine{{}, c.starts, c.status};
        TestApp app(engine);
        EXPECT_EQ(app.start("/alertview"), c.starts ? 1 : 0);
        const auto& boxes = platform::messageBoxQuestions();
        ASSERT_EQ(boxes.size(), 1u) << c.status;
        EXPECT_EQ(std::tuple(boxes[0].text, boxes[0].caption, boxes[0].flags & MB_ICONMASK),
                  std::tuple(QString::fromUtf8(c.shown), QString("Readhall"), c.icon));
        if (c.starts) {
            app.exit();
            continue;
        }
        EXPECT_TRUE(boxes[0].flags & MB_SYSTEMMODAL);
        EXPECT_EQ(app->GetMainFrame(), nullptr);
        EXPECT_EQ(app.exit(), 1); // the process ends with a failure code
        // Nothing else was started, so nothing is stopped.
        EXPECT_EQ(engine.calls, QStringList({"engctl start 1"}));
    }
}

TEST_F(StartUp, TheSplashIsOnScreenAndPaintedWhileTheEngineStarts)
{
    app->m_splashAllowed = true;
    bool shownWhileStarting = false;
    app->m_engine.engctlInitialize = [&](int) {
        const CSplashWindow* splash = CSplashWindow::current();
        shownWhileStarting = splash && splash->isVisible() && splash->windowHandle() &&
                             splash->windowHandle()->isExposed() && splash->painted();
        return 1;
    };
    ASSERT_EQ(app.start(""), 1);
    EXPECT_TRUE(shownWhileStarting);
    EXPECT_EQ(CSplashWindow::current(), nullptr); // gone once start-up ends
}

TEST(FirstRun, RunsQuickSetupInsteadOfTheSwitch)
{
    RecordingEngine engine;
    TestApp app(engine);
    ASSERT_EQ(app.start("/alertview"), 1);
    ASSERT_NE(app.frame(), nullptr);
    EXPECT_EQ(app.frame()->commands, std::vector<UINT>{32833});
    EXPECT_EQ(storedNumber(LAYOUT_KEY_PATH, "SetupWizardDisplayed"), 1u);
    EXPECT_EQ(app->m_dwSetupWizardDisplayed, 1u);
    app.exit();

    // The next start opens the asked-for window.
    TestApp again(engine);
    ASSERT_EQ(again.start("/alertview"), 1);
    EXPECT_EQ(again.frame()->commands, std::vector<UINT>{32782});
    again.exit();
}

TEST_F(StartUp, AMainFrameThatCannotBeMadeEndsStartUpSilently)
{
    app->m_mainFrameFactory = [] { return nullptr; };
    EXPECT_EQ(app.start("/searchview"), 0);
    EXPECT_TRUE(platform::messageBoxQuestions().empty());
    app.exit();
    EXPECT_EQ(engine.calls.last(), QStringLiteral("engctl stop"));
}

TEST(HelpFile, APageBesideTheProgramWinsOverTheBuiltInOne)
{
    const QString folder = rhtest::testRoot() + "/program";
    QDir().mkpath(folder);
    EXPECT_EQ(ReadhallHelpFilePath(folder), QStringLiteral(":/help/rdhall.html"));
    ASSERT_TRUE(apptest::writeFile(folder + "/rdhall.html", "<html><body>Help</body></html>"));
    EXPECT_EQ(ReadhallHelpFilePath(folder), folder + "/rdhall.html");
}

TEST(ShowUnreadItemsOnly, IsReadAtConstructionAndWrittenAtDestruction)
{
    const QString key = SettingsKeyPath("Readhall");
    {
        auto app = std::make_unique<CReadhallApp>();
        EXPECT_EQ(app->m_bShowUnreadItemsOnly, 0);
        EXPECT_EQ(storedNumber(key, "Show Unread Items Only"), 0u); // created with its default
        app->m_bShowUnreadItemsOnly = 1;
    }
    EXPECT_EQ(storedNumber(key, "Show Unread Items Only"), 1u);
    auto app = std::make_unique<CReadhallApp>();
    EXPECT_EQ(app->m_bShowUnreadItemsOnly, 1);
}

TEST(Broadcast, PostsToEachLiveWindowOnceFromTheLastRegisteredAndDropsTheDead)
{
    auto app = std::make_unique<CReadhallApp>();
    std::vector<std::pair<int, WPARAM>> log; // (window 1 to 4, wParam) as posted
    std::vector<std::unique_ptr<MessageWindow>> windows;
    std::vector<HWND> handles;
    for (int id = 1; id <= 4; ++id) {
        windows.push_back(std::make_unique<MessageWindow>(QStringLiteral("CHeadlineView")));
        windows.back()->setMessageHandler([&log, id](UINT, WPARAM wParam, LPARAM) {
            log.emplace_back(id, wParam);
            return LRESULT(0);
        });
        handles.push_back(windows.back()->hwnd());
        app->RegisterWindow(handles.back());
    }
    app->RegisterWindow(handles[3]);
    app->RegisterWindow(0x7FFFFFF0);   // not a window: ignored
    app->UnregisterWindow(handles[3]); // every entry of it goes
    EXPECT_EQ(app->GetBroadcastWindows().size(), 3u);

    windows[1].reset(); // destroyed without unregistering
    const UINT message = RegisterWindowMessage("RH_NOTIFICATION_SHOWUNREADITEMSONLY_CHANGED");
    app->BroadcastMessage(message, 1, 0);
    EXPECT_TRUE(log.empty()); // posted, not sent
    EXPECT_EQ(app->GetBroadcastWindows(), (std::vector<HWND>{handles[0], handles[2]}));
    ASSERT_TRUE(rhtest::waitFor([&] { return log.size() >= 2; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(log, (std::vector<std::pair<int, WPARAM>>{{3, 1}, {1, 1}}));
}

// A view that records the hints it gets.
class HintView : public CView
{
public:
    void OnUpdate(CView*, LPARAM hint, CObject*) override { hints.push_back(hint); }
    std::vector<LPARAM> hints;
};

TEST_F(IdleWork, DirectoryFlagsAreWorkedOffOnce)
{
    ASSERT_EQ(app.start(""), 1);
    CDocTemplate* directory = app->GetTemplate(TEMPLATE_DIRECTORY);
    auto* doc = new apptest::TestDirectoryDoc;
    doc->m_bAutoDelete = false;
    directory->AddDocument(doc);
    HintView view;
    doc->AddView(&view);
    // A document of another class in the same template is left alone.
    CDocument* other = directory->CreateNewDocument();
    ASSERT_NE(other, nullptr);

    // A reload swallows a redraw and a recheck asked for in the same pass; the request may
    // come from an engine thread.
    std::thread([] { RaiseDirectoryReloadRequest(); }).join();
    RaiseDirectoryRedrawRequest();
    RaiseDirectoryRecheckRequest();
    app->OnIdle(0);
    EXPECT_EQ(doc->reloads, std::vector<int>{1});
    EXPECT_TRUE(view.hints.empty());
    EXPECT_EQ(doc->checks, 0);
    EXPECT_FALSE(IsDirectoryWorkPending());

    RaiseDirectoryRedrawRequest();
    app->OnIdle(0);
    EXPECT_EQ(view.hints, std::vector<LPARAM>{17});

    RaiseDirectoryRecheckRequest();
    app->OnIdle(0);
    EXPECT_EQ(doc->checks, 1);
    EXPECT_EQ(view.hints, std::vector<LPARAM>{17}); // unchanged: no hint

    doc->changed = 1;
    RaiseDirectoryRecheckRequest();
    app->OnIdle(0);
    app->OnIdle(1); // nothing pending any more
    EXPECT_EQ(doc->checks, 2);
    EXPECT_EQ(view.hints, (std::vector<LPARAM>{17, 9}));
    EXPECT_EQ(doc->reloads.size(), 1u);

    doc->RemoveView(&view);
    directory->RemoveDocument(doc);
    delete doc;
}

// ---- the single running copy

constexpr char CHILD_RUNTIME[] = "READHALL_APP_TEST_CHILD_RUNTIME";

// Run only as the second copy started by the test below.
TEST(SecondCopyChild, StartsWithDirectoryView)
{
    if (!qEnvironmentVariableIsSet(CHILD_RUNTIME))
        GTEST_SKIP() << "runs only as the second copy of SingleCopy";
    RecordingEngine engine;
    TestApp app(engine);
    EXPECT_EQ(app.start("/directoryview"), 0);
    EXPECT_TRUE(engine.calls.isEmpty());
    app.exit();
}

TEST_F(SingleCopy, ASecondCopyHandsItsSwitchToTheRunningCopyAndQuits)
{
    // The running copy, with its main window minimised.
    ASSERT_EQ(app.start(""), 1);
    apptest::RecordingFrame* running = app.frame();
    running->showMinimized();
    ASSERT_TRUE(running->isMinimized());

    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(CHILD_RUNTIME, qEnvironmentVariable("XDG_RUNTIME_DIR"));
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(QCoreApplication::applicationFilePath(),
                 {"--gtest_filter=SecondCopyChild.StartsWithDirectoryView"});
    ASSERT_TRUE(second.waitForStarted());
    ASSERT_TRUE(rhtest::waitFor(
        [&] {
            return second.state() == QProcess::NotRunning && !running->commands.empty() &&
                   !running->isMinimized();
        },
        30000))
        << second.readAll().constData();
    EXPECT_EQ(second.exitCode(), 0) << second.readAll().constData();
    EXPECT_EQ(running->commands, std::vector<UINT>{32786});
    EXPECT_FALSE(running->isMinimized());
}

TEST_F(SingleCopy, TheRunningCopyCarriesOutOnlyWindowSwitches)
{
    ASSERT_EQ(app.start(""), 1);
    const QString running = QString::fromLatin1(READHALL_MAIN_WINDOW_CLASS);
    // What any process of the user could send: the status text message, a command that opens
    // no window, a window switch with a second parameter. Then the four window switches.
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } requests[] = {{2025, 0x7fff0000, 0},
                    {WM_COMMAND, ID_TOOLS_QUICK_SETUP, 0},
                    {WM_COMMAND, ID_VIEW_SEARCH, 1},
                    {WM_COMMAND, ID_VIEW_CHANNEL_CONTENT, 0},
                    {WM_COMMAND, ID_VIEW_SEARCH, 0},
                    {WM_COMMAND, ID_VIEW_ALERTS, 0},
                    {WM_COMMAND, ID_VIEW_CHANNEL_DIRECTORY, 0}};
    for (const auto& request : requests)
        ASSERT_TRUE(
            platform::postToRunningCopy(running, request.message, request.wParam, request.lParam));
    ASSERT_TRUE(rhtest::waitFor([&] { return app.frame()->commands.size() >= 4; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(app.frame()->commands, (std::vector<UINT>{32780, 32781, 32782, 32786}));
}

TEST(FeedLinks, AFeedLinkOnASecondCopysCommandLineIsOfferedInTheRunningCopy)
{
    markSetupDone();
    TestApp app; // the real engine and main frame
    ASSERT_EQ(app.start(""), 1);
    CFeedAddressOffers offers(app.app());
    app->GetMainFrame()->show();
    // Add Using Address runs its own loop: look into it from there, then cancel it.
    QString offered;
    QTimer dialogWatch;
    dialogWatch.setInterval(50);
    QObject::connect(&dialogWatch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != "addChannelDialog")
            return;
        if (auto* address = dialog->findChild<QLineEdit*>("addressEdit"))
            offered = address->text();
        dialog->reject();
    });
    dialogWatch.start();

    const ReadhallCommandLine second =
        ParseReadhallCommandLine({"/alertview", "feed://127.0.0.1:1/news.rss"});
    ASSERT_EQ(second.addresses.size(), 1);
    EXPECT_TRUE(HandFeedAddressesToRunningCopy(second.addresses).isEmpty());
    ASSERT_TRUE(rhtest::waitFor([&] { return !offered.isEmpty(); }, 15000));
    EXPECT_EQ(offered, "http://127.0.0.1:1/news.rss");
    app.exit();
    // With no copy running, the address comes back to be offered here.
    EXPECT_EQ(HandFeedAddressesToRunningCopy(second.addresses), second.addresses);
}

TEST_F(SingleCopy, TheFirstCopyOwnsTheMutexUntilExit)
{
    ASSERT_EQ(app.start(""), 1);
    EXPECT_TRUE(platform::isCopyRunning(READHALL_MAIN_WINDOW_CLASS));
    {
        platform::NamedMutex other(READHALL_INSTANCE_MUTEX);
        EXPECT_TRUE(other.alreadyExists());
    }
    app.exit();
    platform::NamedMutex after(READHALL_INSTANCE_MUTEX);
    EXPECT_TRUE(after.owned());
}

TEST(DamagedSettings, TheFileIsKeptAsideAndTheProgramStarts)
{
    const QString file = platform::SettingsStore::instance().filePath(HKEY_CURRENT_USER);
    ASSERT_TRUE(apptest::writeFile(
        file, "this is not a settings file\n[[[\n\"Show Unread Items Only\"=dword:zz\n"));
    platform::SettingsStore::instance().reset();

    RecordingEngine engine;
    {
        TestApp app(engine);
        EXPECT_EQ(app->m_bShowUnreadItemsOnly, 0);
        EXPECT_EQ(app.start(""), 1);
        app.exit();
    }
    const QStringList kept =
        QDir(QFileInfo(file).path())
            .entryList({QFileInfo(file).fileName() + ".damaged-*"}, QDir::Files);
    EXPECT_EQ(kept.size(), 1);
    // The new file is a good one with the program's values.
    EXPECT_EQ(storedNumber(LAYOUT_KEY_PATH, "SetupWizardDisplayed"), 1u);
}

} // namespace
