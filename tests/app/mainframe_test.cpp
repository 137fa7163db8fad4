#include "src/app/mainframe.h"

#include "src/app/maincommands.h"
#include "src/engine/notificationwindow.h"
#include "src/framework/doctemplate.h"
#include "src/framework/statusbar.h"
#include "src/shared/settingsfunctions.h"
#include "tests/app/app_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/core/engine.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QToolBar>
#include <thread>

using namespace mftest;

namespace
{

using MainFrameCreation = MainFrameTest;

const char* const kPlacementNames[] = {"WP x", "WP y", "WP cx", "WP cy"};

// Stores a window placement as the program writes it at exit.
void storePlacement(DWORD x, DWORD y, DWORD cx, DWORD cy)
{
    const DWORD values[] = {x, y, cx, cy};
    for (int i = 0; i < 4; ++i)
        setNumber(readhallKey(), kPlacementNames[i], values[i]);
}

TEST_F(MainFrameCreation, CaptionWindowClassAndNamesComeFromTheSettingsElseTheirDefaults)
{
    CMainFrame* frame = createFrame();
    EXPECT_EQ(frame->windowTitle(), "Readhall");
    EXPECT_EQ(frame->GetApplicationName(), "Vantrel");
    EXPECT_EQ(frame->className(), "VantrelReadhallClass");
    EXPECT_EQ(FindWindow("VantrelReadhallClass"), frame->hwnd());
    EXPECT_EQ(app().m_pMainWnd, frame);
    EXPECT_TRUE(frame->isHidden()); // shown once the message loop runs
    // Every setting read exists afterwards, with its default.
    EXPECT_TRUE(hasValue(layoutKey(), "MainWindowTitle"));
    EXPECT_EQ(storedNumber(readhallKey(), "Debug Enable Gradient Caption"), 0u);
    EXPECT_EQ(storedNumber(layoutKey(), "LockToolbar"), 0u);
    // The view values are read only for locked bars.
    EXPECT_FALSE(hasValue(layoutKey(), "ViewToolbar"));
    EXPECT_FALSE(hasValue(layoutKey(), "ViewStatusBar"));

    // Both names come from the settings when set there.
    setText(layoutKey(), "MainWindowTitle", "Newsroom");
    setText(layoutKey(), "ApplicationName", "Acme & Co");
    frame = createFrame();
    EXPECT_EQ(frame->windowTitle(), "Newsroom");
    EXPECT_EQ(evaluate(frame, ID_SHUTDOWN_ENGINE)->text(), "Sh&ut Down Acme && Co");
    EXPECT_EQ(evaluate(frame, ID_APP_EXIT_READHALL)->text(), "E&xit Newsroom");
}

TEST_F(MainFrameCreation, ToolbarIconsShowNoKeyColourAndTheStatusBarSaysReadyAndShowsTheLock)
{
    CMainFrame* frame = createFrame();
    QToolBar* toolBar = frame->GetToolBar();
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(toolBar->allowedAreas(), Qt::TopToolBarArea);
    for (QAction* action : toolBar->actions()) {
        if (action->isSeparator())
            continue;
        EXPECT_FALSE(action->icon().isNull()) << CommandIdOf(action);
        // The strip's key colour is see-through, never drawn.
        const QImage icon = action->icon().pixmap(QSize(16, 15)).toImage();
        bool keyColourShown = false;
        for (int x = 0; x < icon.width(); ++x)
            for (int y = 0; y < icon.height(); ++y)
                keyColourShown |= icon.pixelColor(x, y) == QColor(255, 0, 255);
        EXPECT_FALSE(keyColourShown) << CommandIdOf(action);
    }
    EXPECT_EQ(statusText(frame), "Ready");
    // The secure indicator shows one of two pictures.
    const auto indicator = [frame](BOOL on) {
        frame->ShowSecureIndicator(on);
        return frame->GetStatusBar()->GetPanePicture(ID_INDICATOR_SECURE).toImage();
    };
    const QImage secure = indicator(1), plain = indicator(0);
    EXPECT_FALSE(secure.isNull());
    EXPECT_FALSE(plain.isNull());
    EXPECT_NE(secure, plain);
}

TEST_F(MainFrameCreation, StoredShowCommandAndAnExplicitOne)
{
    // Stored minimised starts normal.
    setNumber(readhallKey(), "WP show", SW_SHOWMINIMIZED);
    CMainFrame* minimised = createFrame();
    EXPECT_EQ(minimised->createShowCommand(), SW_SHOWNORMAL);
    EXPECT_EQ(app().m_nCmdShow, SW_SHOWNORMAL);
    minimised->ShowMainWindow();
    EXPECT_FALSE(minimised->isMinimized());

    // Stored maximised starts maximised when started normally or by default.
    setNumber(readhallKey(), "WP show", SW_SHOWMAXIMIZED);
    for (int show : {SW_SHOWNORMAL, SW_SHOWDEFAULT}) {
        app().m_nCmdShow = show;
        EXPECT_EQ(createFrame()->createShowCommand(), SW_SHOWMAXIMIZED) << show;
        EXPECT_EQ(app().m_nCmdShow, SW_SHOWMAXIMIZED) << show;
    }

    // An explicit command wins over the stored one, but never minimised either.
    app().m_nCmdShow = SW_SHOWMINIMIZED;
    EXPECT_EQ(createFrame()->createShowCommand(), SW_SHOWNORMAL);
}

TEST_F(MainFrameCreation, DefaultPlacementIsTheWorkAreaBelowSeventyPixels)
{
    CMainFrame* frame = createFrame();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(storedNumber(readhallKey(), "WP show"), DWORD(SW_SHOWNORMAL));
    EXPECT_EQ(int(storedNumber(readhallKey(), "WP y")), work.top() + 70);
    EXPECT_EQ(int(storedNumber(readhallKey(), "WP cy")), work.height() - 70);
    EXPECT_EQ(frame->createRect().width(), work.width());
}

TEST_F(MainFrameCreation, MinusOneSkipsTheWholeRestore)
{
    setNumber(readhallKey(), "WP show", DWORD(-1));
    app().m_nCmdShow = SW_SHOWDEFAULT;
    CMainFrame* frame = createFrame();
    EXPECT_FALSE(frame->placementRestored());
    EXPECT_EQ(frame->createShowCommand(), SW_SHOWNORMAL);
    for (const char* name : kPlacementNames)
        EXPECT_FALSE(hasValue(readhallKey(), name)) << name;
}

TEST_F(MainFrameCreation, StoredPlacementIsUsedMendedWhenDamagedOrOffScreenAndWrittenAtClose)
{
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    storePlacement(40, 50, 640, 480);
    CMainFrame* frame = createFrame();
    EXPECT_TRUE(frame->placementRestored());
    EXPECT_EQ(frame->createRect(), QRect(40, 50, 640, 480));

    storePlacement(50000, 40000, 600, 400);
    EXPECT_EQ(createFrame()->createRect(), QRect(work.left(), work.top() + 70, 600, 400));

    storePlacement(40, 50, 0, DWORD(-5));
    const QRect damaged = createFrame()->createRect();
    EXPECT_GE(damaged.width(), 320);
    EXPECT_GE(damaged.height(), 240);

    // Saved on a larger screen: it fits the one it comes back on.
    storePlacement(work.left() + 40, work.top() + 30, work.width() + 500, work.height() + 300);
    EXPECT_EQ(createFrame()->createRect(), work);

    // Where the person left the window is written when it closes.
    frame->ShowMainWindow();
    frame->setGeometry(60, 70, 720, 510);
    destroyFrame(frame);
    std::vector<DWORD> stored;
    for (const char* name : {"WP show", "WP x", "WP y", "WP cx", "WP cy"})
        stored.push_back(storedNumber(readhallKey(), name));
    EXPECT_EQ(stored, (std::vector<DWORD>{SW_SHOWNORMAL, 60, 70, 720, 510}));
}

TEST_F(MainFrameCreation, BarStateIsLoadedOnlyForToolbarVersionSixteen)
{
    // First run: no version. The toolbar is hidden by the user and the program closed.
    CMainFrame* first = createFrame();
    EXPECT_EQ(storedNumber(readhallKey(), "Toolbar Version"), 0u);
    ASSERT_TRUE(first->ExecuteCommand(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(first->GetToolBar()->isHidden());
    destroyFrame(first);
    EXPECT_EQ(storedNumber(readhallKey(), "Toolbar Version"), 16u);

    // The saved layout comes back.
    CMainFrame* second = createFrame();
    EXPECT_TRUE(second->GetToolBar()->isHidden());
    second->GetToolBar()->setVisible(false);
    destroyFrame(second);

    // With another version, the saved layout is not loaded.
    setNumber(readhallKey(), "Toolbar Version", 15);
    CMainFrame* third = createFrame();
    EXPECT_FALSE(third->GetToolBar()->isHidden());
}

TEST_F(MainFrameCreation, LockedBarsFollowTheirViewValueOverTheSavedLayoutWithTheToggleOff)
{
    CMainFrame* first = createFrame();
    first->ExecuteCommand(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(first->GetStatusBar()->isHidden());
    destroyFrame(first);
    setNumber(layoutKey(), "LockToolbar", 1);
    setNumber(layoutKey(), "ViewToolbar", 0);
    setNumber(layoutKey(), "LockStatusBar", 1);
    setNumber(layoutKey(), "ViewStatusBar", 1);
    CMainFrame* frame = createFrame();
    EXPECT_TRUE(frame->GetToolBar()->isHidden());
    QAction* toggle = evaluate(frame, ID_VIEW_TOOLBAR);
    EXPECT_FALSE(toggle->isEnabled());
    EXPECT_FALSE(toggle->isChecked());
    EXPECT_FALSE(frame->ExecuteCommand(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(frame->GetToolBar()->isHidden());
    EXPECT_FALSE(frame->GetStatusBar()->isHidden());
    QAction* status = evaluate(frame, ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(status->isEnabled());
    EXPECT_TRUE(status->isChecked());
}

TEST_F(MainFrameCreation, NavigationBarFromItsFactoryIsDockedTogglesAndLocks)
{
    EXPECT_FALSE(evaluate(createFrame(), ID_VIEW_NAVIGATION_BAR)->isEnabled()); // no bar
    CMainFrame::SetNavigationBarFactory(
        [](CMainFrame* frame) { return new QDockWidget("NavigationBar", frame); });
    CMainFrame* frame = createFrame();
    QDockWidget* bar = frame->GetNavigationBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(frame->dockWidgetArea(bar), Qt::LeftDockWidgetArea);
    QAction* toggle = evaluate(frame, ID_VIEW_NAVIGATION_BAR);
    EXPECT_TRUE(toggle->isEnabled());
    EXPECT_TRUE(toggle->isChecked());
    frame->ExecuteCommand(ID_VIEW_NAVIGATION_BAR);
    EXPECT_TRUE(bar->isHidden());
    EXPECT_FALSE(evaluate(frame, ID_VIEW_NAVIGATION_BAR)->isChecked());

    setNumber(layoutKey(), "LockNavigationBar", 1);
    setNumber(layoutKey(), "ViewNavigationBar", 0);
    CMainFrame* locked = createFrame();
    EXPECT_TRUE(locked->GetNavigationBar()->isHidden());
    EXPECT_FALSE(evaluate(locked, ID_VIEW_NAVIGATION_BAR)->isEnabled());
}

// ---- engine notifications

using EngineNotifications = MainFrameTest;

TEST_F(EngineNotifications, StatusTextLevels)
{
    CMainFrame* frame = createFrame();
    frame->SetStatusText("Busy");
    BroadcastNotification(VTNOTIFICATION_STATUS_TEXT, QString(), 5);       // empty text: nothing
    BroadcastNotification(VTNOTIFICATION_STATUS_TEXT, "Out of range", 12); // other level: nothing
    drainEvents();
    EXPECT_EQ(statusText(frame), "Busy");
    // Levels one to eight show their text, zero and nine show Ready.
    const struct {
        const char* text;
        DWORD level;
        const char* shown;
    } steps[] = {{"Downloading News", 5, "Downloading News"},
                 {"Downloading News", 9, "Ready"},
                 {"Level one", 1, "Level one"},
                 {"Something", 0, "Ready"}};
    for (const auto& step : steps) {
        ASSERT_EQ(BroadcastNotification(VTNOTIFICATION_STATUS_TEXT, step.text, step.level), 1);
        EXPECT_TRUE(rhtest::waitFor([&] { return statusText(frame) == step.shown; })) << step.level;
    }
}

TEST_F(EngineNotifications, RestrictionsComeFromTheEngineAndAChangeReloadsTheDirectoryWhenIdle)
{
    CMainFrame* frame = createFrame();
    apptest::TestDirectoryDoc directory;
    directory.m_bAutoDelete = false;
    app().GetTemplate(TEMPLATE_DIRECTORY)->AddDocument(&directory);
    EXPECT_TRUE(evaluate(frame, ID_ADD_BY_ADDRESS)->isEnabled());
    vantrel::Engine::instance()->setWorkgroupRestrictions(VTRESTRICT_ADD_BY_ADDRESS |
                                                          VTRESTRICT_FILTER_SETTINGS);
    BroadcastNotification(VTNOTIFICATION_RESTRICTIONS_CHANGED, QString(), 0);
    EXPECT_TRUE(rhtest::waitFor([&] { return directory.reloads.size() == 1; }));
    EXPECT_FALSE(IsDirectoryReloadRequested());
    EXPECT_EQ(GetWorkgroupRestrictions(),
              uint32_t(VTRESTRICT_ADD_BY_ADDRESS | VTRESTRICT_FILTER_SETTINGS));
    EXPECT_FALSE(evaluate(frame, ID_ADD_BY_ADDRESS)->isEnabled());
    EXPECT_FALSE(evaluate(frame, ID_TOOLS_FILTERS)->isEnabled());
    EXPECT_TRUE(evaluate(frame, ID_TOOLS_ALERTS)->isEnabled());
    app().GetTemplate(TEMPLATE_DIRECTORY)->RemoveDocument(&directory);

    // A frame made later takes the playing state and restrictions from the engine.
    vantrel::Engine::instance()->setPlaying(true);
    vantrel::Engine::instance()->setWorkgroupRestrictions(VTRESTRICT_ALERT_SETTINGS);
    CMainFrame* later = createFrame();
    EXPECT_TRUE(later->IsAnimationPlaying());
    EXPECT_FALSE(evaluate(later, ID_TOOLS_ALERTS)->isEnabled());
}

TEST_F(EngineNotifications, AShutdownFromAnotherThreadOrTheShutDownCommandEndsTheProgramThroughExit)
{
    QPointer<CMainFrame> frame = createFrame();
    const HWND window = frame->hwnd();
    CMainFrame::EngineCallback(VTNOTIFY_ENGINE_EVENT, "", 0, "", 0, 0, 0); // other kinds: nothing
    drainEvents();
    ASSERT_TRUE(IsWindow(window));
    std::thread engineThread(
        [] { CMainFrame::EngineCallback(VTNOTIFY_SHUTDOWN, "", 0, "", 0, 0, 0); });
    engineThread.join();
    EXPECT_TRUE(IsWindow(window)); // nothing done on the engine thread
    EXPECT_TRUE(rhtest::waitFor([&] { return !IsWindow(window); }));
    EXPECT_EQ(storedNumber(readhallKey(), "Toolbar Version"), 16u); // closed the normal way

    // Shut Down asks the engine, and the frame closes when the engine reports it.
    CMainFrame* second = createFrame();
    const HWND next = second->hwnd();
    ASSERT_TRUE(second->ExecuteCommand(ID_SHUTDOWN_ENGINE));
    EXPECT_TRUE(vantrel::Engine::instance()->isShutDown());
    EXPECT_TRUE(rhtest::waitFor([&] { return !IsWindow(next); }));
}

TEST_F(EngineNotifications, AfterDestroyTheCallbackNoLongerReachesTheFrame)
{
    CMainFrame* frame = createFrame();
    destroyFrame(frame);
    // The notification window went with the frame; late calls find nothing to post to.
    EXPECT_EQ(FindWindow(VTNOTIFICATION_WINDOW_CLASS), 0u);
    EXPECT_EQ(CMainFrame::instance(), nullptr);
    CMainFrame::EngineCallback(VTNOTIFY_SHUTDOWN, "", 0, "", 0, 0, 0);
    drainEvents();
    EXPECT_EQ(FindWindow("VantrelReadhallClass"), 0u);
}

// ---- private messages

using MainFrameMessages = MainFrameTest;

TEST_F(MainFrameMessages, StatusTextsShowInOrderAndAStrangeMessageShowsNothing)
{
    CMainFrame* frame = createFrame();
    frame->PostStatusText("Updated 3 channels");
    frame->PostStatusText("Updated 4 channels");
    // A message whose number the frame did not give out (once a heap pointer that the frame
    // freed) changes nothing.
    QString local = QStringLiteral("not the frame's");
    SendMessage(frame->hwnd(), WM_SHOW_STATUS_TEXT, reinterpret_cast<WPARAM>(&local), 0);
    PostMessage(frame->hwnd(), WM_SHOW_STATUS_TEXT, 0xDEADBEEF, 0);
    drainEvents();
    EXPECT_EQ(statusText(frame), "Updated 4 channels");
    EXPECT_EQ(local, "not the frame's");
    SendMessage(frame->hwnd(), WM_SHOW_STATUS_TEXT, 0, 0);
    EXPECT_EQ(statusText(frame), "Ready");
}

TEST_F(MainFrameMessages, ShowChannelOpensTheChannelWindowOrAnswersZeroWithoutOne)
{
    CMainFrame* frame = createFrame();
    SendMessage(frame->hwnd(), WM_SHOW_CHANNEL, 1234, 0);
    ASSERT_EQ(app().GetTemplate(TEMPLATE_CHANNEL)->GetDocumentCount(), 1u);
    EXPECT_EQ(frame->GetChildFrames().size(), 1u);
    destroyFrame(frame);

    app().m_templates[TEMPLATE_CHANNEL] = nullptr;
    frame = createFrame();
    EXPECT_EQ(SendMessage(frame->hwnd(), WM_SHOW_CHANNEL, 1234, 0), 0);
    EXPECT_TRUE(frame->GetChildFrames().empty());
}

TEST_F(MainFrameMessages, CloseIsRefusedDuringAModalOperation)
{
    CMainFrame* frame = createFrame();
    const HWND window = frame->hwnd();
    app().m_nModalOperationCount = 1;
    frame->ExecuteCommand(ID_APP_EXIT_READHALL);
    drainEvents();
    EXPECT_TRUE(IsWindow(window));
    frame->close(); // the title bar's close button
    drainEvents();
    EXPECT_TRUE(IsWindow(window));
    app().m_nModalOperationCount = 0;
    frame->ExecuteCommand(ID_APP_EXIT_READHALL);
    EXPECT_TRUE(rhtest::waitFor([&] { return !IsWindow(window); }));
}

TEST_F(MainFrameMessages, SiblingProgramsAreLookedForBesideTheProgramFileAndRunByPath)
{
    const QString bin = rhtest::testRoot() + "/bin dir";
    SetProgramFilePathForTests(bin + "/readhall");
    // The "ticker" leaves a mark beside itself; a path with a blank proves no shell splits it.
    ASSERT_TRUE(writeFile(bin + "/crawler.exe", "#!/bin/sh\ntouch \"$0.ran\"\n"));
    QFile::setPermissions(bin + "/crawler.exe",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    CMainFrame* frame = createFrame();
    EXPECT_TRUE(IsTickerPresent());
    EXPECT_FALSE(IsTitlestripPresent());
    EXPECT_TRUE(evaluate(frame, ID_START_TICKER)->isEnabled());
    EXPECT_FALSE(evaluate(frame, ID_START_TITLESTRIP)->isEnabled());
    EXPECT_FALSE(evaluate(frame, ID_START_SCREENSAVER)->isEnabled());
    EXPECT_EQ(SiblingProgramPath("saverhost.exe"), bin + "/saverhost.exe");
    ASSERT_TRUE(frame->ExecuteCommand(ID_START_TICKER));
    EXPECT_TRUE(rhtest::waitFor([&] { return QFile::exists(bin + "/crawler.exe.ran"); }, 10000));
    // Gone after start-up: the command does nothing (and stays enabled until the next start).
    QFile::remove(bin + "/crawler.exe");
    QFile::remove(bin + "/crawler.exe.ran");
    frame->ExecuteCommand(ID_START_TICKER);
    drainEvents();
    EXPECT_FALSE(QFile::exists(bin + "/crawler.exe.ran"));
}

TEST(LocalFileLocation, FileAddressesDrivePathsAndAbsolutePathsAreLocal)
{
    for (const char* local : {"file:///tmp/a.html", "\"FILE:///tmp/a.html", "c:\\stories\\a.doc",
                              "\"c:\\stories\\a.doc\"", "/home/me/a.doc"})
        EXPECT_NE(IsLocalFileLocation(local), 0) << local;
    for (const char* other : {"https://example.org/a.doc", "c:", ""})
        EXPECT_EQ(IsLocalFileLocation(other), 0) << other;
}

} // namespace
