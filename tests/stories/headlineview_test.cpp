// The headline list over the real engine: what it lists and how, its columns and settings,
// its reaction to the window's update hints, and the mouse and keyboard.

#include "src/app/readhallapp.h"
#include "src/channel/channelids.h"
#include "src/engine/messages.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/platform/settingsstore.h"
#include "src/platform/tickcount.h"
#include "src/shared/settingsfunctions.h"
#include "src/stories/storyids.h"
#include "src/stories/storysummarypopup.h"
#include "tests/stories/stories_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

using namespace storiestest;

namespace
{

const QString kHeadlineKey =
    QStringLiteral("Software\\Vantrel\\Vantrel\\Settings\\Readhall\\HeadlineView");
const QString kAlertKey =
    QStringLiteral("Software\\Vantrel\\Vantrel\\Settings\\Readhall\\AlertHeadlineView");

long readNumber(const QString& key, const QString& name)
{
    DWORD value = 0;
    const platform::SettingsKey k = platform::SettingsKey::open(HKEY_CURRENT_USER, key);
    return k.readNumber(name, value) ? static_cast<long>(value) : -1;
}

bool isBold(const CHeadlineView* view, int row)
{
    return view->model()->index(row, 0).data(Qt::FontRole).value<QFont>().bold();
}

using HeadlineViewTest = StoriesTest;

TEST_F(HeadlineViewTest, AChannelWithoutStoriesShowsTheBoldPlaceholder)
{
    const uint32_t channel = rhtest::engine::addChannel("Empty", "News");
    CHeadlineView* view = viewOfChannel(channel);
    QAbstractItemModelTester tester(view->model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(view->model()->rowCount(), 1);
    EXPECT_EQ(cell(view, 0, 0), "No content at this time.");
    EXPECT_TRUE(isBold(view, 0));
    EXPECT_TRUE(view->RowStoryId(0).isEmpty());
    EXPECT_EQ(view->GetColumnWidth(COLUMN_CHANNEL), 0);
    EXPECT_EQ(view->GetColumnWidth(COLUMN_SUBCHANNEL), 0);
    EXPECT_EQ(view->GetShownChannels(), std::vector<uint32_t>{channel});
    EXPECT_EQ(headlines(viewOfAlerts()), QStringList{"No content at this time."});

    // The view joins the broadcast windows and leaves them when it goes.
    const HWND hwnd = view->GetSafeHwnd();
    const auto& windows = m_app->GetBroadcastWindows();
    EXPECT_NE(std::find(windows.begin(), windows.end(), hwnd), windows.end());
    m_views.clear();
    EXPECT_EQ(std::find(windows.begin(), windows.end(), hwnd), windows.end());
}

TEST_F(HeadlineViewTest, UnreadOnlyHidesReadStoriesAndWordsThePlaceholderSo)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    addStory(channel, "Read one", 1, {{"Read", 1}});
    addStory(channel, "Unread one", 2);
    setUnreadOnly(true);
    CHeadlineView* view = viewOfChannel(channel);
    EXPECT_EQ(headlines(view), QStringList{"Unread one"});

    const uint32_t allRead = rhtest::engine::addChannel("Old", "News");
    addStory(allRead, "Seen", 1, {{"Read", 1}});
    CHeadlineView* empty = viewOfChannel(allRead);
    EXPECT_EQ(headlines(empty), QStringList{"No unread content at this time."});
    EXPECT_TRUE(isBold(empty, 0));

    setUnreadOnly(false);
    SendMessage(empty->GetSafeHwnd(), CHeadlineView::UnreadOnlyMessage(), 0, 0);
    EXPECT_EQ(headlines(empty), QStringList{"Seen"});
    EXPECT_FALSE(isBold(empty, 0));
}

TEST_F(HeadlineViewTest, SubChannelsAreMatchedInPathFormAndShownWithSlashes)
{
    const uint32_t channel = rhtest::engine::addChannel("World", "News");
    addStory(channel, "Local", 1, {}, "News//Local");
    addStory(channel, "Europe", 2, {}, "News//Local/Europe");
    addStory(channel, "Letter", 3, {}, "Newsletter");
    addStory(channel, "Sport", 4, {}, "News/Sport");
    addStory(channel, "Plain", 5);
    addStory(channel, "Deep", 6, {}, "Region/North//South");
    addStory(channel, "Marked", 7, {}, "Region&SLASH;East");
    addStory(channel, "Ampersand", 8, {}, "Rock & Roll");

    // Slashes inside a level show in any level and any case.
    CHeadlineView* all = viewOfChannel(channel);
    EXPECT_EQ(all->model()->rowCount(), 8);
    const std::pair<const char*, const char*> shown[] = {{"Local", "News/Local"},
                                                         {"Europe", "News/Local/Europe"},
                                                         {"Deep", "Region/North/South"},
                                                         {"Marked", "Region/East"},
                                                         {"Ampersand", "Rock & Roll"}};
    for (const auto& [headline, path] : shown)
        EXPECT_EQ(cell(all, rowOf(all, headline), COLUMN_SUBCHANNEL), path) << headline;
    EXPECT_GT(all->GetColumnWidth(COLUMN_SUBCHANNEL), 0);
    EXPECT_EQ(all->GetColumnWidth(COLUMN_CHANNEL), 0);

    auto listed = [&](const QString& path) {
        QStringList names = headlines(viewOfChannel(channel, path));
        names.sort();
        return names;
    };
    EXPECT_EQ(listed("News&slash;Local"), QStringList({"Europe", "Local"}));
    EXPECT_EQ(listed("News"), QStringList({"Sport"}));
    EXPECT_EQ(headlines(viewOfChannel(channel, "Region/North&slash;South")), QStringList{"Deep"});
}

TEST_F(HeadlineViewTest, ACategoryShowsTheChannelColumn)
{
    const uint32_t first = rhtest::engine::addChannel("First", "News");
    const uint32_t second = rhtest::engine::addChannel("Second", "News");
    addStory(first, "From first", 1);
    addStory(second, "From second", 2);
    CHeadlineView* category = viewOfCategory({first, second, 987654});
    EXPECT_EQ(category->model()->rowCount(), 2);
    EXPECT_EQ(category->GetColumnWidth(COLUMN_CHANNEL), 150);
    EXPECT_EQ(cell(category, rowOf(category, "From second"), COLUMN_CHANNEL), "Second");
    // A channel the directory does not know is left out of the shown channels.
    EXPECT_EQ(category->GetShownChannels(), (std::vector<uint32_t>{first, second}));
}

TEST_F(HeadlineViewTest, AlertsShowTheirCategoryAndNameAndOpeningOneTellsTheWindows)
{
    const uint32_t markets = rhtest::engine::addChannel("Markets", "Finance");
    const uint32_t story = addStory(markets, "Shares up", 1);
    const uint32_t other = addStory(markets, "Bonds down", 2);
    const uint32_t alert = rhtest::engine::addAlert(markets, story, "Price", "Stocks");
    rhtest::engine::addAlert(markets, other, "Price", QString());
    CHeadlineView* view = viewOfAlerts();
    ASSERT_TRUE(view->IsAlertMode());
    EXPECT_EQ(view->model()->headerData(COLUMN_SUBCHANNEL, Qt::Horizontal).toString(),
              "Alert Category");
    ASSERT_EQ(view->model()->rowCount(), 2);
    EXPECT_EQ(cell(view, rowOf(view, "Shares up"), COLUMN_SUBCHANNEL), "Stocks/Price");
    EXPECT_EQ(cell(view, rowOf(view, "Bonds down"), COLUMN_SUBCHANNEL), "Price");
    EXPECT_EQ(cell(view, rowOf(view, "Shares up"), COLUMN_CHANNEL), "Markets");
    EXPECT_GT(view->GetColumnWidth(COLUMN_CHANNEL), 0);
    EXPECT_GT(view->GetColumnWidth(COLUMN_SUBCHANNEL), 0);

    view->SelectRows({rowOf(view, "Shares up")});
    view->list()->setFocus();
    QTest::keyClick(view->list(), Qt::Key_Return);
    EXPECT_EQ(m_calls,
              (std::vector<Call>{{"showStory", {VT_ALERTS_CHANNEL_ID, alert}},
                                 {"broadcastNotification", {VTNOTIFICATION_ALERTS_CHANGED, 0}}}));
}

TEST_F(HeadlineViewTest, RowsShowTheImageOfTheirKindAndMarks)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    addStory(channel, "Everything", 1, {{"Keep", 1}, {"BundLet Signed", 1}, {"Story Local", 1}}, {},
             "A summary");
    addStory(channel, "Plain", 2);
    rhtest::engine::StorySeed video;
    video.headline = "Clip";
    video.bundletType = VTBUNDLET_VIDEO;
    video.enclosureUrl = "https://news.example/clip.avi";
    rhtest::engine::addStory(channel, video);
    CHeadlineView* view = viewOfChannel(channel);
    auto image = [view](const QString& headline) {
        return view->model()
            ->index(rowOf(view, headline), 0)
            .data(CHeadlineModel::ImageRole)
            .toInt();
    };
    EXPECT_EQ(image("Everything"), HeadlineImageIndex(VTBUNDLET_NEWS, true, true, true, true));
    EXPECT_EQ(image("Plain"), HeadlineImageIndex(VTBUNDLET_NEWS, false, false, false, false));
    EXPECT_EQ(image("Clip"), HeadlineImageIndex(VTBUNDLET_VIDEO, false, false, false, false));
    EXPECT_FALSE(view->model()->index(0, 0).data(Qt::DecorationRole).value<QPixmap>().isNull());
}

