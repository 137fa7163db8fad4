// The headline list's story commands: engine calls, enable rules and the context menu.

#include "src/engine/messages.h"
#include "src/framework/cmdtarget.h"
#include "src/platform/messagebox.h"
#include "src/shared/ids.h"
#include "src/stories/storyids.h"
#include "tests/stories/stories_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"

#include <QFile>
#include <QTest>
#include <QUrl>

using namespace storiestest;

namespace
{

class StoryCommandsTest : public StoriesTest
{
protected:
    // Whether the view's rule enables the command; its check state goes to `checked`.
    bool enabled(CHeadlineView* view, UINT id, int* checked = nullptr)
    {
        CCmdUI ui(id);
        view->UpdateCmdUI(&ui);
        if (checked)
            *checked = ui.checkState();
        return ui.isEnabled();
    }
    // The rule of each command, in order.
    std::vector<bool> rules(CHeadlineView* view, std::initializer_list<UINT> ids)
    {
        std::vector<bool> result;
        for (UINT id : ids)
            result.push_back(enabled(view, id));
        return result;
    }
};

TEST_F(StoryCommandsTest, SelectAllThenMarkAsReadMakesOneCallPerChannelAsDoesMarkAllListed)
{
    const uint32_t first = rhtest::engine::addChannel("First", "News");
    const uint32_t second = rhtest::engine::addChannel("Second", "News");
    const uint32_t a = addStory(first, "a", 3);
    const uint32_t b = addStory(second, "b", 2);
    const uint32_t c = addStory(first, "c", 1);
    CHeadlineView* view = viewOfCategory({first, second});
    EXPECT_TRUE(enabled(view, ID_EDIT_SELECT_ALL));
    view->ExecuteCommand(ID_EDIT_SELECT_ALL);
    EXPECT_EQ(view->SelectedRows(), (std::vector<int>{0, 1, 2}));
    ASSERT_TRUE(enabled(view, ID_STORY_MARK_READ));
    view->ExecuteCommand(ID_STORY_MARK_READ);
    EXPECT_EQ(argsOf("markStoriesRead"), (Args{{first, 1, a, c}, {second, 1, b}}));

    m_calls.clear();
    view->ExecuteCommand(ID_STORY_MARK_UNREAD);
    EXPECT_EQ(argsOf("markStoriesRead"), (Args{{first, 0, a, c}, {second, 0, b}}));

    // Mark all listed read does the same without a selection.
    m_calls.clear();
    view->SelectRows({});
    EXPECT_EQ(view->HasListedStories(), 1);
    EXPECT_EQ(view->MarkAllListedRead(), 1);
    EXPECT_EQ(callsNamed("markStoriesRead").size(), 2u);
}

TEST_F(StoryCommandsTest, MarkRulesFollowTheSelectedRowsUnreadFlagAndThePlaceholderIsNoStory)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    addStory(channel, "unread", 2);
    addStory(channel, "read", 1, {{"Read", 1}});
    CHeadlineView* view = viewOfChannel(channel);
    const struct {
        std::vector<int> rows;
        std::vector<bool> readUnread;
    } cases[] = {{{}, {false, false}},
                 {{rowOf(view, "unread")}, {true, false}},
                 {{rowOf(view, "read")}, {false, true}},
                 {{0, 1}, {true, true}}};
    for (const auto& c : cases) {
        view->SelectRows(c.rows);
        EXPECT_EQ(rules(view, {ID_STORY_MARK_READ, ID_STORY_MARK_UNREAD}), c.readUnread)
            << c.rows.size();
    }
    EXPECT_EQ(rules(view, {ID_STORY_DELETE, ID_STORY_FULL}), (std::vector<bool>{true, false}));

    // The placeholder is no story; the Delete key still asks, and deletes nothing.
    view = viewOfChannel(rhtest::engine::addChannel("Empty", "News"));
    view->SelectRows({0});
    EXPECT_EQ(rules(view, {ID_STORY_MARK_READ, ID_STORY_MARK_UNREAD, ID_STORY_DELETE, ID_STORY_FULL,
                           ID_STORY_SUMMARY, ID_STORY_KEEP, ID_STORY_PLAY, ID_EDIT_SELECT_ALL}),
              std::vector<bool>(8, false));
    EXPECT_EQ(view->HasListedStories(), 0);
    EXPECT_EQ(view->MarkAllListedRead(), 0);
    platform::queueMessageBoxAnswer(IDYES);
    QTest::keyClick(view->list(), Qt::Key_Delete);
    ASSERT_TRUE(rhtest::waitFor([] { return !platform::messageBoxQuestions().empty(); }));
    EXPECT_EQ(platform::messageBoxQuestions().front().text,
              "Are you sure you want to delete the selected item(s) permanently?");
    EXPECT_TRUE(m_calls.empty());
    std::vector<CHeadlineView::MenuEntry> menu;
    EXPECT_FALSE(view->BuildContextMenu(menu));
}

