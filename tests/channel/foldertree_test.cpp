// The folder tree operations against the real engine.

#include "src/channel/channelids.h"
#include "src/channel/foldertree.h"
#include "src/channel/treeitems.h"
#include "src/shared/settings.h"
#include "tests/channel/channel_fixture.h"
#include "vantrel/engctl.h"

#include <QTreeWidget>

using namespace channeltest;

namespace
{

class FolderTreeTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        tree = std::make_unique<QTreeWidget>();
        folder = std::make_unique<CFolderTree>(tree.get());
    }
    void insert(uint32_t id, uint32_t depth = settings::DEFAULT_CATEGORY_DEPTH)
    {
        ASSERT_NE(folder->InsertChannel(id, depth, false, true), nullptr);
    }

    std::unique_ptr<QTreeWidget> tree;
    std::unique_ptr<CFolderTree> folder;
};

// Where channels land: each case inserts its channels in order and reads the labels of the
// top level and of one category.
struct Placement {
    const char* name;
    std::vector<std::pair<const char*, const char*>> channels; // name, category
    uint32_t depth;
    QStringList topLevel;
    QStringList under; // the path whose children are listed
    QStringList children;
};

TEST_F(FolderTreeTest, ChannelsArePlacedByCategorySortedAndLimitedByDepth)
{
    const uint32_t depth = settings::DEFAULT_CATEGORY_DEPTH;
    const Placement cases[] = {
        {"empty levels are skipped",
         {{"Town Crier", "News//Local"}},
         depth,
         {"News"},
         {"News", "Local"},
         {"Town Crier"}},
        {"depth limits the chain",
         {{"Town Crier", "News/Local"}},
         1,
         {"News"},
         {"News"},
         {"Town Crier"}},
        {"depth zero",
         {{"Town Crier", "News/Local"}, {"Loose", ""}},
         0,
         {"All Subscribed Channels"},
         {"All Subscribed Channels"},
         {"Loose", "Town Crier"}},
        {"no case, equal labels keep their order",
         {{"alpha", "Misc"}, {"Beta", "Misc"}, {"Alpha", "Misc"}},
         depth,
         {"Misc"},
         {"Misc"},
         {"alpha", "Alpha", "Beta"}},
        {"categories first",
         {{"Aardvark Daily", ""}, {"Zoo News", "Zoo"}, {"Bee", "Apiary"}},
         depth,
         {"Apiary", "Zoo", "Aardvark Daily"},
         {"Zoo"},
         {"Zoo News"}},
        {"levels match with case",
         {{"One", "News"}, {"Two", "news"}},
         depth,
         {"News", "news"},
         {"news"},
         {"Two"}},
    };
    for (const Placement& c : cases) {
        SCOPED_TRACE(c.name);
        tree->clear();
        std::vector<uint32_t> ids;
        for (const auto& [name, category] : c.channels) {
            ids.push_back(addChannel(name, category));
            insert(ids.back(), c.depth);
        }
        EXPECT_EQ(childLabels(tree.get()), c.topLevel);
        QTreeWidgetItem* under = itemAt(tree.get(), c.under);
        ASSERT_NE(under, nullptr);
        EXPECT_EQ(childLabels(tree.get(), under), c.children);
        EXPECT_EQ(CFolderTree::GetItemKind(under), FolderItemKind::Category);
        EXPECT_EQ(treeitems::data(under), 0u);
    }
}

TEST_F(FolderTreeTest, ACategoryNameWithASlashShowsTheSlashAndKeepsItsPath)
{
    const uint32_t a = addChannel("Reel", "Film&slash;TV/Reviews");
    const uint32_t b = addChannel("Marquee", "Film&SLASH;TV/Reviews");
    insert(a);
    insert(b);
    QTreeWidgetItem* reviews = itemAt(tree.get(), {"Film/TV", "Reviews"});
    ASSERT_NE(reviews, nullptr) << childLabels(tree.get()).join("|").toStdString();
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(reviews->childCount(), 2);
    EXPECT_EQ(CFolderTree::GetCategoryPath(reviews), "Film&slash;TV/Reviews");
    EXPECT_EQ(CFolderTree::GetCategoryDisplayPath(reviews), "Film/TV/Reviews");
    EXPECT_EQ(folder->FindChildByName(nullptr, "Film&slash;TV"), tree->topLevelItem(0));
}