TEST_F(HeadlineViewTest, TheNewestComesFirstAndHeaderClicksChangeTheOrder)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    addStory(channel, "banana", 2);
    addStory(channel, "Apple", 3);
    addStory(channel, "cherry", 1);
    CHeadlineView* view = viewOfChannel(channel);
    view->show();
    EXPECT_EQ(headlines(view), QStringList({"Apple", "banana", "cherry"}));

    QHeaderView* header = view->list()->header();
    auto clickColumn = [header](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, 5));
    };
    clickColumn(COLUMN_RECEIVED);
    EXPECT_EQ(headlines(view), QStringList({"cherry", "banana", "Apple"}));
    clickColumn(COLUMN_CONTENT);
    EXPECT_EQ(view->GetSortColumn(), COLUMN_CONTENT);
    EXPECT_EQ(headlines(view), QStringList({"Apple", "banana", "cherry"}));
    clickColumn(COLUMN_CONTENT);
    EXPECT_EQ(headlines(view), QStringList({"cherry", "banana", "Apple"}));
}

TEST_F(HeadlineViewTest, SettingsAreReadAtCreationAndWrittenAtDestruction)
{
    WriteLayoutFlag(HKEY_CURRENT_USER, kHeadlineKey, "Column Width 0", DWORD(333));
    WriteLayoutFlag(HKEY_CURRENT_USER, kHeadlineKey, "Sort Column", DWORD(0));
    WriteLayoutFlag(HKEY_CURRENT_USER, kHeadlineKey, "Sort Ascending", DWORD(1));
    const uint32_t first = rhtest::engine::addChannel("First", "News");
    const uint32_t second = rhtest::engine::addChannel("Second", "News");
    addStory(first, "b", 1);
    addStory(second, "a", 2);
    CHeadlineView* view = viewOfCategory({first, second});
    EXPECT_EQ(view->GetColumnWidth(COLUMN_CONTENT), 333);
    EXPECT_EQ(view->GetColumnWidth(COLUMN_RECEIVED), 150);
    EXPECT_EQ(headlines(view), QStringList({"a", "b"}));
    view->list()->header()->resizeSection(COLUMN_CHANNEL, 222);
    view->OnColumnClick(COLUMN_RECEIVED);
    // The last shown column reaches the list's right edge without changing its stored width.
    view->resize(1400, 300);
    view->show();
    EXPECT_EQ(view->list()->header()->length(), view->list()->viewport()->width());
    // A column hidden for a single channel keeps its width for next time.
    auto* doc = qobject_cast<CChannelDoc*>(view->GetDocument());
    doc->SetChannel(first);
    view->OnUpdate(nullptr, HINT_SELECTION_CHANGED, nullptr);
    EXPECT_EQ(view->GetColumnWidth(COLUMN_CHANNEL), 0);
    EXPECT_EQ(readNumber(kHeadlineKey, "Column Width 2"), 222);
    doc->SetCategory({first, second});
    view->OnUpdate(nullptr, HINT_SELECTION_CHANGED, nullptr);
    EXPECT_EQ(view->GetColumnWidth(COLUMN_CHANNEL), 222);

    CHeadlineView* alerts = viewOfAlerts();
    alerts->list()->header()->resizeSection(COLUMN_CONTENT, 111);

    m_views.clear();
    std::vector<long> stored; // the hidden column's width is never written
    for (const char* name :
         {"Column Width 0", "Column Width 2", "Column Width 3", "Sort Column", "Sort Ascending"})
        stored.push_back(readNumber(kHeadlineKey, name));
    EXPECT_EQ(stored, (std::vector<long>{333, 222, -1, 1, 1}));
    EXPECT_EQ(readNumber(kAlertKey, "Column Width 0"), 111);
}