TEST_F(StoryCommandsTest, DeleteAsksAndDeletesPerChannel)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    const uint32_t a = addStory(channel, "a", 2);
    addStory(channel, "b", 1);
    CHeadlineView* view = viewOfChannel(channel);
    view->SelectRows({0});
    ASSERT_TRUE(enabled(view, ID_STORY_DELETE));
    platform::queueMessageBoxAnswer(IDNO);
    view->ExecuteCommand(ID_STORY_DELETE);
    EXPECT_TRUE(callsNamed("deleteStories").empty());
    platform::queueMessageBoxAnswer(IDYES);
    view->ExecuteCommand(ID_STORY_DELETE);
    EXPECT_EQ(argsOf("deleteStories"), (Args{{channel, a}}));
    EXPECT_EQ(platform::messageBoxQuestions().size(), 2u);
    EXPECT_EQ(platform::messageBoxQuestions()[0].flags & MB_TYPEMASK, MB_YESNO);
    // The channel window sends no notification; the alerts window does, even deleting nothing.
    EXPECT_TRUE(callsNamed("broadcastNotification").empty());
    m_calls.clear();
    CHeadlineView* alerts = viewOfAlerts(); // the placeholder only
    alerts->SelectRows({0});
    platform::queueMessageBoxAnswer(IDYES);
    alerts->OnDeleteStories();
    EXPECT_TRUE(callsNamed("deleteStories").empty());
    EXPECT_EQ(argsOf("broadcastNotification"), (Args{{VTNOTIFICATION_ALERTS_CHANGED, 0}}));
}

TEST_F(StoryCommandsTest, KeepTogglesEachStoryOnItsOwn)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    const uint32_t kept = addStory(channel, "kept", 2, {{"Keep", 1}});
    const uint32_t loose = addStory(channel, "loose", 1);
    CHeadlineView* view = viewOfChannel(channel);
    view->SelectRows({rowOf(view, "kept")});
    int checked = 0;
    EXPECT_TRUE(enabled(view, ID_STORY_KEEP, &checked));
    EXPECT_EQ(checked, 1);
    view->SelectRows({0, 1});
    EXPECT_FALSE(enabled(view, ID_STORY_KEEP));
    view->OnKeep();
    EXPECT_EQ(argsOf("keepStory"), (Args{{channel, bundletOf(channel, kept), kept, 0},
                                         {channel, bundletOf(channel, loose), loose, 1}}));
}

TEST_F(StoryCommandsTest, PlayPlaysOnlyTheFirstPlayableStory)
{
    const uint32_t channel = rhtest::engine::addChannel("Media", "News");
    const uint32_t first = playable(channel, "first", 3);
    playable(channel, "second", 2);
    CHeadlineView* view = viewOfChannel(channel);
    view->SelectRows({rowOf(view, "first")});
    EXPECT_TRUE(enabled(view, ID_STORY_PLAY));
    view->SelectRows({0, 1});
    EXPECT_FALSE(enabled(view, ID_STORY_PLAY));
    view->OnPlay(false);
    EXPECT_EQ(argsOf("playBundlet"), (Args{{channel, bundletOf(channel, first)}}));
    EXPECT_TRUE(callsNamed("markStoryRead").empty());
}

TEST_F(StoryCommandsTest, AnAlertPlaysItsStorysPackageAndOneWhoseStoryIsGoneIsPassedOver)
{
    const uint32_t gone = rhtest::engine::addChannel("Gone", "News");
    const uint32_t media = rhtest::engine::addChannel("Media", "News");
    const uint32_t lost = playable(gone, "lost", 5);
    const uint32_t clip = playable(media, "clip", 1);
    rhtest::engine::addAlert(gone, lost, "Video", QString());
    const uint32_t alert = rhtest::engine::addAlert(media, clip, "Video", QString());
    ASSERT_TRUE(VTDeleteStories(gone, {lost}));
    rhtest::engine::waitForIdle();
    CHeadlineView* view = viewOfAlerts();
    ASSERT_EQ(view->model()->rowCount(), 2);
    view->SelectRows({rowOf(view, "clip")});
    EXPECT_TRUE(enabled(view, ID_STORY_PLAY));
    view->SelectRows({rowOf(view, "lost"), rowOf(view, "clip")});
    view->OnPlay(false);
    const Args package{{media, bundletOf(media, clip)}};
    EXPECT_EQ(argsOf("playBundlet"), package);
    EXPECT_EQ(argsOf("markStoryRead"), (Args{{VT_ALERTS_CHANNEL_ID, alert, 0}}));

    m_calls.clear();
    view->OnPlay(true);
    EXPECT_EQ(argsOf("replicateBundlet"), package);
    EXPECT_TRUE(callsNamed("markStoryRead").empty());
}

