// The navigation bar on screen: activation, start-up, menus, renaming, sliding and drops.

#include "tests/navbar/navbar_fixture.h"

#include "src/channel/channeldoc.h"
#include "src/channel/channelfolderview.h"
#include "src/navbar/navbarids.h"
#include "src/platform/messagebox.h"
#include "src/platform/resources.h"
#include "tests/support/testenv.h"
#include "vantrel/engctl.h"
#include "vantrel/qkcoolbutton.h"

#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace navtest
{
namespace
{

class NavigationBarTest : public NavbarTest
{
protected:
    // Presses an item of the open group with the mouse.
    void press(int item)
    {
        CNavItemList* list = groups()->ItemList();
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, list->RowRect(item).center());
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, list->RowRect(item).center());
    }
    // A user group holding the channels, opened.
    int userGroup(const std::vector<uint32_t>& channels)
    {
        const int group = bar->FindGroup(NAVGROUP_USER);
        for (uint32_t channel : channels)
            bar->AddChannelItem(group, channel, groups()->GetItemCount(group));
        groups()->OpenGroup(group);
        return group;
    }
    void showBar()
    {
        mainWindow.show();
        ASSERT_TRUE(rhtest::waitFor([this] { return groups()->ItemList()->isVisible(); }));
    }
    // The ids of the menu's items (0 for a separator).
    static std::vector<UINT> ids(const std::vector<CMenuItem>& items)
    {
        std::vector<UINT> result;
        for (const CMenuItem& item : items)
            result.push_back(item.id);
        return result;
    }
};

TEST_F(NavigationBarTest, PressingAnItemOpensItsWindowOrChannelAndTheBarStaysOnItsGroup)
{
    const uint32_t news = rhtest::engine::addChannel("News");
    createBar();
    showBar();
    const int viewKinds[] = {TEMPLATE_CHANNEL, TEMPLATE_DIRECTORY, TEMPLATE_ALERTS,
                             TEMPLATE_SEARCH};
    for (int item = 0; item < 4; ++item) {
        press(item);
        EXPECT_EQ(frame.kinds.back(), viewKinds[item]) << item;
        EXPECT_EQ(groups()->GetSelectedItem(), item);
    }

    const int group = userGroup({news, VT_ALERTS_CHANNEL_ID});
    frame.kinds.clear();
    press(0);
    EXPECT_EQ(frame.channels, std::vector<uint32_t>{news});
    press(1);
    EXPECT_EQ(frame.kinds, std::vector<int>{TEMPLATE_ALERTS});
    // The main frame's view selection did not take the bar off the user's group.
    EXPECT_EQ(groups()->GetOpenGroup(), group);
    EXPECT_EQ(groups()->GetSelectedItem(), 1);

    // The main frame selecting a view opens the views group at its item, if it has one.
    EXPECT_EQ(SendMessage(bar->hwnd(), WM_NAVBAR_SELECTVIEW, NAVVIEW_SEARCH, 0), 1);
    EXPECT_EQ(groups()->GetOpenGroup(), 0);
    EXPECT_EQ(groups()->GetSelectedItem(), 3);
    EXPECT_EQ(SendMessage(bar->hwnd(), WM_NAVBAR_SELECTVIEW, NAVVIEW_BROWSER, 0), 0);
    EXPECT_EQ(groups()->GetSelectedItem(), -1);
}

TEST_F(NavigationBarTest, StartUpActivatesTheRememberedItemButNeverTheDirectoryAndShowsTheWindow)
{
    struct Case {
        DWORD lastEntry;
        int selected;
        int opened;
    };
    const Case cases[] = {
        {1, 0, TEMPLATE_CHANNEL}, // the directory item
        {2, 2, TEMPLATE_ALERTS},
        {9, 0, TEMPLATE_CHANNEL}, // no such item
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lastEntry);
        destroyBar();
        setNumber(layoutKeyPath(), "Last Active Group", 0);
        setNumber(layoutKeyPath(), "Last Active Entry", c.lastEntry);
        mainWindow.hide();
        frame.kinds.clear();
        createBar();
        EXPECT_EQ(groups()->GetSelectedItem(), c.selected);
        EXPECT_TRUE(frame.kinds.empty()); // nothing before the message loop runs
        EXPECT_FALSE(mainWindow.isVisible());
        drainEvents();
        EXPECT_EQ(frame.kinds, std::vector<int>{c.opened});
        EXPECT_TRUE(mainWindow.isVisible());
    }
}