TEST_F(HeadlineViewTest, HintsOfOtherChannelsAreIgnoredAndTheLastDeletionLeavesThePlaceholder)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    const uint32_t a = addStory(channel, "A", 1);
    CHeadlineView* view = viewOfChannel(channel);
    const uint32_t b = addStory(channel, "B", 2);
    CUpdateHint other(channel + 100);
    view->OnUpdate(nullptr, HINT_CHANNEL_UPDATED, &other);
    EXPECT_EQ(headlines(view), QStringList{"A"});
    CUpdateHint mine(channel);
    view->OnUpdate(nullptr, HINT_CHANNEL_UPDATED, &mine);
    EXPECT_EQ(view->model()->rowCount(), 2);

    for (const uint32_t number : {a, b + 50}) { // the second is no listed story
        CUpdateHint deleted(channel, {number});
        view->OnUpdate(nullptr, HINT_STORIES_DELETED, &deleted);
        EXPECT_EQ(headlines(view), QStringList{"B"});
    }
    CUpdateHint last(channel, {b});
    view->OnUpdate(nullptr, HINT_STORIES_DELETED, &last);
    EXPECT_EQ(headlines(view), QStringList{"No content at this time."});
    EXPECT_TRUE(view->RowStoryId(0).isEmpty());
}

