// What a person meets in the first hour: the start-up onto content and the next start with the
// same choice and windows, child frames that never collapse, the command keys, and addresses
// the desktop cannot open.
#include "src/app/maincommands.h"
#include "src/app/readhallapp.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelfolderview.h"
#include "src/channel/channelframe.h"
#include "src/channel/foldertree.h"
#include "src/channel/treeitems.h"
#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/navbar/navigationbar.h"
#include "src/platform/messagebox.h"
#include "src/platform/shell.h"
#include "src/shared/ids.h"
#include "src/shared/settingsfunctions.h"
#include "src/shared/startupchecks.h"
#include "src/stories/headlinemodel.h"
#include "src/stories/headlineview.h"
#include "tests/app/app_fixture.h"
#include "tests/support/engine_builder.h"
#include "tests/support/testenv.h"

#include <QAbstractItemView>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

namespace
{

CChannelFrame* channelWindowOf(CMDIFrameWnd* frame)
{
    for (CMDIChildWnd* child : frame->GetChildFrames())
        if (auto* channel = qobject_cast<CChannelFrame*>(child);
            channel && !channel->GetChannelDoc()->IsAlertMode())
            return channel;
    return nullptr;
}

bool rowUnread(const QAbstractItemView* list, int row)
{
    return list->model()->index(row, 0).data(CHeadlineModel::UnreadRole).toBool();
}

TEST(FirstHour, AFreshHomeOpensOnChannelsAndTheNextStartBringsBackTheChoiceAndTheWindows)
{
    // Two channels, each with a read story between unread ones.
    ASSERT_TRUE(rhtest::engine::start());
    for (const char* name : {"Daily News", "Weather"}) {
        const uint32_t channel = rhtest::engine::addChannel(QString::fromLatin1(name), "News");
        for (int i = 0; i < 3; ++i) {
            rhtest::engine::StorySeed story;
            story.headline = QStringLiteral("%1 %2").arg(QString::fromLatin1(name)).arg(i);
            story.published = QDateTime::currentDateTimeUtc().addSecs(-60 * i);
            story.attributes[QStringLiteral("Read")] = i == 1 ? 1 : 0;
            ASSERT_NE(rhtest::engine::addStory(channel, story), 0u);
        }
    }
    rhtest::engine::stop();
    uint32_t chosen = 0;
    {
        apptest::TestApp app;
        CMDIFrameWnd* frame = apptest::startShown(app);
        ASSERT_NE(frame, nullptr);
        CChannelFrame* channels = channelWindowOf(frame);
        ASSERT_NE(channels, nullptr);
        // The last channel of the tree is chosen, so the default choice does not pass.
        QTreeWidgetItem* last = nullptr;
        for (QTreeWidgetItemIterator it(channels->GetFolderView()->GetTreeCtrl()); *it; ++it)
            if (CFolderTree::GetItemKind(*it) == FolderItemKind::Channel)
                last = *it;
        ASSERT_NE(last, nullptr);
        channels->GetFolderView()->SelectItem(last);
        chosen = treeitems::data(last);
        ASSERT_NE(chosen, 0u);
        // The navigation bar opens the directory (a second time only brings it forward) and the
        // View menu marks its item; the alerts window, opened last, comes forward next start.
        auto* bar =
            qobject_cast<CNavigationBar*>(qobject_cast<CMainFrame*>(frame)->GetNavigationBar());
        ASSERT_NE(bar, nullptr);
        for (int i = 0; i < 2; ++i)
            bar->ActivateItem(0, 1);
        EXPECT_EQ(app->GetTemplate(TEMPLATE_DIRECTORY)->GetDocumentCount(), 1u);
        SendMessage(frame->hwnd(), WM_COMMAND, ID_VIEW_CHANNEL_CONTENT, 0);
        EXPECT_EQ(bar->GetGroupBar()->GetSelectedItem(), 0);
        bar->ActivateItem(0, 2);
        ASSERT_EQ(app->GetTemplate(TEMPLATE_ALERTS)->GetDocumentCount(), 1u);
        // The person hides the navigation bar; it stays hidden at the next start.
        SendMessage(frame->hwnd(), WM_COMMAND, ID_VIEW_NAVIGATION_BAR, 0);
        EXPECT_TRUE(bar->isHidden());
        frame->OnClose();
        app.exit();
    }
    apptest::TestApp again;
    CMDIFrameWnd* frame = apptest::startShown(again);
    ASSERT_NE(frame, nullptr);
    // The three windows are back, with the channel chosen last.
    EXPECT_TRUE(rhtest::waitFor(
        [&] { return again->GetTemplate(TEMPLATE_DIRECTORY)->GetDocumentCount() == 1u; }));
    EXPECT_EQ(again->GetTemplate(TEMPLATE_ALERTS)->GetDocumentCount(), 1u);
    ASSERT_TRUE(rhtest::waitFor([frame] { return channelWindowOf(frame) != nullptr; }));
    CChannelFrame* channels = channelWindowOf(frame);
    EXPECT_EQ(channels->GetFolderView()->GetSelectedChannelId(), chosen);
    // The window the navigation bar brings forward stays in front.
    EXPECT_EQ(frame->MDIGetActive()->GetActiveDocument()->GetDocTemplate(),
              again->GetTemplate(TEMPLATE_ALERTS));
    EXPECT_TRUE(qobject_cast<CMainFrame*>(frame)->GetNavigationBar()->isHidden());

    // N and P in the headline list step through the unread stories.
    SendMessage(frame->hwnd(), WM_COMMAND, ID_VIEW_CHANNEL_CONTENT, 0);
    auto* list = channels->GetHeadlineView()->findChild<QAbstractItemView*>();
    ASSERT_NE(list, nullptr);
    list->setFocus();
    ASSERT_TRUE(rhtest::waitFor([list] { return list->hasFocus(); }));
    auto* headlines = static_cast<CHeadlineView*>(channels->GetHeadlineView());
    auto press = [&](Qt::Key key) {
        QTest::keyClick(list, key);
        const std::vector<int> rows = headlines->SelectedRows();
        EXPECT_EQ(rows.size(), 1u);
        EXPECT_TRUE(!rows.empty() && rowUnread(list, rows.front()));
        return rows.empty() ? -1 : rows.front();
    };
    // Within the channel: the read story between is passed over, both ways.
    const int first = press(Qt::Key_N);
    const int second = press(Qt::Key_N);
    EXPECT_EQ(second, first + 2);
    EXPECT_EQ(press(Qt::Key_P), first);
    EXPECT_EQ(channels->GetFolderView()->GetSelectedChannelId(), chosen);
    // Past the channel's last unread story: on to the other channel's first.
    press(Qt::Key_N);
    EXPECT_EQ(press(Qt::Key_N), first);
    EXPECT_NE(channels->GetFolderView()->GetSelectedChannelId(), chosen);
    frame->OnClose();
    again.exit();
}

TEST(FirstHour, TheSwitchOpensItsWindowWithoutWindowBoxesAndARestoredFrameKeepsItsRoom)
{
    WriteLayoutFlag(HKEY_CURRENT_USER, LAYOUT_KEY_PATH, "SetupWizardDisplayed", DWORD(1));
    apptest::TestApp app; // the real engine on the test's data
    ASSERT_EQ(app.start(QStringLiteral("/channelview")), 1);
    CMDIFrameWnd* frame = app->GetMainFrame();
    ASSERT_NE(frame, nullptr);
    // No help page beside the test program: the program's own copy is used.
    EXPECT_EQ(app->m_helpFilePath, QStringLiteral(":/help/rdhall.html"));
    ASSERT_TRUE(rhtest::waitFor([frame] { return frame->isVisible(); }));
    frame->resize(1000, 700);
    ASSERT_EQ(frame->GetChildFrames().size(), 1u);
    CMDIChildWnd* child = frame->GetChildFrames().at(0);
    EXPECT_EQ(child->GetActiveDocument()->GetDocTemplate(), app->GetTemplate(TEMPLATE_CHANNEL));
    QMdiSubWindow* sub = child->subWindow();
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isMaximized());
    const Qt::WindowFlags boxes = Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                  Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint;
    EXPECT_FALSE(sub->windowFlags() & boxes);

