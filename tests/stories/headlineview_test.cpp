// The headline rows on their own (icon rule, item data, sorting, text cut), and the headline list
// over the real engine: columns, settings, update hints, mouse and keys.

#include "src/channel/channelids.h"
#include "src/engine/messages.h"
#include "src/platform/messagebox.h"
#include "src/platform/messagewindow.h"
#include "src/platform/settingsstore.h"
#include "src/platform/tickcount.h"
#include "src/shared/settingsfunctions.h"
#include "src/stories/headlinedelegate.h"
#include "src/stories/headlinemodel.h"
#include "src/stories/storyids.h"
#include "src/stories/storysummarypopup.h"
#include "tests/stories/stories_fixture.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace storiestest;

namespace
{

// The image of a row: the first kind bit that has a picture, then the offsets of the news
// page's variants (summary, local copy, keep, signed); other kinds have no image.
TEST(HeadlineIcon, KindBitsInOrderAndTheNewsPageVariants)
{
    const struct {
        uint32_t kind;
        bool summary, local, kept, isSigned;
        int image;
    } cases[] = {
        {VTBUNDLET_NEWS, false, false, false, false, 4},
        {VTBUNDLET_NEWS, true, false, false, false, 5},
        {VTBUNDLET_NEWS, false, true, false, false, 6},
        {VTBUNDLET_NEWS, true, true, false, false, 7},
        {VTBUNDLET_NEWS, true, true, true, false, 15},
        {VTBUNDLET_NEWS, true, true, false, true, 23},
        {VTBUNDLET_NEWS, true, true, true, true, 31},
        {VTBUNDLET_NEWS | VTBUNDLET_FILE | VTBUNDLET_VIDEO, false, false, false, false, 4},
        {VTBUNDLET_FILE | VTBUNDLET_VIDEO, false, false, false, false, 3},
        {VTBUNDLET_VIDEO | VTBUNDLET_PICTURE, false, false, false, false, 0},
        {VTBUNDLET_PICTURE | VTBUNDLET_AUDIO, false, false, true, false, 9},
        {VTBUNDLET_AUDIO, false, false, false, true, 18},
        {VTBUNDLET_FILE, true, true, false, false, 3}, // summary, local copy: news page only
        {0, true, true, true, true, -1},
        {0x1, false, false, false, false, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HeadlineImageIndex(c.kind, c.summary, c.local, c.kept, c.isSigned), c.image)
            << std::hex << c.kind << " " << c.summary << c.local << c.kept << c.isSigned;
}

class HeadlineModelTest : public ::testing::Test
{
protected:
    void fill(const std::vector<std::pair<QString, uint32_t>>& rows)
    {
        model.BeginFill();
        uint32_t number = 1;
        for (const auto& [headline, time] : rows) {
            model.AddRow(headline, QStringLiteral("Channel %1").arg(number % 2),
                         QStringLiteral("Sub %1").arg(5 - number), time, QString::number(time),
                         CService::MakeStoryID(7, number), true, false, 4);
            ++number;
        }
        model.EndFill();
    }
    // The texts of a column, top to bottom.
    QStringList order(int column = COLUMN_CONTENT) const
    {
        QStringList result;
        for (int row = 0; row < model.rowCount(); ++row)
            result << model.index(row, column).data().toString();
        return result;
    }

    CHeadlineModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(HeadlineModelTest, RowsCarryTheirItemDataThroughSorting)
{
    fill({{"beta", 20}, {"Alpha", 0x90000000u}, {"gamma", 10}}); // times compare unsigned
    model.SortRows(COLUMN_CONTENT, true);
    EXPECT_EQ(order(), QStringList({"Alpha", "beta", "gamma"}));
    // The arrays are not moved: item data still names the entry inserted first.
    EXPECT_EQ(model.ItemDataOfRow(0), 1);
    EXPECT_EQ(model.RowData().headline[0], "beta");
    EXPECT_EQ(model.RowOfItemData(0), 1);

    model.SortRows(COLUMN_RECEIVED, false);
    EXPECT_EQ(order(), QStringList({"Alpha", "beta", "gamma"}));
    model.SortRows(COLUMN_RECEIVED, true);
    EXPECT_EQ(order(), QStringList({"gamma", "beta", "Alpha"}));
    model.SortRows(-1, true); // no sort column: left alone
    EXPECT_EQ(order(), QStringList({"gamma", "beta", "Alpha"}));
}

TEST_F(HeadlineModelTest, TextColumnsSortWithoutRegardToCaseAndKeepTiesInTheirOrder)
{
    // Rows of stories as the list fills them: the engine gives the case-folded headline.
    model.BeginFill();
    const std::vector<std::pair<QString, QString>> rows = {
        {"beta", "Zed"}, {"Alpha", "abc"}, {"alpha", "ABC"}, {"Gamma", "zed"}, {"ALPHA", "Abd"}};
    uint32_t number = 1;
    for (const auto& [headline, channel] : rows) {
        model.AddStoryRow(headline, headline.toCaseFolded(), channel, QString(), number, 9, number,
                          true, false, 4);
        ++number;
    }
    model.EndFill();
    struct Case {
        int column;
        bool ascending;
        QStringList order;
    };
    const std::vector<Case> cases = {
        {COLUMN_CONTENT, true, {"Alpha", "alpha", "ALPHA", "beta", "Gamma"}},
        {COLUMN_CONTENT, false, {"Gamma", "beta", "Alpha", "alpha", "ALPHA"}},
        // Ties keep the order the previous sort left.
        {COLUMN_CHANNEL, true, {"abc", "ABC", "Abd", "zed", "Zed"}},
        {COLUMN_CHANNEL, false, {"zed", "Zed", "Abd", "abc", "ABC"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.column << (c.ascending ? " up" : " down"));
        model.SortRows(c.column, c.ascending);
        EXPECT_EQ(order(c.column), c.order);
    }
    // A row added after the fill takes its place in the next sort, and it is a story.
    const int added =
        model.AddStoryRow("aardvark", "aardvark", "aaa", QString(), 6, 9, 6, true, false, 4);
    model.SortRows(COLUMN_CONTENT, true);
    EXPECT_EQ(order().front(), "aardvark");
    model.SortRows(COLUMN_CHANNEL, true);
    EXPECT_EQ(order(COLUMN_CHANNEL).front(), "aaa");
    EXPECT_TRUE(model.IsStoryRow(model.RowOfItemData(added)));
    EXPECT_EQ(model.StoryIdOf(added), CService::MakeStoryID(9, 6));
    EXPECT_EQ(model.FindItemData(9, 6, true), added);
}

TEST_F(HeadlineModelTest, SortingKeepsTheSelectionOnItsStories)
{
    fill({{"b", 2}, {"a", 1}, {"c", 3}});
    QItemSelectionModel selection(&model);
    selection.select(model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    model.SortRows(COLUMN_CONTENT, true);
    EXPECT_EQ(layout.count(), 1);
    const QModelIndexList rows = selection.selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.front().data().toString(), "b");
}

TEST_F(HeadlineModelTest, DeletedRowsKeepTheirEntryUntilTheNextFill)
{
    fill({{"one", 1}, {"two", 2}, {"three", 3}});
    EXPECT_EQ(model.FindItemData(7, 2, true), 1);
    ASSERT_TRUE(model.RemoveItemRow(1));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.RowData().size(), 3u);
    EXPECT_EQ(model.RowOfItemData(1), -1);
    EXPECT_EQ(model.RowOfItemData(2), 1);
    EXPECT_EQ(model.FindItemData(7, 2, true), -1);
    EXPECT_EQ(model.FindItemData(7, 2, false), 1);
    EXPECT_FALSE(model.RemoveItemRow(1));
    EXPECT_EQ(order(), QStringList({"one", "three"}));
}

TEST_F(HeadlineModelTest, UpdatedRowsChangeWeightAndImage)
{
    fill({{"one", 1}, {"two", 2}});
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QFont bold;
    bold.setBold(true);
    model.SetFonts(QFont(), bold);
    EXPECT_TRUE(model.index(1, 0).data(Qt::FontRole).value<QFont>().bold());
    model.UpdateItem(1, false, 12);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_FALSE(model.index(1, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(model.index(1, 0).data(CHeadlineModel::ImageRole).toInt(), 12);
}

TEST(HeadlineRowText, TextsThatDoNotFitAreCutWithDots)
{
    const QFont font;
    const QFontMetrics metrics(font);
    const QString text = QStringLiteral("A rather long headline about the weather");
    const int full = metrics.horizontalAdvance(text);
    EXPECT_EQ(CutTextToCell(metrics, text, full + 4), text);
    const QString cut = CutTextToCell(metrics, text, full / 2);
    EXPECT_TRUE(cut.endsWith("..."));
    EXPECT_TRUE(text.startsWith(cut.chopped(3)));
    EXPECT_LE(metrics.horizontalAdvance(cut), full / 2 - 4);
    // One more character would not have fitted.
    const QString longer = text.left(cut.size() - 3 + 1) + "...";
    EXPECT_GT(metrics.horizontalAdvance(longer), full / 2 - 4);
    EXPECT_EQ(CutTextToCell(metrics, text, 2), "...");
}

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

// Tells the view what changed, as the channel window does.
void hint(CHeadlineView* view, LPARAM code, uint32_t channel, std::vector<uint32_t> stories = {})
{
    CUpdateHint update(channel, std::move(stories));
    view->OnUpdate(nullptr, code, &update);
}

using HeadlineViewTest = StoriesTest;

TEST_F(HeadlineViewTest, AnEmptyListShowsABoldPlaceholderWordedForUnreadOnly)
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

    // "Show Unread Items Only" hides read stories and words the placeholder so.
    const uint32_t daily = rhtest::engine::addChannel("Daily", "News");
    addStory(daily, "Read one", 1, {{"Read", 1}});
    addStory(daily, "Unread one", 2);
    setUnreadOnly(true);
    EXPECT_EQ(headlines(viewOfChannel(daily)), QStringList{"Unread one"});

    const uint32_t allRead = rhtest::engine::addChannel("Old", "News");
    addStory(allRead, "Seen", 1, {{"Read", 1}});
    CHeadlineView* empty = viewOfChannel(allRead);
    EXPECT_EQ(headlines(empty), QStringList{"No unread content at this time."});
    EXPECT_TRUE(isBold(empty, 0));

    setUnreadOnly(false);
    SendMessage(empty->GetSafeHwnd(), CHeadlineView::UnreadOnlyMessage(), 0, 0);
    EXPECT_EQ(headlines(empty), QStringList{"Seen"});
    EXPECT_FALSE(isBold(empty, 0));

    // The view joins the broadcast windows and leaves them when it goes.
    const HWND hwnd = view->GetSafeHwnd();
    const auto& windows = m_app->GetBroadcastWindows();
    EXPECT_NE(std::find(windows.begin(), windows.end(), hwnd), windows.end());
    m_views.clear();
    EXPECT_EQ(std::find(windows.begin(), windows.end(), hwnd), windows.end());
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

    EXPECT_EQ(headlines(viewOfChannel(channel, "News&slash;Local")),
              QStringList({"Europe", "Local"}));
    EXPECT_EQ(headlines(viewOfChannel(channel, "News")), QStringList({"Sport"}));
    EXPECT_EQ(headlines(viewOfChannel(channel, "Region/North&slash;South")), QStringList{"Deep"});
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
    playable(channel, "Clip", 3);
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

TEST_F(HeadlineViewTest, ACategoryShowsTheChannelColumnAndSettingsAreReadAndWritten)
{
    WriteLayoutFlag(HKEY_CURRENT_USER, kHeadlineKey, "Column Width 0", DWORD(333));
    WriteLayoutFlag(HKEY_CURRENT_USER, kHeadlineKey, "Sort Column", DWORD(0));
    WriteLayoutFlag(HKEY_CURRENT_USER, kHeadlineKey, "Sort Ascending", DWORD(1));
    const uint32_t first = rhtest::engine::addChannel("First", "News");
    const uint32_t second = rhtest::engine::addChannel("Second", "News");
    addStory(first, "b", 1);
    addStory(second, "a", 2);
    CHeadlineView* view = viewOfCategory({first, second, 987654});
    // A channel the directory does not know is left out of the shown channels.
    EXPECT_EQ(view->GetShownChannels(), (std::vector<uint32_t>{first, second}));
    EXPECT_EQ(view->GetColumnWidth(COLUMN_CHANNEL), 150);
    EXPECT_EQ(cell(view, rowOf(view, "a"), COLUMN_CHANNEL), "Second");
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
    hint(view, HINT_CHANNEL_UPDATED, channel + 100);
    EXPECT_EQ(headlines(view), QStringList{"A"});
    hint(view, HINT_CHANNEL_UPDATED, channel);
    EXPECT_EQ(view->model()->rowCount(), 2);

    for (const uint32_t number : {a, b + 50}) { // the second is no listed story
        hint(view, HINT_STORIES_DELETED, channel, {number});
        EXPECT_EQ(headlines(view), QStringList{"B"});
    }
    hint(view, HINT_STORIES_DELETED, channel, {b});
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
    auto remove = [&](uint32_t number) { hint(view, HINT_STORIES_DELETED, channel, {number}); };
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
    ASSERT_TRUE(VTMarkStoriesRead(channel, {number}, 1));
    ASSERT_TRUE(VTKeepStory(channel, bundletOf(channel, number), number, 1));
    hint(view, HINT_STORIES_ATTRIBUTE_CHANGED, channel, {number});
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