TEST_F(HeadlineViewTest, QuickDeletionsFreezeDrawingUntilTheyStop)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    std::vector<uint32_t> numbers;
    for (int i = 0; i < 5; ++i)
        numbers.push_back(addStory(channel, QString("S%1").arg(i), i));
    CHeadlineView* view = viewOfChannel(channel);
    platform::setTickCountForTesting(100000);
    auto remove = [&](uint32_t number) {
        CUpdateHint hint(channel, {number});
        view->OnUpdate(nullptr, HINT_STORIES_DELETED, &hint);
    };
    remove(numbers[0]);
    EXPECT_FALSE(view->IsRedrawSuspended());
    platform::advanceTickCount(600); // more than 500 ms later: counting starts again
    remove(numbers[1]);
    EXPECT_FALSE(view->IsRedrawSuspended());
    platform::advanceTickCount(300);
    remove(numbers[2]);
    EXPECT_TRUE(view->IsRedrawSuspended());
    EXPECT_FALSE(view->list()->updatesEnabled());

    platform::advanceTickCount(150);
    remove(numbers[3]); // still deleting: the quiet time starts again
    platform::advanceTickCount(150);
    view->OnTimer(TIMER_REDRAW);
    EXPECT_TRUE(view->IsRedrawSuspended());
    platform::advanceTickCount(60);
    view->OnTimer(TIMER_REDRAW);
    EXPECT_FALSE(view->IsRedrawSuspended());
    EXPECT_TRUE(view->list()->updatesEnabled());
    EXPECT_EQ(view->model()->rowCount(), 1);
}

TEST_F(HeadlineViewTest, AStoryChangedElsewhereIsRedrawnInPlaceAndStaysListed)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    const uint32_t number = addStory(channel, "Fresh", 1);
    addStory(channel, "Other", 2);
    setUnreadOnly(true);
    CHeadlineView* view = viewOfChannel(channel);
    ASSERT_TRUE(isBold(view, rowOf(view, "Fresh")));
    const uint32_t bundlet = bundletOf(channel, number);
    ASSERT_NE(bundlet, 0u);
    ASSERT_TRUE(VTMarkStoriesRead(channel, {number}, 1));
    ASSERT_TRUE(VTKeepStory(channel, bundlet, number, 1));
    CUpdateHint hint(channel, {number});
    view->OnUpdate(nullptr, HINT_STORIES_ATTRIBUTE_CHANGED, &hint);
    EXPECT_EQ(view->model()->rowCount(), 2);
    EXPECT_FALSE(isBold(view, rowOf(view, "Fresh")));
    EXPECT_TRUE(isBold(view, rowOf(view, "Other")));
    EXPECT_EQ(view->model()->index(rowOf(view, "Fresh"), 0).data(CHeadlineModel::ImageRole).toInt(),
              HeadlineImageIndex(VTBUNDLET_NEWS, false, false, true, false));
    // The next fill leaves it out.
    view->RefreshList();
    EXPECT_EQ(headlines(view), QStringList{"Other"});
}