    // However it gets restored, a frame left as a stub comes back at a usable size.
    const std::function<void()> restores[] = {[child] { child->MDIRestore(); },
                                              [sub] { sub->showNormal(); }};
    for (const auto& restore : restores) {
        sub->showNormal();
        sub->setGeometry(0, 0, 120, 35);
        sub->showMaximized();
        restore();
        const QSize work = sub->mdiArea()->viewport()->size();
        EXPECT_TRUE(rhtest::waitFor([&] {
            return sub->width() >= work.width() / 2 && sub->height() >= work.height() / 2;
        })) << sub->width()
            << "x" << sub->height() << " in " << work.width() << "x" << work.height();
        EXPECT_TRUE(QRect(QPoint(), work).contains(sub->geometry()));
    }
    frame->OnClose();
    app.exit();
    EXPECT_EQ(app->GetMainFrame(), nullptr);
}

// A frame with the main menu that records the commands it is asked to run.
class KeyFrame : public CMDIFrameWnd
{
public:
    KeyFrame() : CMDIFrameWnd(QStringLiteral("KeyTestFrame"))
    {
        onCommandRange(32768, 60000, [this](UINT id) { commands.push_back(id); });
        LoadMenuBar(MainMenuDescription());
        AssignCommandShortcuts(this, [this] { ++updatesOfAll; });
        MDIClient()->setFocusPolicy(Qt::StrongFocus);
    }
    std::vector<UINT> commands;
    int updatesOfAll = 0;
};