TEST_F(NavigationBarTest, ChannelMenusFollowTheChannelTheGroupAndTheRestrictions)
{
    setNumber(layoutKey(), "DisplayAllChannelsGroup", 1);
    const uint32_t news = rhtest::engine::addChannel("News");
    const uint32_t off = rhtest::engine::addChannel("Off", {}, 0);
    const uint32_t home = rhtest::engine::addChannel(
        "Home", {}, rhtest::engine::Enabled | rhtest::engine::HomeServer);
    createBar();
    const int all = bar->FindGroup(NAVGROUP_ALL_CHANNELS);
    const int user = userGroup({news, off, VT_ALERTS_CHANNEL_ID, home});
    const UINT full[] = {ID_CHANNEL_UPDATE_NOW, ID_CHANNEL_DISABLE, ID_CHANNEL_UNSUBSCRIBE,
                         ID_CHANNEL_PROPERTIES};
    EXPECT_EQ(ids(bar->ChannelMenuItems(user, 0)),
              (std::vector<UINT>{full[0], full[1], full[2], full[3], 0, ID_NAVBAR_REMOVE_ITEM}));
    EXPECT_EQ(ids(bar->ChannelMenuItems(user, 1))[1], ID_CHANNEL_ENABLE);
    EXPECT_EQ(ids(bar->ChannelMenuItems(user, 2)), (std::vector<UINT>{0, ID_NAVBAR_REMOVE_ITEM}));
    int newsInAll = 0;
    while (groups()->GetItemValue(all, newsInAll) != news)
        ++newsInAll;
    EXPECT_EQ(ids(bar->ChannelMenuItems(all, newsInAll)), std::vector<UINT>(full, full + 4));
    SetWorkgroupRestrictions(VTRESTRICT_UPDATE_NOW);
    EXPECT_EQ(ids(bar->ChannelMenuItems(user, 0))[0], ID_CHANNEL_DISABLE);

    // The home server's channel cannot be disabled; the others can, through the menu.
    std::vector<std::pair<UINT, bool>> shown;
    CNavigationBar::SetMenuTrackHook([&](QMenu& menu) -> UINT {
        for (QAction* action : menu.actions())
            if (!action->isSeparator())
                shown.emplace_back(CommandIdOf(action), action->isEnabled());
        return ID_CHANNEL_DISABLE;
    });
    bar->OnItemContextMenu(3, QPoint());
    EXPECT_EQ(shown[0], std::make_pair(ID_CHANNEL_DISABLE, false));
    bar->OnItemContextMenu(0, QPoint());
    rhtest::engine::waitForIdle();
    const auto enabledOf = [](uint32_t channel) {
        int enabled = -1;
        return VTIsChannelEnabled(channel, enabled) == 1 ? enabled : -1;
    };
    EXPECT_EQ(std::make_pair(enabledOf(news), enabledOf(home)), std::make_pair(0, 1));

    // Remove from Navigation Bar takes the item out of the user group only.
    CNavigationBar::SetMenuTrackHook([](QMenu&) { return ID_NAVBAR_REMOVE_ITEM; });
    const int allCount = groups()->GetItemCount(all);
    bar->OnItemContextMenu(2, QPoint());
    EXPECT_EQ(groups()->GetItemCount(user), 3);
    EXPECT_EQ(groups()->GetItemValue(user, 2), home);
    EXPECT_EQ(groups()->GetItemCount(all), allCount);
}

TEST_F(NavigationBarTest, GroupMenuRenamesAndDeletesOnlyUserGroups)
{
    setNumber(layoutKey(), "DisplayAllChannelsGroup", 1);
    createBar();
    ASSERT_EQ(groupTitles(), QStringList({"Views", "All Channels", "Favorites"}));
    UINT chosen = 0;
    std::vector<bool> renameAndDelete;
    CNavigationBar::SetMenuTrackHook([&](QMenu& menu) {
        renameAndDelete = {menu.actions()[1]->isEnabled(), menu.actions()[2]->isEnabled()};
        return chosen;
    });
    const int headers[] = {0, 1, -1, 2};
    const bool userGroup[] = {false, false, false, true};
    for (int i = 0; i < 4; ++i) {
        bar->OnGroupContextMenu(headers[i], QPoint());
        EXPECT_EQ(renameAndDelete, std::vector<bool>(2, userGroup[i])) << headers[i];
    }

    // Rename: the editor lies over the header with the title selected.
    chosen = ID_NAVBAR_RENAME_GROUP;
    bar->OnGroupContextMenu(2, QPoint());
    QLineEdit* editor = groups()->TitleEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisibleTo(groups()));
    EXPECT_EQ(editor->selectedText(), "Favorites");
    EXPECT_EQ(editor->geometry(), groups()->HeaderRect(2));
    editor->setText("Reading");
    groups()->CommitTitleEdit();
    EXPECT_EQ(groups()->GetGroupTitle(2), "Reading");

    // Delete asks first.
    chosen = ID_NAVBAR_DELETE_GROUP;
    platform::queueMessageBoxAnswer(IDNO);
    bar->OnGroupContextMenu(2, QPoint());
    EXPECT_EQ(groups()->GetGroupCount(), 3);
    platform::queueMessageBoxAnswer(IDYES);
    bar->OnGroupContextMenu(2, QPoint());
    EXPECT_EQ(groupTitles(), QStringList({"Views", "All Channels"}));
    EXPECT_EQ(platform::messageBoxQuestions().back().text,
              "Are you sure you want to delete this group?");
}

