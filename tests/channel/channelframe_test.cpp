// The channel document and frame: panes, switches, sizes, change messages, engine callback.

#include "src/channel/channelfolderview.h"
#include "src/channel/channelframe.h"
#include "src/channel/channelheaderview.h"
#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/framework/doctemplate.h"
#include "src/framework/mainframe.h"
#include "src/framework/splitter.h"
#include "src/shared/startupchecks.h"
#include "src/stories/headlineview.h"
#include "tests/channel/channel_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <stdexcept>
#include <thread>
#include <tuple>

using namespace channeltest;

namespace
{

class ChannelDocTest : public EngineTest
{
protected:
    CChannelDoc doc;
};

TEST_F(ChannelDocTest, AChannelFillsEveryField)
{
    const uint32_t id = rhtest::engine::addChannel("Daily", "News", rhtest::engine::Enabled,
                                                   "https://daily.example/");
    EXPECT_EQ(doc.SetChannel(id, "Sports/Golf"), 1);
    EXPECT_EQ(std::make_tuple(doc.GetMode(), doc.GetName(), doc.GetHomePage(), doc.GetChannelIds(),
                              doc.GetSubChannelPath(), doc.ShowsOneChannel(), doc.IsShown(id),
                              doc.IsShown(id + 1), doc.IsAlertMode()),
              std::make_tuple(CChannelDoc::ModeChannel, QString("Daily"),
                              QString("https://daily.example/"), std::vector<uint32_t>{id},
                              QString("Sports/Golf"), true, true, false, false));
}

TEST_F(ChannelDocTest, CategoriesKeepTheirNameAndIdsAcrossRefresh)
{
    const uint32_t a = addChannel("A", "News");
    const uint32_t b = addChannel("B", "News");
    EXPECT_EQ(doc.SetCategory({a, b}, "News"), 1);
    EXPECT_EQ(doc.GetMode(), CChannelDoc::ModeCategory);
    EXPECT_FALSE(doc.ShowsOneChannel());
    // A channel deleted meanwhile stays listed until the category is chosen again.
    ASSERT_EQ(VTUnsubscribeToChannel(nullptr, rhtest::engine::directoryEntryOf(b)), 1);
    rhtest::engine::waitForIdle();
    doc.Refresh();
    EXPECT_EQ(doc.GetName(), "News");
    EXPECT_EQ(doc.GetChannelIds(), (std::vector<uint32_t>{a, b}));
    // Passing its own list leaves it unchanged.
    doc.SetCategory(doc.GetChannelIds(), doc.GetName());
    EXPECT_EQ(doc.GetChannelIds(), (std::vector<uint32_t>{a, b}));
}

TEST_F(ChannelDocTest, AnUnknownChannelAnEmptyCategoryOrADeletedChannelEmptiesTheDocument)
{
    const uint32_t id = addChannel("Daily", "News");
    ASSERT_EQ(doc.SetChannel(id), 1);
    EXPECT_EQ(doc.SetChannel(987654), 0);
    EXPECT_EQ(doc.GetMode(), CChannelDoc::ModeNothing);
    EXPECT_TRUE(doc.GetChannelIds().empty());
    ASSERT_EQ(doc.SetChannel(id), 1);
    EXPECT_EQ(doc.SetCategory({}, "Nothing"), 0);
    EXPECT_EQ(doc.GetMode(), CChannelDoc::ModeNothing);
    EXPECT_EQ(
        QStringList({doc.GetName(), doc.GetHomePage(), doc.GetLastUpdated(), doc.GetLogoFile()}),
        QStringList(4, QString()));

    ASSERT_EQ(doc.SetChannel(id), 1);
    ASSERT_EQ(VTUnsubscribeToChannel(nullptr, rhtest::engine::directoryEntryOf(id)), 1);
    rhtest::engine::waitForIdle();
    doc.Refresh();
    EXPECT_EQ(doc.GetMode(), CChannelDoc::ModeNothing);
}

TEST_F(ChannelDocTest, WithoutTheDirectoryTheTargetStays)
{
    const uint32_t id = addChannel("Daily", "News");
    ASSERT_EQ(doc.SetChannel(id), 1);
    rhtest::engine::stop();
    EXPECT_EQ(doc.SetChannel(id + 1), 0);
    EXPECT_EQ(doc.GetChannelIds(), std::vector<uint32_t>{id});
    EXPECT_EQ(doc.GetName(), "Daily");
    ASSERT_TRUE(rhtest::engine::start());
}

class ChannelFrameTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        InstallDirectoryMessageSink();
        CChannelHeaderView::SetSecureIndicatorHook([](BOOL) {});
        SetPaneFactory(PaneKind::HeadlineList, [] { return new CHeadlinePlaceholderView; });
        SetPaneFactory(PaneKind::Browser,
                       [] { return new CRecordingPlaceholderView("CBrowserView"); });
        host = std::make_unique<sharedtest::FrameHost>();
    }
    void TearDown() override
    {
        host.reset();
        ChanDir_SetMessageSink(nullptr);
        CChannelHeaderView::SetSecureIndicatorHook(nullptr);
        SetPaneFactory(PaneKind::HeadlineList, nullptr);
        SetPaneFactory(PaneKind::Browser, nullptr);
        EngineTest::TearDown();
    }
    // The opened frame; a frame that does not open ends the test.
    CChannelFrame* open(CDocTemplate& kind)
    {
        auto* frame = host->open<CChannelFrame>(kind);
        if (!frame)
            throw std::runtime_error("the channel frame did not open");
        QCoreApplication::processEvents();
        return frame;
    }
    static CRecordingPlaceholderView* recorderOf(CView* view)
    {
        auto* recorder = dynamic_cast<CRecordingPlaceholderView*>(view);
        if (!recorder)
            throw std::runtime_error("the pane is no recording pane");
        return recorder;
    }
    static void send(CChannelFrame* frame, const char* message, uint32_t channel,
                     const std::vector<uint32_t>* stories = nullptr)
    {
        SendMessage(frame->GetSafeHwnd(), RegisterWindowMessage(message), channel,
                    reinterpret_cast<LPARAM>(stories));
    }
    static bool commandState(CChannelFrame* frame, UINT id, bool* checked = nullptr)
    {
        CCmdUI ui(id);
        RouteUpdate(frame->FrameRoute(), &ui);
        if (checked)
            *checked = ui.checkState() != 0;
        return ui.isEnabled();
    }

    std::unique_ptr<sharedtest::FrameHost> host;
    CDocTemplate channels{129, "ChannelDoc", [] { return new CChannelDoc; },
                          [] { return new CChannelFrame; }, [] { return new CChannelHeaderView; }};
    CDocTemplate alerts{131, "AlertDoc", [] { return new CAlertDoc; },
                        [] { return new CChannelFrame; }, [] { return new CChannelHeaderView; }};
};