TEST_F(FolderTreeTest, UnreadCountsShowInBoldAndThePlainNameDropsOnlyThem)
{
    const uint32_t quiet = addChannel("Radio (FM)", "Radio");
    const uint32_t busy = addChannel("Radio (AM)", "Radio", 2);
    insert(quiet);
    insert(busy);
    EXPECT_EQ(CFolderTree::GetPlainName(folder->FindChannelItem(nullptr, quiet)), "Radio (FM)");
    QTreeWidgetItem* item = folder->FindChannelItem(nullptr, busy);
    EXPECT_EQ(item->text(0), "Radio (AM) (2)");
    EXPECT_TRUE(treeitems::isBold(item));
    EXPECT_EQ(CFolderTree::GetPlainName(item), "Radio (AM)");
    // A bold label with fewer than two characters before its "(" stays whole.
    QTreeWidgetItem odd(QStringList{"X(1)"});
    treeitems::setBold(&odd, true);
    EXPECT_EQ(CFolderTree::GetPlainName(&odd), "X(1)");

    markAllRead(busy);
    folder->UpdateChannelCounts(busy);
    EXPECT_EQ(item->text(0), "Radio (AM)");
    EXPECT_FALSE(treeitems::isBold(item));
}

TEST_F(FolderTreeTest, ChannelImagesFollowTheChannelState)
{
    using namespace rhtest::engine;
    const uint32_t plain = addChannel("Plain", "", 0, Enabled);
    const uint32_t off = addChannel("Off", "", 0, 0);
    const uint32_t all = addChannel("All", "", 0, Secure | Filtered);
    for (uint32_t id : {plain, off, all})
        insert(id);
    EXPECT_EQ(treeitems::image(folder->FindChannelItem(nullptr, plain)), IMG_CHANNEL);
    EXPECT_EQ(treeitems::image(folder->FindChannelItem(nullptr, off)), IMG_CHANNEL + 1);
    EXPECT_EQ(treeitems::image(folder->FindChannelItem(nullptr, all)), IMG_CHANNEL_LAST);
    EXPECT_EQ(treeitems::selectedImage(folder->FindChannelItem(nullptr, all)), IMG_CHANNEL_LAST);

    VTEnableChannel(off, 1);
    rhtest::engine::waitForIdle();
    folder->UpdateChannelImage(off, false);
    EXPECT_EQ(treeitems::image(folder->FindChannelItem(nullptr, off)), IMG_CHANNEL);
}

TEST_F(FolderTreeTest, RemovingTheLastChannelRemovesEmptiedCategories)
{
    const uint32_t deep = addChannel("Deep", "A/B/C");
    const uint32_t keep = addChannel("Keeper", "A");
    insert(deep);
    insert(keep);
    folder->RemoveChannel(deep);
    EXPECT_EQ(folder->FindChannelItem(nullptr, deep), nullptr);
    EXPECT_EQ(childLabels(tree.get()), QStringList{"A"});
    EXPECT_EQ(childLabels(tree.get(), tree->topLevelItem(0)), QStringList{"Keeper"});

    folder->RemoveChannel(keep);
    EXPECT_EQ(tree->topLevelItemCount(), 0);
}