TEST_F(HeadlineViewTest, DoubleClickOpensTheStoryAndTheClickTimerShowsOnlyASummary)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    addStory(channel, "Bare", 2);
    const uint32_t number = addStory(channel, "Told", 1, {}, {}, "A summary worth reading");
    CHeadlineView* view = viewOfChannel(channel);
    view->show();
    const QRect rect = view->list()->visualRect(view->model()->index(rowOf(view, "Told"), 0));
    QTest::mouseClick(view->list()->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_TRUE(view->IsClickTimerRunning());
    QTest::mouseDClick(view->list()->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_FALSE(view->IsClickTimerRunning());
    EXPECT_EQ(argsOf("showStory"), (Args{{channel, number}}));
    EXPECT_FALSE(view->popup()->IsPopupVisible());
    EXPECT_TRUE(callsNamed("broadcastNotification").empty());

    // A single click shows the summary when the timer runs out, when there is one.
    view->SelectRows({rowOf(view, "Bare")});
    view->OnListClick();
    view->OnTimer(TIMER_CLICK);
    EXPECT_FALSE(view->IsClickTimerRunning());
    EXPECT_FALSE(view->popup()->IsPopupVisible());
    view->SelectRows({rowOf(view, "Told")});
    view->list()->setFocus();
    QTest::keyClick(view->list(), Qt::Key_Space);
    ASSERT_TRUE(view->popup()->IsPopupVisible());
    // Escape hides it and is used up.
    QTest::keyClick(view->list(), Qt::Key_Escape);
    EXPECT_FALSE(view->popup()->IsPopupVisible());
}

TEST_F(HeadlineViewTest, TheDeleteKeyAsksEvenOnThePlaceholderAndDeletesNothing)
{
    const uint32_t channel = rhtest::engine::addChannel("Empty", "News");
    CHeadlineView* view = viewOfChannel(channel);
    view->SelectRows({0});
    platform::queueMessageBoxAnswer(IDYES);
    QTest::keyClick(view->list(), Qt::Key_Delete);
    ASSERT_TRUE(rhtest::waitFor([] { return !platform::messageBoxQuestions().empty(); }));
    EXPECT_EQ(platform::messageBoxQuestions().front().text,
              "Are you sure you want to delete the selected item(s) permanently?");
    EXPECT_TRUE(callsNamed("deleteStories").empty());
}

// A window that accepts stories, with a child that does not answer.
class DropTarget : public QWidget, public MessageWindow
{
public:
    DropTarget() : MessageWindow(QStringLiteral("DropTarget"), this)
    {
        child = new QWidget(this);
        childWindow = std::make_unique<MessageWindow>(QStringLiteral("Child"), child);
        child->setGeometry(10, 10, 100, 100);
        resize(200, 200);
        setMessageHandler([this](UINT message, WPARAM first, LPARAM second) -> LRESULT {
            if (message == DragDropMessages().canDrop)
                return first == DRAGKIND_STORY && second == 1 ? 1 : 0;
            if (message == DragDropMessages().dropStory)
                drops.emplace_back(static_cast<uint32_t>(first), static_cast<uint32_t>(second));
            return 0;
        });
    }
    QWidget* child;
    std::unique_ptr<MessageWindow> childWindow;
    std::vector<std::pair<uint32_t, uint32_t>> drops;
};

TEST_F(HeadlineViewTest, AStoryDraggedOntoATargetIsDroppedThere)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    const uint32_t number = addStory(channel, "Fresh", 1);
    CHeadlineView* view = viewOfChannel(channel);
    view->resize(300, 200);
    view->move(0, 0);
    view->show();
    DropTarget target;
    target.move(400, 0);
    target.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&target));
    const QPoint overChild = target.child->mapToGlobal(QPoint(20, 20));
    EXPECT_EQ(CHeadlineView::FindDropTarget(overChild), target.GetSafeHwnd());
    EXPECT_EQ(CHeadlineView::FindDropTarget(QPoint(5000, 5000)), 0u);

    view->SelectRows({0});
    view->BeginDrag(0, QPoint(10, 10));
    ASSERT_TRUE(view->IsDragging());
    view->DragMove(overChild);
    view->DragDrop(overChild);
    EXPECT_FALSE(view->IsDragging());
    ASSERT_EQ(target.drops.size(), 1u);
    EXPECT_EQ(target.drops[0], std::make_pair(channel, number));

    // Losing the mouse to another window ends the drag without a drop.
    view->BeginDrag(0, QPoint(10, 10));
    ASSERT_TRUE(view->IsDragging());
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(view->list(), &focusOut);
    EXPECT_FALSE(view->IsDragging());
    view->DragDrop(overChild);
    EXPECT_EQ(target.drops.size(), 1u);

    // The placeholder cannot be dragged.
    CHeadlineView* empty = viewOfChannel(rhtest::engine::addChannel("Empty", "News"));
    empty->SelectRows({0});
    empty->BeginDrag(0, QPoint(10, 10));
    EXPECT_FALSE(empty->IsDragging());
}

