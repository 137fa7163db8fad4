// The story commands of the headline list: which engine calls they make, their enable rules
// and the context menu.

#include "src/engine/messages.h"
#include "src/framework/cmdtarget.h"
#include "src/platform/messagebox.h"
#include "src/shared/ids.h"
#include "src/stories/storyids.h"
#include "tests/stories/stories_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"

#include <QFile>
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
    static uint32_t bundletOf(uint32_t channel, uint32_t number)
    {
        uint32_t bundlet = 0;
        CServices* services = GetCServices();
        if (services) {
            services->GetStoryAttribute(CService::MakeStoryID(channel, number), "BundLet Id",
                                        bundlet);
            ReleaseCServices();
        }
        return bundlet;
    }
    static uint32_t playable(uint32_t channel, const QString& headline, int minutes,
                             const QString& url = QString())
    {
        rhtest::engine::StorySeed desc;
        desc.headline = headline;
        desc.bundletType = VTBUNDLET_VIDEO;
        desc.enclosureUrl = url.isEmpty() ? "https://media.example/" + headline + ".avi" : url;
        desc.published = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC).addSecs(minutes * 60);
        return rhtest::engine::addStory(channel, desc);
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
    const auto calls = callsNamed("markStoriesRead");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args, (std::vector<uint32_t>{first, 1, a, c}));
    EXPECT_EQ(calls[1].args, (std::vector<uint32_t>{second, 1, b}));

    m_calls.clear();
    view->ExecuteCommand(ID_STORY_MARK_UNREAD);
    ASSERT_EQ(callsNamed("markStoriesRead").size(), 2u);
    EXPECT_EQ(callsNamed("markStoriesRead")[0].args[1], 0u);

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
    EXPECT_FALSE(enabled(view, ID_STORY_MARK_READ));
    EXPECT_FALSE(enabled(view, ID_STORY_MARK_UNREAD));
    view->SelectRows({rowOf(view, "unread")});
    EXPECT_TRUE(enabled(view, ID_STORY_MARK_READ));
    EXPECT_FALSE(enabled(view, ID_STORY_MARK_UNREAD));
    view->SelectRows({rowOf(view, "read")});
    EXPECT_FALSE(enabled(view, ID_STORY_MARK_READ));
    EXPECT_TRUE(enabled(view, ID_STORY_MARK_UNREAD));
    view->SelectRows({0, 1});
    EXPECT_TRUE(enabled(view, ID_STORY_MARK_READ));
    EXPECT_TRUE(enabled(view, ID_STORY_MARK_UNREAD));
    EXPECT_TRUE(enabled(view, ID_STORY_DELETE));
    EXPECT_FALSE(enabled(view, ID_STORY_FULL));

    // The placeholder is no story.
    view = viewOfChannel(rhtest::engine::addChannel("Empty", "News"));
    view->SelectRows({0});
    for (UINT id : {ID_STORY_MARK_READ, ID_STORY_MARK_UNREAD, ID_STORY_DELETE, ID_STORY_FULL,
                    ID_STORY_SUMMARY, ID_STORY_KEEP, ID_STORY_PLAY, ID_EDIT_SELECT_ALL})
        EXPECT_FALSE(enabled(view, id)) << id;
    EXPECT_EQ(view->HasListedStories(), 0);
    EXPECT_EQ(view->MarkAllListedRead(), 0);
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
    ASSERT_EQ(callsNamed("deleteStories").size(), 1u);
    EXPECT_EQ(callsNamed("deleteStories")[0].args, (std::vector<uint32_t>{channel, a}));
    EXPECT_EQ(platform::messageBoxQuestions().size(), 2u);
    EXPECT_EQ(platform::messageBoxQuestions()[0].flags & MB_TYPEMASK, MB_YESNO);
    // The channel window sends no notification; the alerts window does, even when nothing
    // was deleted.
    EXPECT_TRUE(callsNamed("broadcastNotification").empty());
    m_calls.clear();
    CHeadlineView* alerts = viewOfAlerts(); // the placeholder only
    alerts->SelectRows({0});
    platform::queueMessageBoxAnswer(IDYES);
    alerts->OnDeleteStories();
    EXPECT_TRUE(callsNamed("deleteStories").empty());
    ASSERT_EQ(callsNamed("broadcastNotification").size(), 1u);
    EXPECT_EQ(callsNamed("broadcastNotification")[0].args[0],
              uint32_t(VTNOTIFICATION_ALERTS_CHANGED));
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
    const auto calls = callsNamed("keepStory");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args, (std::vector<uint32_t>{channel, bundletOf(channel, kept), kept, 0}));
    EXPECT_EQ(calls[1].args, (std::vector<uint32_t>{channel, bundletOf(channel, loose), loose, 1}));
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
    const auto calls = callsNamed("playBundlet");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args, (std::vector<uint32_t>{channel, bundletOf(channel, first)}));
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
    const std::vector<uint32_t> package{media, bundletOf(media, clip)};
    ASSERT_EQ(callsNamed("playBundlet").size(), 1u);
    EXPECT_EQ(callsNamed("playBundlet")[0].args, package);
    ASSERT_EQ(callsNamed("markStoryRead").size(), 1u);
    EXPECT_EQ(callsNamed("markStoryRead")[0].args,
              (std::vector<uint32_t>{VT_ALERTS_CHANNEL_ID, alert, 0}));

    m_calls.clear();
    view->OnPlay(true);
    ASSERT_EQ(callsNamed("replicateBundlet").size(), 1u);
    EXPECT_EQ(callsNamed("replicateBundlet")[0].args, package);
    EXPECT_TRUE(callsNamed("markStoryRead").empty());
}