TEST_F(ChannelFrameTest, ACategoryChangedInTheChannelsPropertiesMovesItInTheTree)
{
    const uint32_t id = addChannel("Alpha", "News/Local");
    addChannel("Beta", "Sport");
    CChannelFrame* frame = open(channels);
    QTimer::singleShot(0, [] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) {
            ADD_FAILURE() << "the properties did not open";
            return;
        }
        dialog->findChild<QComboBox*>("categoryBox")->setEditText("Sport/Tennis");
        dialog->findChild<QPushButton*>("okButton")->click();
    });
    ASSERT_EQ(VTShowChannelPropertiesDialog(host->main(), id), 1);
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    QTreeWidget* tree = frame->GetFolderView()->GetTreeCtrl();
    QTreeWidgetItem* tennis = itemAt(tree, {"Sport", "Tennis"});
    ASSERT_NE(tennis, nullptr);
    EXPECT_EQ(childLabels(tree, tennis), QStringList{"Alpha"});
    EXPECT_EQ(itemAt(tree, {"News"}), nullptr);
}

TEST_F(ChannelFrameTest, OpensWithHeaderFolderTreeAndTheRealHeadlineList)
{
    SetPaneFactory(PaneKind::HeadlineList, [] { return new CHeadlineView; });
    const uint32_t first = addChannel("Alpha", "News", 2);
    CChannelFrame* frame = open(channels);
    EXPECT_NE(frame->GetFolderView(), nullptr);
    EXPECT_EQ(frame->GetBrowserView(), nullptr);
    EXPECT_EQ(frame->GetChannelDoc()->GetChannelIds(), std::vector<uint32_t>{first});
    EXPECT_EQ(readUserNumber(kReadhallKey, "Show Channel Folder List"), 1);
    EXPECT_EQ(readUserNumber(kReadhallKey, "Use Embedded Browser"), 0);
    EXPECT_EQ(frame->GetHeaderView()->GetTitle(), "Alpha");
    auto* list = dynamic_cast<CHeadlineView*>(frame->GetHeadlineView());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetDocument(), frame->GetChannelDoc());
    EXPECT_TRUE(rhtest::waitFor([&] { return list->HasListedStories() != 0; }));
    EXPECT_TRUE(commandState(frame, ID_CHANNEL_MARK_ALL_READ));
}

