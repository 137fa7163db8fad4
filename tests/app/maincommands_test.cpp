#include "src/app/maincommands.h"

#include "src/app/aboutbox.h"
#include "src/app/helpviewer.h"
#include "src/app/mainframe.h"
#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/framework/childframe.h"
#include "src/framework/doctemplate.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/platform/shell.h"
#include "src/shared/settingsfunctions.h"
#include "src/shared/startupchecks.h"
#include "tests/app/app_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"
#include "vantrel/core/engine.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTextBrowser>
#include <QUrl>
#include <algorithm>
#include <gtest/gtest.h>

using namespace mftest;

namespace
{

using MainCommands = MainFrameTest;

// A channel with a playable story whose animation was the last one played under the name.
void playedBefore(const QString& channelName, const QString& animationName)
{
    vantrel::Engine* engine = vantrel::Engine::instance();
    vantrel::ChannelSeed desc;
    desc.name = channelName;
    const uint32_t channelId = engine->addChannel(desc);
    vantrel::Story story;
    story.headline = "Clip";
    story.enclosureUrl = "file:///tmp/clip.swf";
    story.enclosureType = "application/x-shockwave-flash";
    story.bundletType = VTBUNDLET_VIDEO;
    story.bundletId = 77;
    EXPECT_NE(engine->addStory(channelId, story), 0u);
    engine->setLastPlayed(channelId, 77, animationName);
}

// When the tool is available is the start-up check's own matter; here: the menu follows it.
TEST_F(MainCommands, ThePublishingWizardIsOfferedOnlyWhenItsToolIsAvailable)
{
    ASSERT_TRUE(writeFile(rhtest::engineDataDir() + "/publishing-tool-root/top.htm"));
    for (const DWORD enabled : {0, 1}) {
        startupchecks::resetForTests();
        startupchecks::setWebBrowserProbe([] { return true; });
        setNumber(PUBLISHING_KEY_PATH, "Enabled", enabled);
        setNumber(PUBLISHING_KEY_PATH, "PublishingWizard", 1);
        CMainFrame* frame = createFrame();
        const QList<QAction*> items = frame->GetSubMenu(2)->actions();
        EXPECT_EQ(
            std::any_of(items.begin(), items.end(),
                        [](QAction* a) { return CommandIdOf(a) == ID_VIEW_PUBLISHING_WIZARD; }),
            enabled == 1);
        destroyFrame(frame);
    }
    ASSERT_TRUE(createFrame()->ExecuteCommand(ID_VIEW_PUBLISHING_WIZARD));
    EXPECT_EQ(app().GetTemplate(TEMPLATE_PUBLISHING)->GetDocumentCount(), 1u);
}

TEST_F(MainCommands, ShowWindowOpensOnceAndThenActivates)
{
    CMainFrame* frame = createFrame();
    frame->ShowMainWindow();
    CDocTemplate* channel = app().GetTemplate(TEMPLATE_CHANNEL);
    ASSERT_TRUE(frame->ExecuteCommand(ID_VIEW_CHANNEL_CONTENT));
    ASSERT_EQ(channel->GetDocumentCount(), 1u);
    EXPECT_TRUE(evaluate(frame, ID_VIEW_CHANNEL_CONTENT)->isChecked());

    // Alerts while the channel window is active: another kind, another window.
    ASSERT_TRUE(frame->ExecuteCommand(ID_VIEW_ALERTS));
    EXPECT_EQ(app().GetTemplate(TEMPLATE_ALERTS)->GetDocumentCount(), 1u);
    EXPECT_EQ(frame->GetChildFrames().size(), 2u);
    EXPECT_TRUE(evaluate(frame, ID_VIEW_ALERTS)->isChecked());
    EXPECT_FALSE(evaluate(frame, ID_VIEW_CHANNEL_CONTENT)->isChecked());

    // Channel Content again: the open window comes back, no new one.
    frame->ExecuteCommand(ID_VIEW_CHANNEL_CONTENT);
    EXPECT_EQ(channel->GetDocumentCount(), 1u);
    EXPECT_EQ(frame->GetChildFrames().size(), 2u);
    EXPECT_EQ(frame->MDIGetActive()->GetActiveDocument(), channel->GetFirstDocument());
}

TEST_F(MainCommands, UnreadItemsOnlyTwiceReturnsAndReachesTheWindowsTwice)
{
    CMainFrame* frame = createFrame();
    const UINT message = RegisterWindowMessage(RH_NOTIFICATION_SHOWUNREADITEMSONLY_CHANGED);
    std::vector<WPARAM> seen;
    MessageWindow list("HeadlineList");
    list.setMessageHandler([&](UINT m, WPARAM w, LPARAM) {
        if (m == message)
            seen.push_back(w);
        return LRESULT(0);
    });
    app().RegisterWindow(list.hwnd());
    const BOOL before = app().m_bShowUnreadItemsOnly;
    frame->ExecuteCommand(ID_VIEW_UNREAD_ONLY);
    EXPECT_NE(app().m_bShowUnreadItemsOnly, before);
    EXPECT_EQ(evaluate(frame, ID_VIEW_UNREAD_ONLY)->isChecked(), app().m_bShowUnreadItemsOnly != 0);
    frame->ExecuteCommand(ID_VIEW_UNREAD_ONLY);
    EXPECT_EQ(app().m_bShowUnreadItemsOnly, before);
    ASSERT_TRUE(rhtest::waitFor([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen, std::vector<WPARAM>({WPARAM(!before), WPARAM(before)}));
}

TEST_F(MainCommands, ReplayNamesTheLastAnimationAndIsDisabledWithoutOneOrWhileOnePlays)
{
    CMainFrame* fresh = createFrame();
    EXPECT_FALSE(evaluate(fresh, ID_ANIMATION_REPLAY)->isEnabled());
    EXPECT_EQ(evaluate(fresh, ID_ANIMATION_REPLAY)->text(), "Repla&y Last");
    destroyFrame(fresh);

    playedBefore("Movies", "Intro");
    CMainFrame* frame = createFrame();
    EXPECT_TRUE(evaluate(frame, ID_ANIMATION_REPLAY)->isEnabled());
    EXPECT_EQ(evaluate(frame, ID_ANIMATION_REPLAY)->text(), "Repla&y 'Intro'");
    BroadcastNotification(VTNOTIFICATION_ANIMATION_STARTED, QString(), 0);
    ASSERT_TRUE(rhtest::waitFor([&] { return frame->IsAnimationPlaying() != 0; }));
    QAction* replay = evaluate(frame, ID_ANIMATION_REPLAY);
    EXPECT_FALSE(replay->isEnabled());
    EXPECT_EQ(replay->text(), "Repla&y Last");

    // The name is trimmed, cut after thirty characters, and its ampersands are doubled.
    EXPECT_EQ(ReplayMenuText("  Intro  ", "Channel"), "Repla&y 'Intro'");
    EXPECT_EQ(ReplayMenuText(QString(30, 'x'), "Channel"), "Repla&y '" + QString(30, 'x') + "'");
    EXPECT_EQ(ReplayMenuText(QString(31, 'x'), "Channel"), "Repla&y '" + QString(30, 'x') + "...'");
    EXPECT_EQ(ReplayMenuText("", "News & Views"), "Repla&y 'News && Views'");
    EXPECT_EQ(ReplayMenuText("", ""), "Repla&y ''");

    // From the engine: an animation without a name is named by its channel.
    playedBefore("Cartoons", "   ");
    EXPECT_EQ(evaluate(createFrame(), ID_ANIMATION_REPLAY)->text(), "Repla&y 'Cartoons'");
}

TEST_F(MainCommands, BrowserSwitchNegatesTheSettingUnlessLockedOrUnavailable)
{
    startupchecks::setWebBrowserProbe([] { return true; });
    CMainFrame* frame = createFrame();
    QAction* browser = evaluate(frame, ID_VIEW_USE_EMBEDDED_BROWSER);
    EXPECT_TRUE(browser->isEnabled());
    EXPECT_FALSE(browser->isChecked());
    ASSERT_TRUE(frame->ExecuteCommand(ID_VIEW_USE_EMBEDDED_BROWSER));
    EXPECT_EQ(storedNumber(readhallKey(), "Use Embedded Browser"), 1u);
    EXPECT_TRUE(evaluate(frame, ID_VIEW_USE_EMBEDDED_BROWSER)->isChecked());
    frame->ExecuteCommand(ID_VIEW_USE_EMBEDDED_BROWSER);
    EXPECT_EQ(storedNumber(readhallKey(), "Use Embedded Browser"), 0u);
    destroyFrame(frame);

    // Locked: stays checked but disabled.
    setNumber(readhallKey(), "Use Embedded Browser", 1);
    setNumber(layoutKey(), "LockBrowser", 1);
    frame = createFrame();
    browser = evaluate(frame, ID_VIEW_USE_EMBEDDED_BROWSER);
    EXPECT_FALSE(browser->isEnabled());
    EXPECT_TRUE(browser->isChecked());
    EXPECT_FALSE(frame->ExecuteCommand(ID_VIEW_USE_EMBEDDED_BROWSER));
    EXPECT_EQ(storedNumber(readhallKey(), "Use Embedded Browser"), 1u);
    destroyFrame(frame);

    // No usable browser: disabled.
    startupchecks::resetForTests();
    startupchecks::setWebBrowserProbe([] { return false; });
    setNumber(layoutKey(), "LockBrowser", 0);
    EXPECT_FALSE(evaluate(createFrame(), ID_VIEW_USE_EMBEDDED_BROWSER)->isEnabled());
}

TEST_F(MainCommands, DownloadingAndAutoPlayerFollowTheEngineWhileItRuns)
{
    CMainFrame* frame = createFrame();
    vantrel::Engine* engine = vantrel::Engine::instance();
    engine->setDownloadEnabled(true);
    EXPECT_EQ(evaluate(frame, ID_TOOLS_DOWNLOADING)->text(), "Suspend &Downloading");
    ASSERT_TRUE(frame->ExecuteCommand(ID_TOOLS_DOWNLOADING));
    EXPECT_FALSE(engine->downloadEnabled());
    EXPECT_EQ(evaluate(frame, ID_TOOLS_DOWNLOADING)->text(), "Resume &Downloading");

    engine->setAutoplayEnabled(false);
    EXPECT_EQ(evaluate(frame, ID_TOOLS_AUTOPLAYER)->text(), "Start &Auto-Player");
    frame->ExecuteCommand(ID_TOOLS_AUTOPLAYER);
    EXPECT_TRUE(engine->autoplayEnabled());
    EXPECT_EQ(evaluate(frame, ID_TOOLS_AUTOPLAYER)->text(), "Stop &Auto-Player");

    // Without the engine the items keep their menu texts.
    destroyFrame(frame);
    frame = createFrame();
    vantrel::Engine::stop();
    EXPECT_EQ(evaluate(frame, ID_TOOLS_DOWNLOADING)->text(), "&Suspend Downloading");
    EXPECT_EQ(evaluate(frame, ID_TOOLS_AUTOPLAYER)->text(), "Enable &Auto-Player");
}

TEST_F(MainCommands, ChannelStatusAsksTheNotificationWindows)
{
    CMainFrame* frame = createFrame();
    auto* listener = new CVTNotificationWindow();
    int asked = 0;
    listener->SetHandler(VTNOTIFICATION_SHOW_CHANNEL_STATUS,
                         [&](int, const QString&, DWORD) { ++asked; });
    ASSERT_TRUE(frame->ExecuteCommand(ID_TOOLS_CHANNEL_STATUS));
    EXPECT_TRUE(rhtest::waitFor([&] { return asked == 1; }));
    listener->Release();
}

TEST_F(MainCommands, HomePageGoesToTheDesktopWithoutABrowserPane)
{
    std::vector<QUrl> opened;
    platform::setShellOpenHook([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    CMainFrame* frame = createFrame();
    frame->ExecuteCommand(ID_HELP_HOME_PAGE);
    setText(layoutKey(), "HomePageURL", "https://news.example.org/start");
    frame->ExecuteCommand(ID_HELP_HOME_PAGE);
    // Without an address set, the engine's welcome page takes the place of the web one.
    setText(layoutKey(), "HomePageURL", "");
    const QString page = QDir(rhtest::engineDataDir()).absoluteFilePath("readhall.htm");
    ASSERT_TRUE(writeFile(page));
    frame->ExecuteCommand(ID_HELP_HOME_PAGE);
    EXPECT_EQ(opened, (std::vector<QUrl>{QUrl(READHALL_DEFAULT_HOME_PAGE),
                                         QUrl("https://news.example.org/start"),
                                         QUrl::fromLocalFile(page)}));
}

TEST_F(MainCommands, AboutBoxShowsVersionAndPictures)
{
    CAboutDlg about;
    EXPECT_EQ(about.versionLabel()->text(), "Vantrel Readhall 5.0        (Build 5134R)");
    CAboutJavaDlg java;
    for (QLabel* picture :
         {about.findChild<QLabel*>("Picture1001"), about.findChild<QLabel*>("Picture1010"),
          java.findChild<QLabel*>("Picture405")}) {
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(picture->pixmap().isNull());
    }
}

TEST_F(MainCommands, HelpContentsOpensTheHelpPage)
{
    CMainFrame* frame = createFrame();
    ASSERT_TRUE(frame->ExecuteCommand(ID_HELP_CONTENTS));
    auto* viewer = frame->findChild<CHelpViewer*>("HelpViewer");
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->homeUrl(), QUrl("qrc:/help/rdhall.html"));
    EXPECT_FALSE(viewer->browser()->toPlainText().isEmpty());
    viewer->close();
}

TEST_F(MainCommands, PublishingWizardWithoutToolOrBrowserSaysSo)
{
    startupchecks::setWebBrowserProbe([] { return false; });
    CMainFrame* frame = createFrame();
    platform::resetMessageBoxHook();
    frame->DispatchCommand(ID_VIEW_PUBLISHING_WIZARD);
    ASSERT_EQ(platform::messageBoxQuestions().size(), 1u);
    EXPECT_EQ(platform::messageBoxQuestions()[0].text, "Publishing Wizard not installed properly");
}

struct OwnHelpFrame : CMDIChildWnd {
    OwnHelpFrame()
    {
        onCommand(ID_HELP_CONTENTS, [this] { ++helpCalls; });
        onCommand(ID_VIEW_USE_EMBEDDED_BROWSER, [this] { ++browserCalls; });
    }
    int helpCalls = 0, browserCalls = 0;
};

TEST_F(MainCommands, AnActiveChildFrameHandlingHelpOrTheBrowserSwitchWins)
{
    startupchecks::setWebBrowserProbe([] { return true; });
    CDocTemplate* directoryKind = new CDocTemplate(
        134, "DirectoryDoc", [] { return new CDocument; }, [] { return new OwnHelpFrame; },
        [] { return new CView("CDirectoryHeaderView"); });
    app().AddDocTemplate(directoryKind);
    app().m_templates[TEMPLATE_DIRECTORY] = directoryKind;
    CMainFrame* frame = createFrame();
    frame->ShowMainWindow();
    frame->ExecuteCommand(ID_VIEW_CHANNEL_DIRECTORY);
    auto* child = dynamic_cast<OwnHelpFrame*>(frame->MDIGetActive());
    ASSERT_NE(child, nullptr);
    frame->ExecuteCommand(ID_HELP_CONTENTS);
    frame->ExecuteCommand(ID_VIEW_USE_EMBEDDED_BROWSER);
    EXPECT_EQ(child->helpCalls, 1);
    EXPECT_EQ(child->browserCalls, 1);
    EXPECT_EQ(frame->findChild<CHelpViewer*>("HelpViewer"), nullptr);
    EXPECT_EQ(storedNumber(readhallKey(), "Use Embedded Browser", 0), 0u);
}

} // namespace