TEST_F(StoryCommandsTest, DownloadPropertiesAndFullStory)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    const uint32_t web = addStory(channel, "web", 2);
    const uint32_t clip = playable(channel, "clip", 1);
    CHeadlineView* view = viewOfChannel(channel);
    view->SelectRows({rowOf(view, "web")});
    EXPECT_EQ(rules(view, {ID_STORY_DOWNLOAD, ID_STORY_FULL, ID_STORY_PROPERTIES}),
              (std::vector<bool>{true, true, false}));
    view->SelectRows({0, 1});
    EXPECT_TRUE(enabled(view, ID_STORY_DOWNLOAD)); // one of them can
    view->OnDownload();
    EXPECT_EQ(callsNamed("downloadStory").size(), 2u);

    // Properties looks at the first selected row in the list's order only.
    view->SelectRows({rowOf(view, "clip"), rowOf(view, "web")});
    view->OnProperties();
    EXPECT_EQ(argsOf("showBundletProperties"), (Args{{channel, bundletOf(channel, web)}}));
    view->SelectRows({rowOf(view, "clip")});
    EXPECT_TRUE(enabled(view, ID_STORY_PROPERTIES));
    view->ExecuteCommand(ID_STORY_PROPERTIES);
    EXPECT_EQ(argsOf("showBundletProperties"),
              (Args{{channel, bundletOf(channel, web)}, {channel, bundletOf(channel, clip)}}));

    view->SelectRows({rowOf(view, "web")});
    view->ExecuteCommand(ID_STORY_FULL);
    EXPECT_EQ(argsOf("showStory"), (Args{{channel, web}}));
}

TEST_F(StoryCommandsTest, TheContextMenuGraysWhatCannotBeDone)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    addStory(channel, "web", 2, {{"Keep", 1}}, {}, "summary");
    CHeadlineView* view = viewOfChannel(channel);
    auto entry = [](const std::vector<CHeadlineView::MenuEntry>& menu, UINT id) {
        for (const auto& e : menu)
            if (e.id == id)
                return e;
        return CHeadlineView::MenuEntry();
    };

    std::vector<CHeadlineView::MenuEntry> menu;
    ASSERT_TRUE(view->BuildContextMenu(menu));
    ASSERT_EQ(menu.size(), 11u); // nine items and two separators
    for (const auto& e : menu)
        EXPECT_FALSE(e.id != 0 && e.enabled) << e.id;
    EXPECT_EQ(menu[0].id, ID_STORY_PLAY);
    EXPECT_EQ(menu[4].text, "Mark as &Read");

    view->SelectRows({rowOf(view, "web")});
    ASSERT_TRUE(view->BuildContextMenu(menu));
    std::vector<bool> shown;
    for (UINT id :
         {ID_STORY_PLAY, ID_STORY_FULL, ID_STORY_SUMMARY, ID_STORY_KEEP, ID_STORY_MARK_UNREAD})
        shown.push_back(entry(menu, id).enabled);
    EXPECT_EQ(shown, (std::vector<bool>{false, true, true, true, false}));
    EXPECT_TRUE(entry(menu, ID_STORY_KEEP).checked);
}

TEST_F(StoryCommandsTest, PlaceFilesComesFirstWhenItCanBeDone)
{
    const QString file = rhtest::testRoot() + "/clip.avi";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
    f.close();
    const uint32_t channel = rhtest::engine::addChannel("Media", "News");
    const uint32_t number =
        playable(channel, "local clip", 1, QUrl::fromLocalFile(file).toString());
    CHeadlineView* view = viewOfChannel(channel);
    view->SelectRows({0});
    std::vector<CHeadlineView::MenuEntry> menu;
    ASSERT_TRUE(view->BuildContextMenu(menu));
    ASSERT_GE(menu.size(), 2u);
    EXPECT_EQ(menu[0].id, ID_STORY_PLACE_FILES);
    EXPECT_EQ(menu[0].text, "&Place Files...");
    EXPECT_EQ(menu[1].id, 0u);
    EXPECT_TRUE(enabled(view, ID_STORY_PLACE_FILES));
    view->ExecuteCommand(ID_STORY_PLACE_FILES);
    EXPECT_EQ(argsOf("replicateBundlet"), (Args{{channel, bundletOf(channel, number)}}));
}

} // namespace
