// The channel folder tree and its view: choosing, remembering, hints, commands and dragging.

#include "src/channel/channelfolderview.h"
#include "src/engine/messages.h"
#include "src/platform/messagewindow.h"
#include "src/platform/settingsstore.h"
#include "src/shared/settings.h"
#include "tests/channel/channel_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

#include <QTest>

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
        // clang-format off
        {"empty levels are skipped", {{"Town Crier", "News//Local"}}, depth,
         {"News"}, {"News", "Local"}, {"Town Crier"}},
        {"depth limits the chain", {{"Town Crier", "News/Local"}}, 1,
         {"News"}, {"News"}, {"Town Crier"}},
        {"depth zero", {{"Town Crier", "News/Local"}, {"Loose", ""}}, 0,
         {"All Subscribed Channels"}, {"All Subscribed Channels"}, {"Loose", "Town Crier"}},
        {"no case, equal labels keep their order",
         {{"alpha", "Misc"}, {"Beta", "Misc"}, {"Alpha", "Misc"}}, depth,
         {"Misc"}, {"Misc"}, {"alpha", "Alpha", "Beta"}},
        {"categories first", {{"Aardvark Daily", ""}, {"Zoo News", "Zoo"}, {"Bee", "Apiary"}},
         depth, {"Apiary", "Zoo", "Aardvark Daily"}, {"Zoo"}, {"Zoo News"}},
        {"levels match with case", {{"One", "News"}, {"Two", "news"}}, depth,
         {"News", "news"}, {"news"}, {"Two"}},
        // clang-format on
    };
    for (const Placement& c : cases) {
        SCOPED_TRACE(c.name);
        tree->clear();
        for (const auto& [name, category] : c.channels)
            insert(addChannel(name, category), c.depth);
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

TEST_F(FolderTreeTest, RemovingTheLastChannelRemovesEmptiedCategoriesUnknownOnesNothing)
{
    const uint32_t deep = addChannel("Deep", "A/B/C");
    const uint32_t keep = addChannel("Keeper", "A");
    insert(deep);
    insert(keep);
    folder->RemoveChannel(deep);
    EXPECT_EQ(folder->FindChannelItem(nullptr, deep), nullptr);
    EXPECT_EQ(childLabels(tree.get()), QStringList{"A"});
    EXPECT_EQ(childLabels(tree.get(), tree->topLevelItem(0)), QStringList{"Keeper"});

    // Unknown channels change nothing.
    EXPECT_EQ(folder->InsertChannel(424242, 99, false, false), nullptr);
    folder->UpdateChannelCounts(424242);
    folder->UpdateChannelImage(424242, true);
    folder->RemoveChannel(424242);
    EXPECT_EQ(childLabels(tree.get()), QStringList{"A"});

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

class FolderViewTest : public ChannelViewTest<CChannelFolderView>
{
protected:
    void TearDown() override
    {
        closeViews();
        setRestrictions(0);
        ChannelViewTest::TearDown();
    }
    // Closes the view (it saves its choice) and opens a new one.
    void reopen()
    {
        closeViews();
        doc->SetCategory({});
        open(doc);
    }
    QTreeWidget* tree() const { return view->GetTreeCtrl(); }
    QTreeWidgetItem* channelItem(uint32_t id) const
    {
        return view->GetFolderTree().FindChannelItem(nullptr, id);
    }
};

TEST_F(FolderViewTest, FirstUpdateOpensTheFirstChannelAndACategoryShowsItsChannelsInTreeOrder)
{
    const uint32_t a = addChannel("Alpha", "News/Local");
    const uint32_t b = addChannel("Beta", "News");
    const uint32_t c = addChannel("Gamma", "News/Local", 2);
    open(); // nothing remembered
    EXPECT_EQ(doc->GetChannelIds(), std::vector<uint32_t>{a});
    EXPECT_EQ(recorder->hintCount(HINT_SELECTION_CHANGED), 1);
    EXPECT_EQ(tree()->currentItem(), channelItem(a));
    EXPECT_TRUE(itemAt(tree(), {"News", "Local"})->isExpanded());

    recorder->clearHints();
    view->SelectItem(itemAt(tree(), {"News"}));
    EXPECT_EQ(doc->GetMode(), CChannelDoc::ModeCategory);
    EXPECT_EQ(doc->GetName(), "News");
    EXPECT_EQ(doc->GetChannelIds(), (std::vector<uint32_t>{a, c, b}));
    EXPECT_EQ(recorder->hintCount(HINT_SELECTION_CHANGED), 1);

    // Choosing the channel the document already shows sends nothing.
    view->SelectItem(channelItem(a));
    recorder->clearHints();
    view->SelectItem(nullptr);
    view->SelectItem(channelItem(a));
    EXPECT_EQ(recorder->hintCount(HINT_SELECTION_CHANGED), 0);
}

TEST_F(FolderViewTest, TheLastChoiceIsRememberedAndRestored)
{
    addChannel("Alpha", "News");
    const uint32_t b = addChannel("Beta", "Sport");
    addStory(b, "Hole in one", false, "Sports/Golf");
    open();
    view->SelectItem(channelItem(b));
    reopen();
    EXPECT_EQ(readUserNumber(kFolderKey, "Last Channel Selected"), long(b));
    EXPECT_EQ(doc->GetChannelIds(), std::vector<uint32_t>{b});

    view->SelectItem(itemAt(tree(), {"Sport"}));
    reopen();
    EXPECT_EQ(readUserNumber(kFolderKey, "Last Channel Selected"), 0);
    QString category;
    platform::SettingsKey::open(HKEY_CURRENT_USER, kFolderKey)
        .readText("Last Category Selected", category);
    EXPECT_EQ(category, "Sport");
    EXPECT_EQ(doc->GetMode(), CChannelDoc::ModeCategory);
    EXPECT_EQ(doc->GetName(), "Sport");

    // A remembered category passes over levels that went.
    closeViews();
    setText(kFolderKey, "Last Category Selected", "Gone/Sport");
    doc->SetCategory({});
    open(doc);
    EXPECT_EQ(doc->GetMode(), CChannelDoc::ModeCategory);
    EXPECT_EQ(doc->GetName(), "Sport");

    // A sub-channel is remembered as its channel.
    channelItem(b)->setExpanded(true); // the user opens it: the sub-channels are read
    QTreeWidgetItem* golf = itemAt(tree(), {"Sport", "Beta (1)", "Sports (1)", "Golf (1)"});
    ASSERT_NE(golf, nullptr);
    view->SelectItem(golf);
    EXPECT_EQ(doc->GetSubChannelPath(), "Sports/Golf");
    EXPECT_EQ(doc->GetChannelIds(), std::vector<uint32_t>{b});
    closeViews();
    EXPECT_EQ(readUserNumber(kFolderKey, "Last Channel Selected"), long(b));
}

TEST_F(FolderViewTest, CounterAddAndDeleteHintsFollowTheEngine)
{
    const uint32_t shown = addChannel("Alpha", "News");
    const uint32_t other = addChannel("Beta", "News");
    open();
    ASSERT_EQ(doc->GetChannelIds(), std::vector<uint32_t>{shown});
    // A counter change relabels a channel the window does not show.
    addStory(other, "Fresh", false);
    hint(HINT_CHANNEL_COUNTER_CHANGED, other);
    EXPECT_EQ(channelItem(other)->text(0), "Beta (1)");

    const uint32_t added = addChannel("Gamma", "Sport");
    hint(HINT_CHANNEL_ADDED, added);
    EXPECT_NE(channelItem(added), nullptr);
    EXPECT_TRUE(itemAt(tree(), {"Sport"})->isExpanded());
    hint(HINT_CHANNEL_DELETED, added);
    EXPECT_EQ(channelItem(added), nullptr);
    EXPECT_EQ(itemAt(tree(), {"Sport"}), nullptr);
}

TEST_F(FolderViewTest, AMovedChannelStaysSelectedAndReopensOnlyAnOpenChain)
{
    setNumber(kFolderKey, "Expand on Startup", 0);
    const uint32_t id = addChannel("Alpha", "News/Local");
    addChannel("Beta", "Sport/Daily");
    open();
    ASSERT_EQ(tree()->currentItem(), channelItem(id));
    CFolderTree::ExpandAncestors(channelItem(id));

    setChannelCategory(id, "Sport/Daily");
    hint(HINT_CHANNEL_ATTRIBUTE_CHANGED, id);
    QTreeWidgetItem* moved = channelItem(id);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(CFolderTree::GetCategoryPath(moved->parent()), "Sport/Daily");
    EXPECT_EQ(tree()->currentItem(), moved);
    EXPECT_TRUE(moved->isSelected());
    EXPECT_TRUE(itemAt(tree(), {"Sport"})->isExpanded());
    EXPECT_TRUE(itemAt(tree(), {"Sport", "Daily"})->isExpanded());
    EXPECT_EQ(itemAt(tree(), {"News"}), nullptr); // the emptied chain went
    EXPECT_EQ(doc->GetChannelIds(), std::vector<uint32_t>{id});

    // From a closed chain the new chain stays closed.
    itemAt(tree(), {"Sport"})->setExpanded(false);
    setChannelCategory(id, "Weather/Today");
    hint(HINT_CHANNEL_ATTRIBUTE_CHANGED, id);
    EXPECT_FALSE(itemAt(tree(), {"Weather"})->isExpanded());
    EXPECT_EQ(tree()->currentItem(), channelItem(id));
}

TEST_F(FolderViewTest, AutoCollapseClosesTheSiblingsOfAnOpenedNode)
{
    setNumber(kFolderKey, "Auto Collapse", 1);
    addChannel("Alpha", "News/Local");
    addChannel("Beta", "Sport/Daily");
    open();
    QTreeWidgetItem* news = itemAt(tree(), {"News"});
    QTreeWidgetItem* sport = itemAt(tree(), {"Sport"});
    sport->setExpanded(false);
    news->setExpanded(false);
    news->setExpanded(true);
    sport->setExpanded(true);
    EXPECT_TRUE(sport->isExpanded());
    EXPECT_FALSE(news->isExpanded());
}

TEST_F(FolderViewTest, CategoryDepthZeroPutsEverythingUnderOneCategory)
{
    setNumber(kFolderKey, "Category Depth", 0);
    addChannel("Alpha", "News/Local");
    addChannel("Beta", "");
    open();
    EXPECT_EQ(childLabels(tree()), QStringList{"All Subscribed Channels"});
}

TEST_F(FolderViewTest, AChannelGainingSubChannelsGetsAnExpandButton)
{
    const uint32_t id = addChannel("Alpha", "News");
    open();
    EXPECT_EQ(channelItem(id)->childCount(), 0);
    addStory(id, "Golf news", false, "Golf");
    hint(HINT_CHANNEL_UPDATED, id);
    QTreeWidgetItem* item = channelItem(id);
    ASSERT_EQ(item->childCount(), 1);
    EXPECT_EQ(CFolderTree::GetItemKind(item->child(0)), FolderItemKind::Placeholder);
    EXPECT_FALSE(item->isExpanded());

    item->setExpanded(true);
    EXPECT_EQ(childLabels(tree(), item), QStringList{"Golf (1)"});
    addStory(id, "Tennis news", false, "Tennis");
    hint(HINT_CHANNEL_UPDATED, id);
    EXPECT_EQ(childLabels(tree(), item), (QStringList{"Golf (1)", "Tennis (1)"}));
}

TEST_F(FolderViewTest, TheAlertsWindowShowsOnlyTheAlertsChannel)
{
    const uint32_t id = addChannel("Alpha", "News", 1);
    rhtest::engine::addAlert(id, 1, "Rain", "Weather/Rain");
    CAlertDoc alerts;
    open(&alerts);
    ASSERT_EQ(tree()->topLevelItemCount(), 1);
    QTreeWidgetItem* node = tree()->topLevelItem(0);
    EXPECT_EQ(treeitems::data(node), VT_ALERTS_CHANNEL_ID);
    EXPECT_TRUE(view->ContextMenuItems(node).empty());

    // Right-clicking any node, the alert's sub-channel too, changes nothing; new channels stay out.
    ASSERT_GT(node->childCount(), 0);
    QTreeWidgetItem* before = tree()->currentItem();
    ASSERT_NE(before, node->child(0));
    const QPoint onChild = tree()->visualItemRect(node->child(0)).center();
    ASSERT_FALSE(onChild.isNull());
    QTest::mouseClick(tree()->viewport(), Qt::RightButton, {}, onChild);
    QTest::mouseDClick(tree()->viewport(), Qt::RightButton, {}, onChild);
    EXPECT_EQ(tree()->currentItem(), before);
    view->OnRightClick(nullptr, QPoint());
    EXPECT_EQ(tree()->currentItem(), before);
    const uint32_t added = addChannel("Beta", "Sport");
    hint(HINT_CHANNEL_ADDED, added);
    EXPECT_EQ(tree()->topLevelItemCount(), 1);
}

TEST_F(FolderViewTest, MenuAndCommandRulesFollowTheNodeAndTheRestrictions)
{
    const uint32_t on = addChannel("Alpha", "News");
    const uint32_t off = addChannel("Beta", "News", 0, 0);
    open();
    auto ids = [](const std::vector<CMenuItem>& items) {
        std::vector<UINT> result;
        for (const CMenuItem& item : items)
            result.push_back(item.id);
        return result;
    };
    EXPECT_EQ(ids(view->ContextMenuItems(channelItem(on))),
              (std::vector<UINT>{ID_CHANNEL_UPDATE_NOW, ID_CHANNEL_DISABLE, ID_CHANNEL_UNSUBSCRIBE,
                                 ID_CHANNEL_PROPERTIES}));
    EXPECT_EQ(ids(view->ContextMenuItems(channelItem(off)))[1], ID_CHANNEL_ENABLE);
    EXPECT_TRUE(view->ContextMenuItems(itemAt(tree(), {"News"})).empty());

    const struct {
        uint32_t channel; // 0: the category
        bool disable, enable, channelCommands;
    } cases[] = {{on, true, false, true}, {off, false, true, true}, {0, false, false, false}};
    for (const auto& c : cases) {
        view->SelectItem(c.channel ? channelItem(c.channel) : itemAt(tree(), {"News"}));
        EXPECT_EQ(enabled(ID_CHANNEL_DISABLE), c.disable) << c.channel;
        EXPECT_EQ(enabled(ID_CHANNEL_ENABLE), c.enable) << c.channel;
        EXPECT_EQ(enabled(ID_CHANNEL_UNSUBSCRIBE), c.channelCommands) << c.channel;
        EXPECT_EQ(enabled(ID_CHANNEL_PROPERTIES), c.channelCommands) << c.channel;
    }

    view->SelectItem(channelItem(on));
    EXPECT_TRUE(enabled(ID_CHANNEL_UPDATE_NOW));
    setRestrictions(VTRESTRICT_UPDATE_NOW);
    EXPECT_FALSE(enabled(ID_CHANNEL_UPDATE_NOW));
    EXPECT_EQ(ids(view->ContextMenuItems(channelItem(on))).front(), ID_CHANNEL_DISABLE);

    // Enable Channel really enables it.
    view->SelectItem(channelItem(off));
    EXPECT_TRUE(view->ExecuteCommand(ID_CHANNEL_ENABLE));
    rhtest::engine::waitForIdle();
    int state = 0;
    ASSERT_EQ(VTIsChannelEnabled(off, state), 1);
    EXPECT_EQ(state, 1);
}

TEST_F(FolderViewTest, ADraggedNodeGoesToTheAncestorThatAcceptsIt)
{
    const uint32_t id = addChannel("Alpha", "News");
    open();
    const UINT canDrop = RegisterWindowMessage(DRAGDROPMESSAGE_CAN_DROP);
    const UINT dropChannel = RegisterWindowMessage(DRAGDROPMESSAGE_DROP_CHANNEL);
    const UINT dropCategory = RegisterWindowMessage(DRAGDROPMESSAGE_DROP_CATEGORY);

    QWidget grandparent;
    MessageWindow target("DropTarget", &grandparent);
    QWidget parent(&grandparent);
    QWidget child(&parent);
    MessageWindow childWindow("DropChild", &child);
    std::vector<std::pair<WPARAM, LPARAM>> asked;
    using Drops = std::vector<std::tuple<UINT, WPARAM, LPARAM>>;
    Drops dropped;
    target.setMessageHandler([&](UINT message, WPARAM w, LPARAM l) -> LRESULT {
        if (message == canDrop) {
            asked.emplace_back(w, l);
            return 1;
        }
        dropped.emplace_back(message, w, l);
        return 0;
    });
    childWindow.setMessageHandler([](UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
    grandparent.setGeometry(300, 300, 200, 200);
    parent.setGeometry(0, 0, 200, 200);
    child.setGeometry(0, 0, 200, 200);
    grandparent.show();
    ASSERT_TRUE(rhtest::waitFor([&] { return grandparent.isVisible(); }));

    view->BeginDrag(channelItem(id), QPoint(10, 10));
    EXPECT_TRUE(view->IsDragging());
    EXPECT_EQ(view->FindDropTargetFrom(childWindow.hwnd()), target.hwnd());
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back(), (std::pair<WPARAM, LPARAM>(DRAGKIND_CHANNEL, 1)));
    // The folder view itself accepts nothing.
    EXPECT_EQ(view->FindDropTargetFrom(view->GetSafeHwnd()), 0u);

    const QPoint inside = child.mapToGlobal(QPoint(100, 100));
    ASSERT_EQ(WindowFromPoint(inside), childWindow.hwnd());
    view->DragMove(inside);
    EXPECT_TRUE(view->IsShowingDropCursor());
    view->DragDrop(inside);
    EXPECT_EQ(dropped, (Drops{{dropChannel, WPARAM(id), LPARAM(0)}}));
    EXPECT_FALSE(view->IsDragging());

    // A category goes as a category.
    dropped.clear();
    view->BeginDrag(itemAt(tree(), {"News"}), QPoint(10, 10));
    EXPECT_EQ(view->FindDropTargetFrom(childWindow.hwnd()), target.hwnd());
    EXPECT_EQ(asked.back(), (std::pair<WPARAM, LPARAM>(DRAGKIND_CATEGORY, 1)));
    view->DragDrop(inside);
    EXPECT_EQ(dropped, (Drops{{dropCategory, WPARAM(0), LPARAM(0)}}));

    // A drop outside any target sends nothing and ends the drag.
    dropped.clear();
    view->BeginDrag(channelItem(id), QPoint(5000, 5000));
    EXPECT_FALSE(view->IsShowingDropCursor());
    view->DragDrop(QPoint(5000, 5000));
    EXPECT_FALSE(view->IsDragging());
    EXPECT_TRUE(dropped.empty());
}

} // namespace
