// The navigation bar's groups: built, stored, read back and kept in line with the directory.

#include "tests/navbar/navbar_fixture.h"

#include "src/navbar/navbarids.h"
#include "src/platform/messagebox.h"
#include "src/platform/settingsstore.h"
#include "vantrel/core/engine.h"

#include <QDir>
#include <QFile>

namespace navtest
{
namespace
{

class GroupsTest : public NavbarTest
{
protected:
    std::vector<DWORD> values(int group) const
    {
        std::vector<DWORD> result;
        for (int item = 0; item < groups()->GetItemCount(group); ++item)
            result.push_back(groups()->GetItemValue(group, item));
        return result;
    }
};

TEST_F(GroupsTest, AFirstStartShowsTheViewsAndAnEmptyFavoritesAndStoresExactlyThem)
{
    createBar();
    EXPECT_EQ(groupTitles(), QStringList({"Views", "Favorites"}));
    EXPECT_EQ(itemTexts(0), QStringList({"View Channel Content", "Subscribe to Channels",
                                         "View Alerts", "Search Content"}));
    EXPECT_EQ(values(0), (std::vector<DWORD>{NAVVIEW_CHANNEL, NAVVIEW_DIRECTORY, NAVVIEW_ALERTS,
                                             NAVVIEW_SEARCH}));
    EXPECT_EQ(groups()->GetItemCount(1), 0);
    EXPECT_EQ(groups()->GetOpenGroup(), 0);
    EXPECT_EQ(groups()->GetSelectedItem(), 0);
    // The settings read with a default are there, with their defaults.
    EXPECT_EQ(storedNumber(layoutKey(), "DisplayAllChannelsGroup"), 0u);
    EXPECT_EQ(storedNumber(settings::navigationBarKeyPath(), "Back Color"), 0xFFFFFFFFu);
    EXPECT_TRUE(hasValue(settings::navigationBarKeyPath(), "Search Bitmap"));

    destroyBar();
    const auto key = platform::SettingsKey::open(HKEY_CURRENT_USER, layoutKeyPath());
    ASSERT_TRUE(key);
    EXPECT_EQ(key.valueNames(), QStringList({"Last Active Group", "Last Active Entry", "Group 0"}));
    QString title;
    ASSERT_TRUE(key.readText("Group 0", title));
    EXPECT_EQ(title, "Favorites");
    EXPECT_EQ(key.subKeyNames(), QStringList({"Favorites"}));
    EXPECT_EQ(key.openSubKey("Favorites").valueNames(), QStringList({"Type"}));
    EXPECT_EQ(storedNumber(layoutKeyPath() + "\\Favorites", "Type"), NAVGROUP_USER);
}

TEST_F(GroupsTest, AStoredLayoutComesBackWithoutUntypedGroupsAndUnknownChannels)
{
    const uint32_t beta = rhtest::engine::addChannel("Beta");
    const uint32_t alpha = rhtest::engine::addChannel("Alpha");
    setText(layoutKeyPath(), "Group 0", "Mine");
    setNumber(layoutKeyPath() + "\\Mine", "Type", NAVGROUP_USER);
    setNumber(layoutKeyPath() + "\\Mine", "Item 0", beta);
    setNumber(layoutKeyPath() + "\\Mine", "Item 1", 0x7777);
    setNumber(layoutKeyPath() + "\\Mine", "Item 2", alpha);
    setText(layoutKeyPath(), "Group 1", "Untyped");
    setNumber(layoutKeyPath() + "\\Untyped", "Item 0", alpha);
    setNumber(layoutKeyPath(), "Last Active Group", 1);
    setNumber(layoutKeyPath(), "Last Active Entry", 1);

    createBar();
    EXPECT_EQ(groupTitles(), QStringList({"Views", "Mine"}));
    EXPECT_EQ(values(1), (std::vector<DWORD>{beta, alpha})); // stored order, not sorted
    EXPECT_EQ(storedNumber(layoutKeyPath() + "\\Untyped", "Type"), 0u);
    EXPECT_EQ(groups()->GetOpenGroup(), 1);
    EXPECT_EQ(groups()->GetSelectedItem(), 1);
    // The channel that went is gone from the store too.
    destroyBar();
    EXPECT_EQ(storedNumber(layoutKeyPath() + "\\Mine", "Item 1"), alpha);
    EXPECT_FALSE(hasValue(layoutKeyPath() + "\\Mine", "Item 2"));
}

TEST_F(GroupsTest, TheAllChannelsGroupIsSortedAndFollowsTheDirectory)
{
    setNumber(layoutKey(), "DisplayAllChannelsGroup", 1);
    setNumber(layoutKey(), "DisplayViewsGroup", 0);
    const uint32_t beta = rhtest::engine::addChannel("beta");
    rhtest::engine::addChannel("Gamma");
    rhtest::engine::addChannel("Alpha");
    // The engine's messages about these channels come after the bar has listed them.
    createBar();
    ASSERT_EQ(groupTitles(), QStringList({"All Channels", "Favorites"}));
    // The names in the group, the engine's alerts channel aside.
    auto channelNames = [this] {
        QStringList names;
        for (int item = 0; item < groups()->GetItemCount(0); ++item)
            if (groups()->GetItemValue(0, item) != VT_ALERTS_CHANNEL_ID)
                names << groups()->GetItemText(0, item);
        return names;
    };
    EXPECT_EQ(channelNames(), QStringList({"Alpha", "beta", "Gamma"}));

    // A favourite of the same channel follows its renaming and its removal too.
    groups()->OpenGroup(1);
    ASSERT_EQ(bar->OnCanDrop(DRAGKIND_CHANNEL, 1), 1);
    ASSERT_EQ(bar->OnDropChannel(beta), 1);

    const uint32_t added = rhtest::engine::addChannel("alps");
    rhtest::engine::waitForIdle();
    EXPECT_EQ(channelNames(), QStringList({"Alpha", "alps", "beta", "Gamma"}));

    ASSERT_TRUE(rhtest::engine::renameChannel(beta, "Bravo"));
    rhtest::engine::waitForIdle();
    EXPECT_EQ(channelNames(), QStringList({"Alpha", "alps", "Bravo", "Gamma"}));
    EXPECT_EQ(itemTexts(1), QStringList({"Bravo"}));

    vantrel::Engine* engine = vantrel::Engine::instance();
    ASSERT_TRUE(engine->unsubscribeEntry(rhtest::engine::directoryEntryOf(beta)));
    ASSERT_TRUE(engine->unsubscribeEntry(rhtest::engine::directoryEntryOf(added)));
    rhtest::engine::waitForIdle();
    EXPECT_EQ(channelNames(), QStringList({"Alpha", "Gamma"}));
    EXPECT_EQ(groups()->GetItemCount(1), 0);
}

TEST_F(GroupsTest, ThePublishingItemIsOfferedOnlyWhenTheToolIsInstalled)
{
    setNumber("Software\\Vantrel\\Vantrel\\Publishing", "Enabled", 1);
    setNumber("Software\\Vantrel\\Vantrel\\Publishing", "PublishingWizard", 1);
    createBar();
    EXPECT_EQ(groups()->GetItemCount(0), 4); // no start page yet

    QKBuffer data;
    ASSERT_TRUE(VTGetDirectory(1, data));
    ASSERT_TRUE(QDir().mkpath(data.GetText() + "/publishing-tool-root"));
    QFile page(data.GetText() + "/publishing-tool-root/top.htm");
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    startupchecks::resetForTests();
    restart();
    ASSERT_EQ(groups()->GetItemCount(0), 5);
    EXPECT_EQ(groups()->GetItemText(0, 4), "Publishing Wizard");
    EXPECT_EQ(groups()->GetItemValue(0, 4), DWORD(NAVVIEW_PUBLISHING));
}

TEST_F(GroupsTest, NewGroupsTakeFreeTitlesAndKeepTheirOwnItemsAcrossARestart)
{
    const uint32_t news = rhtest::engine::addChannel("News");
    const uint32_t sport = rhtest::engine::addChannel("Sport");
    createBar();
    bar->NewGroup();
    bar->NewGroup();
    ASSERT_EQ(groupTitles(), QStringList({"Views", "Favorites", "New Group", "New Group (2)"}));
    groups()->OpenGroup(2);
    ASSERT_EQ(bar->OnDropChannel(news), 1);
    groups()->OpenGroup(3);
    ASSERT_EQ(bar->OnDropChannel(sport), 1);

    restart();
    ASSERT_EQ(groupTitles(), QStringList({"Views", "Favorites", "New Group", "New Group (2)"}));
    EXPECT_EQ(values(2), std::vector<DWORD>{news});
    EXPECT_EQ(values(3), std::vector<DWORD>{sport});
}

TEST_F(GroupsTest, ARenameThatWouldShareAKeyIsRefusedAndTheOldTitleKept)
{
    createBar();
    bar->NewGroup();
    struct Case {
        const char* title;
        bool taken;
    };
    const Case cases[] = {
        {"favorites", false}, // another group's title in other letters
        {"Sport\\Local", false}, {"   ", false},
        {" Sport ", true},       {"sport", true}, // its own title in other letters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        platform::resetMessageBoxHook();
        const QString before = groups()->GetGroupTitle(2);
        EXPECT_EQ(bar->RenameUserGroup(2, c.title), c.taken ? 1 : 0);
        EXPECT_EQ(groups()->GetGroupTitle(2), c.taken ? QString(c.title).trimmed() : before);
        EXPECT_EQ(platform::messageBoxQuestions().size(), c.taken ? 0u : 1u);
    }
    // Groups of a layout stored before titles were kept apart get titles of their own.
    destroyBar();
    setText(layoutKeyPath(), "Group 2", "Sport");
    restart();
    EXPECT_EQ(groupTitles(), QStringList({"Views", "Favorites", "sport", "Sport (2)"}));
}

} // namespace
} // namespace navtest
