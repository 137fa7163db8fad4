// The channel folder view: building, choosing, remembering, hints, commands and dragging.

#include "src/channel/channeldoc.h"
#include "src/channel/channelfolderview.h"
#include "src/channel/channelids.h"
#include "src/engine/messages.h"
#include "src/framework/cmdtarget.h"
#include "src/platform/messagewindow.h"
#include "src/platform/settingsstore.h"
#include "tests/channel/channel_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"
#include "vantrel/core/model.h"

#include <QApplication>
#include <QTest>

using namespace channeltest;

namespace
{

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

TEST_F(FolderViewTest, FirstUpdateOpensTheFirstChannelWhenNothingIsRemembered)
{
    const uint32_t first = addChannel("Alpha", "News/Local");
    addChannel("Beta", "News");
    open();
    EXPECT_EQ(doc->GetChannelIds(), std::vector<uint32_t>{first});
    EXPECT_EQ(recorder->hintCount(HINT_SELECTION_CHANGED), 1);
    EXPECT_EQ(tree()->currentItem(), channelItem(first));
    EXPECT_TRUE(itemAt(tree(), {"News", "Local"})->isExpanded());
}

TEST_F(FolderViewTest, ChoosingACategoryShowsItsChannelsInTreeOrder)
{
    const uint32_t a = addChannel("Alpha", "News/Local");
    const uint32_t b = addChannel("Beta", "News");
    const uint32_t c = addChannel("Gamma", "News/Local", 2);
    open();
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
    EXPECT_TRUE(treeitems::isBold(channelItem(other)));

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
    EXPECT_EQ(childLabels(tree(), tree()->topLevelItem(0)), (QStringList{"Alpha", "Beta"}));
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

    // Right-clicking any node, the alert's sub-channel too, changes nothing; new channels
    // stay out.
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