TEST_F(NavigationBarTest, ClickingAHeaderSlidesItsGroupOpenWithoutBlocking)
{
    const uint32_t news = rhtest::engine::addChannel("News");
    createBar();
    bar->AddChannelItem(1, news, 0);
    showBar();
    const QRect header = groups()->HeaderRect(1);
    EXPECT_EQ(header.bottom(), groups()->height() - 1); // stacked at the bottom
    QTest::mouseClick(groups(), Qt::LeftButton, {}, header.center());
    EXPECT_TRUE(groups()->IsSliding());
    EXPECT_FALSE(groups()->ItemList()->isVisible());
    ASSERT_TRUE(rhtest::waitFor([this] { return !groups()->IsSliding(); }));
    EXPECT_EQ(groups()->GetOpenGroup(), 1);
    EXPECT_EQ(groups()->HeaderRect(1).top(), groups()->HeaderHeight());
    EXPECT_TRUE(groups()->ItemList()->isVisible());
    EXPECT_EQ(groups()->ItemList()->GetCount(), 1);
}

TEST_F(NavigationBarTest, AChannelDraggedFromTheFolderTreeLandsOnlyInAUserGroup)
{
    const uint32_t news = rhtest::engine::addChannel("News", "Daily");
    const uint32_t sport = rhtest::engine::addChannel("Sport", "Daily");
    createBar();
    showBar();
    CChannelDoc doc;
    auto* folders = new CChannelFolderView;
    doc.AddView(folders);
    folders->setGeometry(600, 100, 190, 300);
    folders->OnInitialUpdate();
    folders->show();
    // Drags the channel's node to the point; whether the cursor said it could drop there.
    auto drag = [&](uint32_t channel, const QPoint& global) {
        folders->BeginDrag(folders->GetFolderTree().FindChannelItem(nullptr, channel),
                           QPoint(650, 150));
        QCursor::setPos(global);
        folders->DragMove(global);
        const bool canDrop = folders->IsShowingDropCursor();
        folders->DragDrop(global);
        return canDrop;
    };

    // Onto the open views group: nothing takes it.
    EXPECT_FALSE(drag(news, groups()->mapToGlobal(groups()->ItemList()->geometry().center())));
    EXPECT_EQ(groups()->GetItemCount(1), 0);

    // Onto the closed Favorites' header: the group opens and takes it.
    EXPECT_TRUE(drag(news, groups()->mapToGlobal(groups()->HeaderRect(1).center())));
    EXPECT_EQ(groups()->GetOpenGroup(), 1);
    EXPECT_EQ(itemTexts(1), QStringList({"News"}));
    // Onto an item: in front of it.
    drag(sport, groups()->mapToGlobal(groups()->ItemList()->geometry().topLeft() +
                                      groups()->ItemList()->RowRect(0).center()));
    EXPECT_EQ(itemTexts(1), QStringList({"Sport", "News"}));
    delete folders;
}

TEST_F(NavigationBarTest, TheBrandingButtonShowsTheLogoAndOpensTheHomePageAddress)
{
    setText(layoutKey(), "HomePageURL", "https://example.org/home");
    createBar();
    showBar();
    EXPECT_EQ(bar->GetLogo().size(), LoadBitmapResource(IDB_NAV_LOGO).size());
    QTest::mouseClick(bar->GetBrandingButton(), Qt::LeftButton);
    EXPECT_EQ(frame.urls, QStringList({"https://example.org/home"}));

    // "UseLogoFromFile": the engine's data folder has the logo.
    QKBuffer data;
    ASSERT_TRUE(VTGetDirectory(1, data));
    QImage logo(120, 40, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    ASSERT_TRUE(logo.save(data.GetText() + "/logo.bmp", "BMP"));
    setNumber(layoutKey(), "UseLogoFromFile", 1);
    restart();
    EXPECT_EQ(bar->GetLogo().size(), QSize(120, 40));
    EXPECT_EQ(bar->GetBrandingButton()->size(), QSize(120, 40));
}

} // namespace
} // namespace navtest