TEST_F(StoryCommandsTest, DownloadPropertiesAndFullStory)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    const uint32_t web = addStory(channel, "web", 2);
    const uint32_t clip = playable(channel, "clip", 1);
    CHeadlineView* view = viewOfChannel(channel);
    view->SelectRows({rowOf(view, "web")});
    EXPECT_TRUE(enabled(view, ID_STORY_DOWNLOAD));
    EXPECT_TRUE(enabled(view, ID_STORY_FULL));
    EXPECT_FALSE(enabled(view, ID_STORY_PROPERTIES));
    view->SelectRows({0, 1});
    EXPECT_TRUE(enabled(view, ID_STORY_DOWNLOAD)); // one of them can
    view->OnDownload();
    EXPECT_EQ(callsNamed("downloadStory").size(), 2u);

    // Properties looks at the first selected row in the list's order only.
    view->SelectRows({rowOf(view, "clip"), rowOf(view, "web")});
    view->OnProperties();
    const auto properties = callsNamed("showBundletProperties");
    ASSERT_EQ(properties.size(), 1u);
    EXPECT_EQ(properties[0].args, (std::vector<uint32_t>{channel, bundletOf(channel, web)}));
    view->SelectRows({rowOf(view, "clip")});
    EXPECT_TRUE(enabled(view, ID_STORY_PROPERTIES));
    view->ExecuteCommand(ID_STORY_PROPERTIES);
    ASSERT_EQ(callsNamed("showBundletProperties").size(), 2u);
    EXPECT_EQ(callsNamed("showBundletProperties")[1].args,
              (std::vector<uint32_t>{channel, bundletOf(channel, clip)}));

    view->SelectRows({rowOf(view, "web")});
    view->ExecuteCommand(ID_STORY_FULL);
    ASSERT_EQ(callsNamed("showStory").size(), 1u);
    EXPECT_EQ(callsNamed("showStory")[0].args, (std::vector<uint32_t>{channel, web}));
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
    EXPECT_FALSE(entry(menu, ID_STORY_PLAY).enabled);
    EXPECT_TRUE(entry(menu, ID_STORY_FULL).enabled);
    EXPECT_TRUE(entry(menu, ID_STORY_SUMMARY).enabled);
    EXPECT_TRUE(entry(menu, ID_STORY_KEEP).enabled);
    EXPECT_TRUE(entry(menu, ID_STORY_KEEP).checked);
    EXPECT_FALSE(entry(menu, ID_STORY_MARK_UNREAD).enabled);
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
    ASSERT_EQ(callsNamed("replicateBundlet").size(), 1u);
    EXPECT_EQ(callsNamed("replicateBundlet")[0].args,
              (std::vector<uint32_t>{channel, bundletOf(channel, number)}));
}

} // namespace