TEST_F(ChannelFrameTest, WithoutAFolderTreeTheWindowOpensOnTheFirstChannel)
{
    setNumber(kReadhallKey, "Show Channel Folder List", 0);
    const uint32_t first = addChannel("Zulu", "Z");
    addChannel("Alpha", "A");
    CChannelFrame* frame = open(channels);
    EXPECT_EQ(frame->GetFolderView(), nullptr);
    EXPECT_EQ(frame->GetChannelDoc()->GetChannelIds(), std::vector<uint32_t>{first});
    auto* list = recorderOf(frame->GetHeadlineView());
    EXPECT_GE(list->hintCount(HINT_SELECTION_CHANGED), 1);
}

TEST_F(ChannelFrameTest, ALockedOrUnusableBrowserCannotBeSwitched)
{
    addChannel("Alpha", "News");
    const struct {
        bool locked, usable;
        bool shown;
    } cases[] = {{true, true, true}, {false, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locked);
        startupchecks::setWebBrowserProbe([usable = c.usable] { return usable; });
        setNumber(kLayoutKey, "LockBrowser", c.locked);
        setNumber(kLayoutKey, "ViewBrowser", 1);
        setNumber(kReadhallKey, "Use Embedded Browser", c.locked ? 0 : 1);
        CChannelFrame* frame = open(channels);
        EXPECT_EQ(frame->IsBrowserShown(), c.shown);
        EXPECT_EQ(frame->GetBrowserView() != nullptr, c.shown);
        bool checked = !c.shown;
        EXPECT_FALSE(commandState(frame, ID_VIEW_USE_EMBEDDED_BROWSER, &checked));
        EXPECT_EQ(checked, c.shown);
        EXPECT_EQ(readUserNumber(kReadhallKey, "Use Embedded Browser"), long(c.shown));
        frame->MDIDestroy();
    }
}

TEST_F(ChannelFrameTest, ChangeMessagesBecomeRefreshesAndHints)
{
    const uint32_t shown = addChannel("Alpha", "News");
    const uint32_t other = addChannel("Beta", "News");
    CChannelFrame* frame = open(channels);
    ASSERT_EQ(frame->GetChannelDoc()->GetChannelIds(), std::vector<uint32_t>{shown});
    auto* list = recorderOf(frame->GetHeadlineView());
    list->clearHints();

    const std::vector<uint32_t> stories{4, 5};
    send(frame, REFRESHCODE_STORIES_ATTRIBUTE_CHANGED, other, &stories);
    send(frame, REFRESHCODE_STORIES_DELETED, other, &stories);
    EXPECT_TRUE(list->hints().empty());

    send(frame, REFRESHCODE_STORIES_DELETED, shown, &stories);
    ASSERT_EQ(list->hints().size(), 1u);
    const RecordedHint& h = list->hints()[0];
    EXPECT_EQ(std::tie(h.code, h.number, h.array),
              std::make_tuple(LPARAM(HINT_STORIES_DELETED), shown, stories));

    const std::pair<const char*, LPARAM> relayed[] = {
        {REFRESHCODE_CHANNEL_COUNTER_CHANGED, HINT_CHANNEL_COUNTER_CHANGED},
        {REFRESHCODE_CHANNEL_ADDED, HINT_CHANNEL_ADDED},
        {REFRESHCODE_CHANNEL_FLAGS_CHANGED, HINT_CHANNEL_FLAGS_CHANGED}};
    for (const auto& [message, code] : relayed) {
        send(frame, message, other);
        EXPECT_EQ(list->hints().back().code, code) << message;
    }
    const size_t before = list->hints().size();
    send(frame, REFRESHCODE_CHANNEL_UPDATED, 0);
    EXPECT_EQ(list->hints().size(), before);

    // A shown channel's change refreshes the document first (the engine's message via the sink).
    ASSERT_TRUE(rhtest::engine::renameChannel(shown, "Alpha Prime"));
    ASSERT_TRUE(rhtest::engine::waitForIdle());
    EXPECT_EQ(frame->GetChannelDoc()->GetName(), "Alpha Prime");
    EXPECT_GE(list->hintCount(HINT_CHANNEL_ATTRIBUTE_CHANGED), 1);
    EXPECT_EQ(frame->GetHeaderView()->GetTitle(), "Alpha Prime");
    EXPECT_NE(frame->GetFolderView()->GetFolderTree().FindChannelItem(nullptr, shown), nullptr);
    EXPECT_NE(itemAt(frame->GetFolderView()->GetTreeCtrl(), {"News", "Alpha Prime"}), nullptr);
}