TEST_F(HeadlineViewTest, RowsAreDrawnWithSelectionColoursThatFollowTheFocus)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily", "News");
    addStory(channel, "Selected story", 2);
    addStory(channel, "Alerted story", 1, {{"Alerted", 1}});
    CHeadlineView* view = viewOfChannel(channel);
    view->show();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    view->SelectRows({0});
    view->list()->setFocus();
    ASSERT_TRUE(rhtest::waitFor([view] { return view->list()->hasFocus(); }));

    const QPalette palette = view->list()->palette();
    auto rowPixel = [view](int row, int x) {
        const QImage image = view->list()->viewport()->grab().toImage();
        const QRect rect = view->list()->visualRect(view->model()->index(row, 0));
        return image.pixelColor(x, rect.center().y());
    };
    const int x = view->GetColumnWidth(COLUMN_CONTENT) - 3;
    EXPECT_EQ(rowPixel(0, x), palette.color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(rowPixel(1, x), palette.color(QPalette::Active, QPalette::Base));

    // Without the focus the selected row takes the quieter colour.
    auto* other = new QLineEdit(view);
    other->show();
    other->setFocus();
    ASSERT_TRUE(rhtest::waitFor([view] { return !view->list()->hasFocus(); }));
    EXPECT_EQ(rowPixel(0, x), palette.color(QPalette::Inactive, QPalette::Button));

    // Some of the alerted row's text is drawn in the alerted colour, none of the other's.
    auto redPixels = [view](int row) {
        const QImage image = view->list()->viewport()->grab().toImage();
        const QRect rect = view->list()->visualRect(view->model()->index(row, 0));
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int px = 24; px < 200; ++px)
                count += image.pixelColor(px, y) == QColor(255, 0, 0) ? 1 : 0;
        return count;
    };
    EXPECT_GT(redPixels(1), 0);
    EXPECT_EQ(redPixels(0), 0);
}

TEST_F(HeadlineViewTest, ThePopupsLinksGoThroughTheMainFrame)
{
    CStorySummaryPopup popup;
    EXPECT_EQ(popup.OnShowURL("https://news.example/more"), 1);
    EXPECT_EQ(popup.OnShowStory(12, 34), 1);
    EXPECT_EQ(popup.OnShowStory(VT_ALERTS_CHANNEL_ID, 5), 1);
    EXPECT_EQ(m_calls,
              (std::vector<Call>{{"showURL", {}},
                                 {"showStory", {12, 34}},
                                 {"showStory", {VT_ALERTS_CHANNEL_ID, 5}},
                                 {"broadcastNotification", {VTNOTIFICATION_ALERTS_CHANGED, 0}}}));

    // Without a main frame the real services answer 0.
    resetStoryCalls();
    EXPECT_EQ(popup.OnShowURL("https://news.example/more"), 0);
    EXPECT_EQ(popup.OnShowStory(12, 34), 0);
}

} // namespace