TEST_F(FolderTreeTest, SubChannelsShowSummedCountsAndSlashesAndGoneOnesArePruned)
{
    const uint32_t id = addChannel("Sport Desk", "Sport");
    addStory(id, "Hole in one", false, "Sports/Golf");
    addStory(id, "Eagle", false, "Sports/Golf");
    addStory(id, "Ace", false, "Sports/Tennis");
    addStory(id, "Old", true, "Sports/Tennis");
    addStory(id, "Either", true, "A//B");
    insert(id);
    QTreeWidgetItem* channel = folder->FindChannelItem(nullptr, id);
    ASSERT_EQ(channel->childCount(), 1);
    EXPECT_EQ(CFolderTree::GetItemKind(channel->child(0)), FolderItemKind::Placeholder);
    EXPECT_EQ(channel->child(0)->text(0), "Dummy subchannel");

    folder->PrepareChannelExpand(channel);
    EXPECT_EQ(childLabels(tree.get(), channel), (QStringList{"A/B", "Sports (3)"}));
    QTreeWidgetItem* sports = channel->child(1);
    EXPECT_TRUE(treeitems::isBold(sports));
    EXPECT_EQ(childLabels(tree.get(), sports), (QStringList{"Golf (2)", "Tennis (1)"}));
    EXPECT_FALSE(treeitems::isBold(channel->child(0)));
    EXPECT_EQ(treeitems::data(sports->child(0)), id);
    EXPECT_EQ(CFolderTree::GetSubChannelPath(sports->child(1)), "Sports/Tennis");
    EXPECT_EQ(CFolderTree::GetSubChannelPath(channel->child(0)), "A&slash;B");

    // Reading the golf stories clears the counts on the way up.
    markAllRead(id);
    folder->UpdateChannelCounts(id);
    EXPECT_EQ(childLabels(tree.get(), channel), (QStringList{"A/B", "Sports"}));
    EXPECT_EQ(childLabels(tree.get(), sports), (QStringList{"Golf", "Tennis"}));
    EXPECT_FALSE(treeitems::isBold(sports));

    // Filling again prunes sub-channels that are gone.
    treeitems::insertItem(tree.get(), sports, 0, "Curling");
    treeitems::setImages(sports->child(0), IMG_SUBCHANNEL, IMG_SUBCHANNEL, nullptr);
    folder->FillSubChannels(channel);
    EXPECT_EQ(childLabels(tree.get(), channel->child(1)), (QStringList{"Golf", "Tennis"}));
}

TEST_F(FolderTreeTest, RebuildInsertsEveryChannelAndExpandsCategoriesOnly)
{
    const uint32_t sport = addChannel("Sport Desk", "Sport/Daily");
    addStory(sport, "Hole in one", false, "Golf");
    addChannel("Weather", "");
    folder->RebuildTree(CONTENT_SUBSCRIBED_CHANNELS, settings::DEFAULT_CATEGORY_DEPTH, false, true);
    EXPECT_EQ(childLabels(tree.get()), (QStringList{"Sport", "Weather"}));
    QTreeWidgetItem* daily = itemAt(tree.get(), {"Sport", "Daily"});
    ASSERT_NE(daily, nullptr);
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(daily->isExpanded());
    QTreeWidgetItem* channel = daily->child(0);
    EXPECT_FALSE(channel->isExpanded());
    EXPECT_EQ(CFolderTree::GetItemKind(channel->child(0)), FolderItemKind::Placeholder);

    folder->ExpandAll(nullptr, true);
    EXPECT_TRUE(channel->isExpanded());
    EXPECT_EQ(childLabels(tree.get(), channel), QStringList{"Golf (1)"});
}

TEST_F(FolderTreeTest, UnknownChannelsChangeNothing)
{
    insert(addChannel("Daily", "News"));
    const QStringList before = childLabels(tree.get());
    EXPECT_EQ(folder->InsertChannel(424242, 99, false, false), nullptr);
    folder->UpdateChannelCounts(424242);
    folder->UpdateChannelImage(424242, true);
    folder->RemoveChannel(424242);
    EXPECT_EQ(childLabels(tree.get()), before);
}

} // namespace
