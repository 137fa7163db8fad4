// The rows of the headline list on their own: the icon rule, the row data kept by item data,
// sorting, deleting and the text cut of the row drawing.

#include "src/stories/headlinedelegate.h"
#include "src/stories/headlinemodel.h"
#include "src/stories/storyids.h"
#include "vantrel/chandir.h"

#include <QAbstractItemModelTester>
#include <QFontMetrics>
#include <QItemSelectionModel>
#include <QSignalSpy>
#include <gtest/gtest.h>

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
        {VTBUNDLET_FILE, true, true, false, false,
         3}, // a summary or local copy only marks the news page
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
    model.SetFonts(QFont(), [] {
        QFont bold;
        bold.setBold(true);
        return bold;
    }());
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

} // namespace