TEST_F(ChannelFrameTest, SelectChannelEngineEventsAndTheCallbackWhileAFrameIsOpen)
{
    addChannel("Alpha", "News");
    const uint32_t beta = addChannel("Beta", "News");
    CChannelFrame* frame = open(channels);
    EXPECT_EQ(SendMessage(frame->GetSafeHwnd(), WM_SELECT_CHANNEL, beta, 0), 1);
    EXPECT_EQ(frame->GetChannelDoc()->GetChannelIds(), std::vector<uint32_t>{beta});
    EXPECT_EQ(SendMessage(frame->GetSafeHwnd(), WM_SELECT_CHANNEL, 0, 0), 0);
    EXPECT_EQ(SendMessage(frame->GetSafeHwnd(), WM_SELECT_CHANNEL, 777777, 0), 0);

    auto* list = recorderOf(frame->GetHeadlineView());
    list->clearHints();
    // The engine calls back from one of its own threads: the frame is only posted to.
    std::thread engineThread([] {
        CChannelFrame::EngineCallback(VTNOTIFY_ENGINE_EVENT, "", 0, "", 0, 0, 0);
        CChannelFrame::EngineCallback(VTNOTIFY_SHUTDOWN, "", 0, "", 0, 0, 0);
    });
    engineThread.join();
    EXPECT_TRUE(list->hints().empty());
    EXPECT_TRUE(rhtest::waitFor([&] { return list->hintCount(HINT_ENGINE_EVENT) == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(list->hints().size(), 1u);

    // The callback lives while a frame is open.
    CChannelFrame* second = open(alerts);
    EXPECT_EQ(CChannelFrame::OpenFrames().size(), 2u);
    frame->MDIDestroy();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(CChannelFrame::OpenFrames().size(), 1u);
    EXPECT_TRUE(CChannelFrame::IsEngineCallbackRegistered());
    second->MDIDestroy();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(CChannelFrame::OpenFrames().empty());
    EXPECT_FALSE(CChannelFrame::IsEngineCallbackRegistered());
}

TEST_F(ChannelFrameTest, HidingAndShowingTheFolderTreeKeepsItsWidth)
{
    addChannel("Alpha", "News");
    CChannelFrame* frame = open(channels);
    frame->GetFolderSplitter()->SetColumnInfo(0, 260, 0);
    frame->GetFolderSplitter()->RecalcLayout();
    ASSERT_TRUE(rhtest::waitFor([&] { return frame->GetFolderWidth() == 260; }));

    EXPECT_TRUE(frame->ExecuteCommand(ID_VIEW_CHANNEL_FOLDER_LIST));
    EXPECT_EQ(frame->GetFolderView(), nullptr);
    EXPECT_NE(frame->GetHeadlineView(), nullptr);
    EXPECT_EQ(readUserNumber(kReadhallKey, "Channel Folder Width"), 260);
    EXPECT_EQ(readUserNumber(kReadhallKey, "Show Channel Folder List"), 0);

    EXPECT_TRUE(frame->ExecuteCommand(ID_VIEW_CHANNEL_FOLDER_LIST));
    ASSERT_NE(frame->GetFolderView(), nullptr);
    EXPECT_TRUE(rhtest::waitFor([&] { return frame->GetFolderWidth() == 260; }));
    EXPECT_GT(frame->GetFolderView()->GetTreeCtrl()->topLevelItemCount(), 0);
}

TEST_F(ChannelFrameTest, ExpandingClosingOrTurningOffTheBrowserKeepsTheSizesFromBefore)
{
    for (const bool turnOff : {false, true}) {
        SCOPED_TRACE(turnOff);
        setNumber(kReadhallKey, "Show Channel Folder List", 1);
        setNumber(kReadhallKey, "Use Embedded Browser", 1);
        setNumber(kReadhallKey, "Headline List Height", 150);
        setNumber(kReadhallKey, "Channel Folder Width", 230);
        if (!turnOff)
            addChannel("Alpha", "News");
        CChannelFrame* frame = open(channels);
        ASSERT_TRUE(frame->IsBrowserShown());
        const auto sizesBack = [frame] {
            return rhtest::waitFor([&] {
                return frame->GetHeadlineHeight() == 150 && frame->GetFolderWidth() == 230;
            });
        };
        ASSERT_TRUE(sizesBack());

        EXPECT_TRUE(frame->ExecuteCommand(ID_VIEW_EXPAND_BROWSER));
        EXPECT_TRUE(rhtest::waitFor([&] { return frame->IsBrowserExpanded(); }));
        bool checked = false;
        EXPECT_TRUE(commandState(frame, ID_VIEW_EXPAND_BROWSER, &checked));
        EXPECT_TRUE(checked);
        if (turnOff) {
            EXPECT_TRUE(frame->ExecuteCommand(ID_VIEW_USE_EMBEDDED_BROWSER));
            EXPECT_FALSE(frame->IsBrowserShown());
            EXPECT_TRUE(rhtest::waitFor([&] { return frame->GetFolderWidth() == 230; }));
        } else {
            // Expanding again restores; hiding the tree keeps the expansion; expanding restores.
            frame->ToggleExpandBrowser();
            EXPECT_TRUE(sizesBack());
            EXPECT_FALSE(frame->IsBrowserExpanded());
            frame->ToggleExpandBrowser();
            ASSERT_TRUE(rhtest::waitFor([&] { return frame->IsBrowserExpanded(); }));
            frame->ShowFolderList(0);
            QCoreApplication::processEvents();
            EXPECT_FALSE(frame->IsFolderListShown());
            EXPECT_EQ(frame->GetHeadlineHeight(), 0);
            EXPECT_TRUE(frame->IsBrowserExpanded());
            frame->ToggleExpandBrowser();
            EXPECT_TRUE(rhtest::waitFor([&] { return frame->GetHeadlineHeight() == 150; }));
        }
        frame->MDIDestroy();
        EXPECT_EQ(readUserNumber(kReadhallKey, "Headline List Height"), 150);
        EXPECT_EQ(readUserNumber(kReadhallKey, "Channel Folder Width"), 230);
    }
}

TEST_F(ChannelFrameTest, SwitchingTheBrowserPaneRebuildsTheListPart)
{
    addChannel("Alpha", "News");
    CChannelFrame* frame = open(channels);
    EXPECT_TRUE(frame->ExecuteCommand(ID_VIEW_USE_EMBEDDED_BROWSER));
    EXPECT_TRUE(frame->IsBrowserShown());
    ASSERT_NE(frame->GetBrowserView(), nullptr);
    EXPECT_EQ(readUserNumber(kReadhallKey, "Use Embedded Browser"), 1);
    EXPECT_EQ(frame->GetBrowserView()->GetDocument(), frame->GetChannelDoc());

    // A URL for the window reaches the browser pane.
    CUpdateHint url(QStringLiteral("https://example.org/story"));
    frame->GetChannelDoc()->UpdateAllViews(nullptr, HINT_SHOW_URL, &url);
    EXPECT_EQ(recorderOf(frame->GetBrowserView())->hints().back().text,
              "https://example.org/story");

    EXPECT_TRUE(frame->ExecuteCommand(ID_VIEW_USE_EMBEDDED_BROWSER));
    EXPECT_FALSE(frame->IsBrowserShown());
    EXPECT_EQ(frame->GetBrowserView(), nullptr);
    EXPECT_NE(frame->GetHeadlineView(), nullptr);
    EXPECT_EQ(frame->GetHeadlineView()->GetDocument(), frame->GetChannelDoc());
}

TEST_F(ChannelFrameTest, ChannelAndAlertsWindowsKeepTheirOwnSizesAndShareTheSwitches)
{
    setNumber(kReadhallKey, "Channel Folder Width", 210);
    setNumber(kReadhallKey, "Alert Channel Folder Width", 140);
    const uint32_t id = addChannel("Alpha", "News", 1);
    rhtest::engine::addAlert(id, 1, "Rain");
    CChannelFrame* channelFrame = open(channels);
    EXPECT_TRUE(rhtest::waitFor([&] { return channelFrame->GetFolderWidth() == 210; }));
    CChannelFrame* alertFrame = open(alerts);
    EXPECT_EQ(alertFrame->GetChannelDoc()->GetChannelIds(),
              std::vector<uint32_t>{VT_ALERTS_CHANNEL_ID});
    EXPECT_TRUE(rhtest::waitFor([&] { return alertFrame->GetFolderWidth() == 140; }));

    // Switched off in the alerts window, off in the channel window once activated; own widths.
    EXPECT_TRUE(alertFrame->ExecuteCommand(ID_VIEW_CHANNEL_FOLDER_LIST));
    EXPECT_EQ(readUserNumber(kReadhallKey, "Show Channel Folder List"), 0);
    EXPECT_EQ(readUserNumber(kReadhallKey, "Alert Channel Folder Width"), 140);
    EXPECT_TRUE(channelFrame->IsFolderListShown());
    host->main()->MDIActivate(channelFrame);
    EXPECT_FALSE(channelFrame->IsFolderListShown());
    EXPECT_EQ(readUserNumber(kReadhallKey, "Channel Folder Width"), 210);
}

} // namespace