TEST(FirstHour, EachCommandKeyReachesItsCommandAndTheListKeysAreOnlyShown)
{
    KeyFrame frame;
    frame.resize(640, 480);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    frame.MDIClient()->setFocus();
    struct Case {
        QKeySequence keys;
        UINT command; // 0: no command runs from the frame
    };
    const Case cases[] = {
        {QKeySequence(Qt::Key_F5), ID_CHANNEL_UPDATE_NOW},
        {QKeySequence(Qt::CTRL | Qt::Key_N), ID_ADD_BY_ADDRESS},
        {QKeySequence(Qt::CTRL | Qt::Key_F), ID_VIEW_SEARCH},
        {QKeySequence(Qt::CTRL | Qt::Key_R), ID_STORY_MARK_READ},
        {QKeySequence(Qt::CTRL | Qt::Key_U), ID_STORY_MARK_UNREAD},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), ID_CHANNEL_MARK_ALL_READ},
        {QKeySequence(Qt::CTRL | Qt::Key_K), ID_STORY_KEEP},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), ID_APP_EXIT_READHALL},
        {QKeySequence(Qt::Key_F1), ID_HELP_CONTENTS},
        // Enter and Delete belong to the lists (they open and delete stories there).
        {QKeySequence(Qt::Key_Return), 0},
        {QKeySequence(Qt::Key_Delete), 0},
    };
    for (const Case& c : cases) {
        frame.commands.clear();
        const QKeyCombination key = c.keys[0];
        QTest::keyClick(frame.MDIClient(), key.key(), key.keyboardModifiers());
        if (c.command)
            EXPECT_EQ(frame.commands, std::vector<UINT>{c.command}) << c.keys.toString().data();
        else
            EXPECT_TRUE(frame.commands.empty()) << c.keys.toString().data();
    }
    // The list keys are shown beside their menu items all the same.
    EXPECT_EQ(frame.FindCommandAction(ID_STORY_FULL)->shortcut(), QKeySequence(Qt::Key_Return));
    EXPECT_EQ(frame.FindCommandAction(ID_STORY_DELETE)->shortcut(), QKeySequence(Qt::Key_Delete));
    QTest::keyClick(frame.MDIClient(), Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(frame.updatesOfAll, 1);
    EXPECT_TRUE(frame.commands.empty());
}

using UnopenableAddress = mftest::MainFrameTest;

TEST_F(UnopenableAddress, ThePersonIsToldAndMayReadThePageInReadhall)
{
    const QString page = rhtest::testRoot() + QStringLiteral("/page.html");
    ASSERT_TRUE(mftest::writeFile(page, "<html><body>A page</body></html>"));
    platform::setShellOpenHook([](const QUrl&) { return false; });
    struct Case {
        bool embeddedBrowser;
        int answer;
        BOOL shown;
        size_t browserWindows;
    };
    for (const Case& c :
         {Case{false, IDOK, 0, 0}, Case{true, IDNO, 0, 0}, Case{true, IDYES, 1, 1}}) {
        startupchecks::setWebBrowserProbe([&c] { return c.embeddedBrowser; });
        platform::resetMessageBoxHook();
        platform::queueMessageBoxAnswer(c.answer);
        CMainFrame* frame = createFrame();
        EXPECT_EQ(frame->ShowURL(page), c.shown);
        ASSERT_EQ(platform::messageBoxQuestions().size(), 1u);
        EXPECT_TRUE(platform::messageBoxQuestions()[0].text.contains(page));
        EXPECT_EQ(app().GetTemplate(TEMPLATE_BROWSER)->GetDocumentCount(), c.browserWindows);
        destroyFrame(frame);
    }
}

} // namespace
