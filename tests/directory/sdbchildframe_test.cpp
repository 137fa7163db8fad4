// The channel directory window as the program opens it: panes, the category pane's width,
// change messages, tabs with categories, and subscribing into the channel window.

#include "src/channel/categoryview.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelfolderview.h"
#include "src/channel/channelframe.h"
#include "src/channel/channelheaderview.h"
#include "src/directory/directoryids.h"
#include "src/directory/sdbchildframe.h"
#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/framework/doctemplate.h"
#include "src/framework/splitter.h"
#include "src/shared/headerview.h"
#include "src/shared/panes.h"
#include "src/shared/startupchecks.h"
#include "tests/directory/directory_fixture.h"
#include "vantrel/chandir.h"

#include <QMdiSubWindow>
#include <QTabBar>
#include <QTreeWidget>
#include <stdexcept>

using namespace directorytest;
namespace eb = rhtest::engine;

namespace
{

long readFolderWidth()
{
    return long(sharedtest::storedNumber(sharedtest::readhallKey(), "Directory Folder Width"));
}

class DirectoryFrameTest : public DirectoryTest
{
protected:
    void SetUp() override
    {
        DirectoryTest::SetUp();
        InstallDirectoryMessageSink();
        host = std::make_unique<sharedtest::FrameHost>();
    }
    void TearDown() override
    {
        host.reset();
        ChanDir_SetMessageSink(nullptr);
        SetPaneFactory(PaneKind::HeadlineList, nullptr);
        startupchecks::resetForTests();
        DirectoryTest::TearDown();
    }
    // The opened window; a window that does not open ends the test.
    CSDBChildFrame* open()
    {
        auto* frame = host->open<CSDBChildFrame>(directory);
        if (!frame)
            throw std::runtime_error("the directory window did not open");
        QCoreApplication::processEvents();
        return frame;
    }
    static QStringList listed(CSDBChildFrame* frame) { return rowNames(frame->GetListView()); }

    std::unique_ptr<sharedtest::FrameHost> host;
    CDocTemplate directory{134, "DirectoryDoc", [] { return new CProfilerDoc; },
                           [] { return new CSDBChildFrame; },
                           [] { return new CDirectoryHeaderView; }};
    CDocTemplate channels{129, "ChannelDoc", [] { return new CChannelDoc; },
                          [] { return new CChannelFrame; }, [] { return new CChannelHeaderView; }};
};

TEST_F(DirectoryFrameTest, TheWindowHasItsPanesAndKeepsTheCategoryWidth)
{
    addEntry("Alpha", "News");
    CSDBChildFrame* frame = open();
    EXPECT_EQ(readFolderWidth(), 180); // written at once
    auto* header = qobject_cast<CBaseHeaderView*>(frame->GetHeaderView());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetSecondLine(), "Click on the checkbox to subscribe to a channel.");
    ASSERT_NE(frame->GetCategoryView(), nullptr);
    EXPECT_EQ(frame->GetActiveView(), frame->GetListView());
    EXPECT_EQ(frame->GetCategoryWidth(), 180);
    EXPECT_TRUE(frame->subWindow()->isMaximized());
    EXPECT_EQ(listed(frame), QStringList{"Alpha"});
    frame->GetInnerSplitter()->SetColumnInfo(0, 240, 0);
    frame->GetInnerSplitter()->RecalcLayout();
    frame->MDIDestroy();
    EXPECT_EQ(readFolderWidth(), 240);
}

TEST_F(DirectoryFrameTest, TabsAndCategoriesFilterTogether)
{
    addEntry("Scores", "Sport");
    addSubscribed("Results", "Sport");
    addSubscribed("Daily", "News");
    CSDBChildFrame* frame = open();
    QTreeWidget* tree = frame->GetCategoryView()->GetTreeCtrl();
    ASSERT_EQ(tree->topLevelItemCount(), 1); // "All"
    QTreeWidgetItem* sport =
        tree->findItems("Sport", Qt::MatchExactly | Qt::MatchRecursive).value(0);
    ASSERT_NE(sport, nullptr);
    EXPECT_EQ(sport->parent(), tree->topLevelItem(0));
    tree->setCurrentItem(sport);
    EXPECT_EQ(listed(frame), (QStringList{"Results", "Scores"}));

    QTabBar* tabs = frame->GetListView()->GetTabCtrl();
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
    EXPECT_EQ(listed(frame), QStringList{"Results"});
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_EQ(listed(frame), (QStringList{"Daily", "Results"}));
    QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(0).center());
    EXPECT_EQ(listed(frame), (QStringList{"Daily", "Results", "Scores"}));
}

TEST_F(DirectoryFrameTest, ChangeMessagesReachTheEntries)
{
    const uint32_t id = addEntry("Weather");
    CSDBChildFrame* frame = open();
    CProfilerView* list = frame->GetListView();
    const UINT flagsChanged =
        RegisterWindowMessage(QString::fromLatin1(REFRESHCODE_CHANNEL_FLAGS_CHANGED));
    // A channel the directory does not know changes nothing.
    EXPECT_EQ(SendMessage(frame->GetSafeHwnd(), flagsChanged, 999999, 0), 0);
    EXPECT_EQ(list->GetModel()->ImageOf(0), 0);

    // Subscribed elsewhere: the engine's message redraws the row.
    ASSERT_EQ(VTSubscribeToChannel(nullptr, id), 1);
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_EQ(list->GetModel()->ImageOf(0), DIRIMG_SUBSCRIBED);
    ASSERT_EQ(VTUnsubscribeToChannel(nullptr, id), 1);
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_EQ(list->GetModel()->ImageOf(0), 0);
}

TEST_F(DirectoryFrameTest, ACheckBoxClickPutsTheChannelIntoTheChannelWindow)
{
    startupchecks::setWebBrowserProbe([] { return false; });
    SetPaneFactory(PaneKind::HeadlineList, [] { return new CView(QStringLiteral("Headlines")); });
    auto* channelFrame = host->open<CChannelFrame>(channels);
    ASSERT_NE(channelFrame, nullptr);
    ASSERT_NE(channelFrame->GetFolderView(), nullptr);

    const uint32_t id = addEntry("Tide Tables", "Sea");
    CSDBChildFrame* frame = open();
    frame->MDIActivate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame->GetListView()->GetListCtrl()));
    clickBox(frame->GetListView(), 0);
    ASSERT_NE(channelOf(id), 0u);
    ASSERT_TRUE(eb::waitForIdle());
    QTreeWidget* tree = channelFrame->GetFolderView()->GetTreeCtrl();
    const QList<QTreeWidgetItem*> found =
        tree->findItems("Tide Tables", Qt::MatchStartsWith | Qt::MatchRecursive);
    EXPECT_EQ(found.size(), 1);
}

} // namespace
