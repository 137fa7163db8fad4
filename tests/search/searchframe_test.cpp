// The search window's frame: its panes, the browser switches and the change messages.

#include "src/engine/messages.h"
#include "src/engine/notificationwindow.h"
#include "src/framework/cmdtarget.h"
#include "src/framework/doctemplate.h"
#include "src/framework/splitter.h"
#include "src/search/searchframe.h"
#include "src/shared/headerview.h"
#include "src/shared/ids.h"
#include "src/shared/panes.h"
#include "src/shared/startupchecks.h"
#include "tests/search/search_fixture.h"
#include "tests/shared/shared_fixture.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QCoreApplication>

using namespace searchtest;
namespace eb = rhtest::engine;

using namespace sharedtest;

namespace
{

class SearchFrameTest : public SearchTest
{
protected:
    void SetUp() override
    {
        SearchTest::SetUp();
        InstallDirectoryMessageSink();
        startupchecks::setWebBrowserProbe([] { return true; });
        SetPaneFactory(PaneKind::Browser, [] { return new CBrowserStandIn; });
        host = std::make_unique<sharedtest::FrameHost>();
    }
    void TearDown() override
    {
        host.reset();
        ChanDir_SetMessageSink(nullptr);
        startupchecks::setWebBrowserProbe(nullptr);
        SetPaneFactory(PaneKind::Browser, nullptr);
        SearchTest::TearDown();
    }
    CSearchFrame* openFrame()
    {
        auto* frame = host->open<CSearchFrame>(kind);
        QCoreApplication::processEvents();
        return frame;
    }
    static bool commandState(CSearchFrame* frame, UINT id, bool* checked)
    {
        CCmdUI ui(id);
        RouteUpdate(frame->FrameRoute(), &ui);
        *checked = ui.checkState() != 0;
        return ui.isEnabled();
    }
    static void findNow(CSearchFrame* frame, const QString& text)
    {
        frame->GetCriteriaView()->searchEdit()->setText(text);
        frame->GetCriteriaView()->findNowButton()->click();
    }

    std::unique_ptr<sharedtest::FrameHost> host;
    CDocTemplate kind{130, "SearchDoc", [] { return new CSearchDoc; },
                      [] { return new CSearchFrame; }, [] { return new CSearchHeaderView; }};
};

TEST_F(SearchFrameTest, TheFirstWindowHasNoBrowserPaneAndALockedBrowserCannotBeSwitched)
{
    CSearchFrame* frame = openFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetBrowserView(), nullptr);
    EXPECT_EQ(frame->GetInnerSplitter()->GetRowCount(), 2);
    EXPECT_EQ(storedNumber(readhallKey(), "Use Embedded Browser"), 0u);
    bool checked = true;
    EXPECT_FALSE(commandState(frame, ID_VIEW_EXPAND_BROWSER, &checked));
    frame->MDIDestroy();

    setNumber(layoutKey(), "LockBrowser", 1);
    setNumber(layoutKey(), "ViewBrowser", 1);
    frame = openFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_NE(frame->GetBrowserView(), nullptr);
    EXPECT_FALSE(commandState(frame, ID_VIEW_USE_EMBEDDED_BROWSER, &checked));
    EXPECT_TRUE(checked);
}

TEST_F(SearchFrameTest, SwitchingTheBrowserKeepsTheListHeightAndExpandRestores)
{
    setNumber(readhallKey(), "Use Embedded Browser", 1);
    setNumber(readhallKey(), "Search Results List Height", 180);
    CSearchFrame* frame = openFrame();
    ASSERT_NE(frame->GetBrowserView(), nullptr);
    EXPECT_EQ(frame->GetResultsHeight(), 180);

    int formHeight = 0;
    int minimum = 0;
    frame->GetInnerSplitter()->GetRowInfo(0, formHeight, minimum);
    frame->ExecuteCommand(ID_VIEW_EXPAND_BROWSER);
    bool checked = false;
    EXPECT_TRUE(commandState(frame, ID_VIEW_EXPAND_BROWSER, &checked));
    EXPECT_TRUE(checked);
    EXPECT_EQ(frame->GetResultsHeight(), 0);
    frame->ExecuteCommand(ID_VIEW_EXPAND_BROWSER);
    commandState(frame, ID_VIEW_EXPAND_BROWSER, &checked);
    EXPECT_FALSE(checked);
    EXPECT_EQ(frame->GetResultsHeight(), 180);
    int formAgain = 0;
    frame->GetInnerSplitter()->GetRowInfo(0, formAgain, minimum);
    EXPECT_EQ(formAgain, formHeight);

    frame->ExecuteCommand(ID_VIEW_USE_EMBEDDED_BROWSER);
    EXPECT_EQ(frame->GetBrowserView(), nullptr);
    EXPECT_EQ(storedNumber(readhallKey(), "Use Embedded Browser"), 0u);
    EXPECT_EQ(storedNumber(readhallKey(), "Search Results List Height"), 180u);
    frame->ExecuteCommand(ID_VIEW_USE_EMBEDDED_BROWSER);
    ASSERT_NE(frame->GetBrowserView(), nullptr);
    EXPECT_EQ(frame->GetResultsHeight(), 180);
}

TEST_F(SearchFrameTest, ABrowserSwitchedElsewhereRebuildsThePanesAndRunsTheQueryAgain)
{
    const uint32_t news = eb::addChannel("News", "Daily");
    addStory(news, "Storm warning", 1);
    ASSERT_TRUE(eb::waitForIdle());
    CSearchFrame* frame = openFrame();
    findNow(frame, "storm");
    ASSERT_EQ(headlines(frame->GetResultsView()), QStringList{"Storm warning"});

    setNumber(readhallKey(), "Use Embedded Browser", 1);
    frame->OnMDIActivate(1);
    ASSERT_NE(frame->GetBrowserView(), nullptr);
    EXPECT_EQ(frame->GetCriteriaView()->searchEdit()->text(), "storm");
    EXPECT_EQ(headlines(frame->GetResultsView()), QStringList{"Storm warning"});
}

TEST_F(SearchFrameTest, ChangeMessagesReachTheFormAndTheList)
{
    const uint32_t news = eb::addChannel("News", "Daily");
    const uint32_t sport = eb::addChannel("Sport", "Daily");
    const uint32_t number = addStory(news, "Storm warning", 1);
    ASSERT_TRUE(eb::waitForIdle());
    CSearchFrame* frame = openFrame();
    CImageComboBox* scope = frame->GetCriteriaView()->scopeBox();
    scope->setCurrentIndex(scope->findText("News"));
    findNow(frame, "storm");
    ASSERT_EQ(frame->GetResultsView()->model()->rowCount(), 1);

    // Another channel renamed: the box is filled again and keeps the scope.
    ASSERT_TRUE(eb::renameChannel(sport, "Sports"));
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_GE(scope->findText("Sports"), 0);
    EXPECT_EQ(scope->currentText(), "News");

    // A deletion with channel id 0 changes nothing; the real one leaves no row.
    const std::vector<uint32_t> stories{number};
    SendMessage(frame->GetSafeHwnd(), RegisterWindowMessage(REFRESHCODE_STORIES_DELETED), 0,
                reinterpret_cast<LPARAM>(&stories));
    EXPECT_EQ(frame->GetResultsView()->model()->rowCount(), 1);
    ASSERT_EQ(VTDeleteStories(news, {number}), 1);
    ASSERT_TRUE(eb::waitForIdle());
    EXPECT_EQ(frame->GetResultsView()->model()->rowCount(), 0);
}

} // namespace
