// The channel header strip: what it shows, the channel menu, the commands and the alerts look.

#include "src/channel/channelheaderview.h"
#include "tests/channel/channel_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"
#include "vantrel/core/model.h"
#include "vantrel/qkcoolbutton.h"

#include <QMenu>
#include <functional>

using namespace channeltest;

namespace
{

class HeaderViewTest : public ChannelViewTest<CChannelHeaderView>
{
protected:
    void SetUp() override
    {
        ChannelViewTest::SetUp();
        CChannelHeaderView::SetSecureIndicatorHook(
            [this](BOOL secure) { secureCalls.push_back(secure); });
    }
    void TearDown() override
    {
        closeViews();
        CChannelHeaderView::SetSecureIndicatorHook(nullptr);
        CChannelHeaderView::SetMenuTrackHook(nullptr);
        CChannelHeaderView::SetItemsPerColumnHook(nullptr);
        ChannelViewTest::TearDown();
    }
    void open(CChannelDoc* document = nullptr) { ChannelViewTest::open(document, QSize(600, 64)); }
    static void setStatus(uint32_t id, const QString& status)
    {
        CServices* services = GetCServices();
        ASSERT_NE(services, nullptr);
        if (auto* channel = dynamic_cast<vantrel::Channel*>(services->GetServiceByID(id)))
            channel->status = status;
        ReleaseCServices();
    }

    // Whether picking from the header opened the channel menu.
    bool menuOpened(const std::function<void()>& pick)
    {
        bool tracked = false;
        CChannelHeaderView::SetMenuTrackHook([&tracked](QMenu&) {
            tracked = true;
            return 0;
        });
        pick();
        return tracked;
    }

    std::vector<BOOL> secureCalls;
};

TEST_F(HeaderViewTest, StartsWithTheChannelsTitleAClickableNameAndNoMenuWithoutChannels)
{
    open();
    EXPECT_EQ(view->GetTitle(), ""); // the empty document's name replaced "Channels"
    EXPECT_EQ(view->GetLineCount(), 2);
    EXPECT_TRUE(view->IsButtonClickable(0));
    // Without channels the menu does not open.
    EXPECT_FALSE(menuOpened([this] { EXPECT_EQ(view->PickChannelFromMenu(view), 0u); }));

    // The status line can be switched off.
    closeViews();
    setNumber(kLayoutKey, "ShowChannelStatus", 0);
    open();
    EXPECT_EQ(view->GetLineCount(), 1);
}

TEST_F(HeaderViewTest, AChosenChannelShowsNameStatusAndSecureStateACategoryOnlyItsPath)
{
    const uint32_t id =
        addChannel("Bank News", "Finance", 0, rhtest::engine::Enabled | rhtest::engine::Secure);
    const uint32_t other = addChannel("Beta", "News");
    open();
    setStatus(id, "Updated 12:05, 3 new stories");
    doc->SetChannel(id);
    doc->UpdateAllViews(nullptr, HINT_SELECTION_CHANGED);
    EXPECT_EQ(std::make_tuple(view->GetShownChannelId(), view->GetTitle(), view->GetThirdLine()),
              std::make_tuple(id, QString("Bank News"), QString("Updated 12:05, 3 new stories")));
    // Only the shown channel's status changes the header.
    setStatus(id, "Connecting...");
    setStatus(other, "Failed");
    hint(HINT_CHANNEL_STATUS_CHANGED, other);
    EXPECT_EQ(view->GetThirdLine(), "Updated 12:05, 3 new stories");
    hint(HINT_CHANNEL_STATUS_CHANGED, id);
    EXPECT_EQ(view->GetThirdLine(), "Connecting...");
    setStatus(id, "Updated 09:00");
    doc->UpdateAllViews(nullptr, HINT_ENGINE_EVENT);
    EXPECT_EQ(view->GetThirdLine(), "Updated 09:00");
    ASSERT_FALSE(secureCalls.empty());
    EXPECT_EQ(secureCalls.back(), 1);
    // No logo file: the picture button draws nothing.
    EXPECT_TRUE(view->GetPicture().isNull());
    EXPECT_TRUE(view->GetButton(IDC_HEADER_PICTURE)->GetMode() & QKCoolButton::QKCB_NOBITMAP);
    EXPECT_TRUE(enabled(ID_CHANNEL_UPDATE_NOW));
    EXPECT_TRUE(enabled(ID_CHANNEL_DISABLE));

    view->OnFrameActivate(0);
    EXPECT_EQ(secureCalls.back(), 0);
    view->OnFrameActivate(1);
    EXPECT_EQ(secureCalls.back(), 1);

    // A category shows its path and nothing else.
    doc->SetCategory({id}, "Finance/Banks");
    doc->UpdateAllViews(nullptr, HINT_SELECTION_CHANGED);
    EXPECT_EQ(QStringList({view->GetTitle(), view->GetSecondLine(), view->GetThirdLine()}),
              QStringList({"Finance/Banks", "", ""}));
    EXPECT_EQ(view->GetShownChannelId(), 0u);
    EXPECT_EQ(secureCalls.back(), 0);
    for (UINT command : {ID_CHANNEL_UPDATE_NOW, ID_CHANNEL_DISABLE, ID_CHANNEL_ENABLE,
                         ID_CHANNEL_UNSUBSCRIBE, ID_CHANNEL_PROPERTIES})
        EXPECT_FALSE(enabled(command)) << command;
    EXPECT_TRUE(view->ContextMenuItems().empty());
}

TEST_F(HeaderViewTest, TheChannelMenuListsCategoriesSortedWithAmpersandsShown)
{
    const uint32_t qa = addChannel("Q&A Hour", "Talk & Radio");
    addChannel("Morning", "Breakfast");
    QMenu menu;
    std::vector<uint32_t> commands;
    ASSERT_TRUE(CChannelHeaderView::BuildChannelMenu(menu, commands, 30));
    const auto texts = [](const QList<QAction*>& actions) {
        QStringList result;
        for (const QAction* action : actions)
            result << action->text();
        return result;
    };
    ASSERT_EQ(texts(menu.actions()), (QStringList{"Breakfast", "Talk && Radio"}));
    QMenu* talk = menu.actions()[1]->menu();
    ASSERT_NE(talk, nullptr);
    ASSERT_EQ(texts(talk->actions()), QStringList{"Q&&A Hour"});
    EXPECT_EQ(commands.at(size_t(talk->actions()[0]->data().toInt())), qa);

    // Picking it points the document at the channel and the other views follow.
    open();
    CChannelHeaderView::SetMenuTrackHook(
        [](QMenu& shown) { return shown.actions()[1]->menu()->actions()[0]->data().toInt(); });
    view->ExecuteCommand(IDC_HEADER_TITLE);
    EXPECT_EQ(doc->GetChannelIds(), std::vector<uint32_t>{qa});
    EXPECT_EQ(recorder->hintCount(HINT_SELECTION_CHANGED), 1);
    EXPECT_EQ(view->GetTitle(), "Q&A Hour");

    CChannelHeaderView::SetMenuTrackHook([](QMenu&) { return 0; });
    EXPECT_EQ(view->PickChannelFromMenu(view), 0u);
}

TEST_F(HeaderViewTest, LongCategoriesBreakIntoColumns)
{
    for (int i = 0; i < 70; ++i)
        addChannel(QStringLiteral("Channel %1").arg(i, 2, 10, QLatin1Char('0')), "Many");
    CChannelHeaderView::SetItemsPerColumnHook([] { return 30; });
    QMenu menu;
    std::vector<uint32_t> commands;
    ASSERT_TRUE(CChannelHeaderView::BuildChannelMenu(menu, commands, 30));
    QMenu* many = menu.actions()[0]->menu();
    ASSERT_EQ(many->actions().size(), 70);
    std::vector<int> breaks;
    for (int j = 0; j < 70; ++j)
        if (many->actions()[j]->property("columnBreak").toBool())
            breaks.push_back(j);
    EXPECT_EQ(breaks, (std::vector<int>{30, 60}));
    EXPECT_EQ(commands.size(), 71u);
}

TEST_F(HeaderViewTest, TheAlertsHeaderIsFixed)
{
    const uint32_t id = addChannel("Alpha", "News");
    CAlertDoc alerts;
    open(&alerts);
    EXPECT_EQ(view->GetTitle(), "Alerts");
    EXPECT_EQ(view->GetSecondLine(),
              "Alerts have been triggered for the following items of information.");
    EXPECT_EQ(view->GetThirdLine(), "To define an alert, click Alerts on the Tools menu.");
    EXPECT_FALSE(view->IsButtonClickable(0));
    EXPECT_FALSE(view->GetPicture().isNull());

    EXPECT_FALSE(menuOpened([this] { view->ExecuteCommand(IDC_HEADER_TITLE); }));
    alerts.SetChannel(id);
    alerts.UpdateAllViews(nullptr, HINT_SELECTION_CHANGED);
    EXPECT_EQ(view->GetTitle(), "Alerts");
}

} // namespace
