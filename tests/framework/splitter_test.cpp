// Static splitters: ideal sizes, row and column information, hiding and showing a column
// with its size, nested splitters, moving panes and fixed bars.

#include "tests/framework/framework_fixture.h"

#include <QSplitterHandle>
#include <QTest>
#include <QVBoxLayout>

using namespace fwtest;

namespace
{

// Row and column sizes as the splitter reports them (the row's as current and minimum).
std::pair<int, int> rowInfo(CSplitterWnd* splitter, int row)
{
    std::pair<int, int> info{-1, -1};
    splitter->GetRowInfo(row, info.first, info.second);
    return info;
}
int rowHeight(CSplitterWnd* splitter, int row)
{
    return rowInfo(splitter, row).first;
}
int columnWidth(CSplitterWnd* splitter, int column)
{
    int current = 0, minimum = 0;
    splitter->GetColumnInfo(column, current, minimum);
    return current;
}

class Splitters : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(host.get());
        layout->setContentsMargins(0, 0, 0, 0);
        host->resize(600, 400);
    }
    void showHost()
    {
        host->show();
        ASSERT_TRUE(rhtest::waitFor([&] { return host->isVisible(); }));
    }
    static CView* makeView() { return new TestView; }

    std::unique_ptr<QWidget> host;
    TestDoc doc;
};

TEST_F(Splitters, ViewsGetTheirInitialSizesAndTheLastRowTheRest)
{
    auto* splitter = new CSplitterWnd;
    EXPECT_FALSE(splitter->CreateStatic(host.get(), 0, 1));
    EXPECT_FALSE(splitter->CreateStatic(host.get(), 1, 17));
    ASSERT_TRUE(splitter->CreateStatic(host.get(), 2, 1));
    EXPECT_FALSE(splitter->CreateStatic(host.get(), 2, 1)) << "only once";
    EXPECT_EQ(splitter->GetPane(2, 0), nullptr);
    CCreateContext context;
    context.m_pCurrentDoc = &doc;
    CView* header = splitter->CreateView(0, 0, makeView, QSize(60, 64), &context);
    CView* body = splitter->CreateView(1, 0, makeView, QSize(60, 100), &context);
    ASSERT_TRUE(header && body);
    EXPECT_EQ(splitter->CreateView(1, 0, makeView, QSize(1, 1), &context), nullptr)
        << "an occupied cell";
    EXPECT_EQ(doc.GetViews(), (std::vector<CView*>{header, body}));
    EXPECT_EQ(splitter->GetPane(0, 0), header);

    EXPECT_EQ(rowInfo(splitter, 0), std::make_pair(64, 0)) << "the ideal size before layout";

    showHost();
    EXPECT_EQ(rowHeight(splitter, 0), 64);
    EXPECT_EQ(rowHeight(splitter, 1), 400 - 64 - splitter->handleWidth());

    splitter->SetRowInfo(0, 120, 10);
    splitter->RecalcLayout();
    EXPECT_EQ(rowInfo(splitter, 0), std::make_pair(120, 10));

    // Below its minimum a row is laid out with nothing.
    splitter->SetRowInfo(0, 5, 10);
    splitter->RecalcLayout();
    EXPECT_EQ(rowHeight(splitter, 0), 0);

    // Collapsed on purpose (ideal 0), and back.
    splitter->SetRowInfo(0, 0, 0);
    splitter->RecalcLayout();
    EXPECT_EQ(rowHeight(splitter, 0), 0);
    EXPECT_EQ(rowHeight(splitter, 1), 400 - splitter->handleWidth())
        << "the bar stays, to drag the row open";
    splitter->SetRowInfo(0, 64, 0);
    splitter->RecalcLayout();
    EXPECT_EQ(rowHeight(splitter, 0), 64);
}

TEST_F(Splitters, HiddenColumnComesBackWithItsWidth)
{
    auto* splitter = new CSplitterWnd;
    ASSERT_TRUE(splitter->CreateStatic(host.get(), 1, 2));
    ASSERT_TRUE(splitter->CreateView(0, 0, makeView, QSize(200, 50)));
    ASSERT_TRUE(splitter->CreateView(0, 1, makeView, QSize(150, 50)));
    showHost();
    ASSERT_EQ(columnWidth(splitter, 0), 200);

    splitter->HideColumn(0);
    EXPECT_TRUE(splitter->IsColumnHidden(0));
    EXPECT_TRUE(splitter->GetPane(0, 0)->isHidden());
    EXPECT_EQ(columnWidth(splitter, 0), 0);
    EXPECT_EQ(columnWidth(splitter, 1), 600);

    splitter->ShowColumn(0);
    EXPECT_FALSE(splitter->IsColumnHidden(0));
    EXPECT_EQ(columnWidth(splitter, 0), 200);
    EXPECT_EQ(columnWidth(splitter, 1), 600 - 200 - splitter->handleWidth());

    // The last column, after the user made the first one wider.
    splitter->SetColumnInfo(0, 320, 0);
    splitter->RecalcLayout();
    const int lastWidth = columnWidth(splitter, 1);
    splitter->HideColumn(1);
    EXPECT_EQ(columnWidth(splitter, 0), 600);
    splitter->ShowColumn(1);
    EXPECT_EQ(columnWidth(splitter, 1), lastWidth);
    EXPECT_EQ(columnWidth(splitter, 0), 320);
}

TEST_F(Splitters, NestedSplittersAndMovingAPane)
{
    auto* outer = new CSplitterWnd;
    ASSERT_TRUE(outer->CreateStatic(host.get(), 2, 1));
    ASSERT_TRUE(outer->CreateView(0, 0, makeView, QSize(0, 64)));
    auto* inner = new CSplitterWnd;
    ASSERT_TRUE(inner->CreateStatic(outer, 1, 0, 1, 2));
    EXPECT_EQ(outer->GetPane(1, 0), inner);
    CView* folder = inner->CreateView(0, 0, makeView, QSize(180, 50));
    CView* list = inner->CreateView(0, 1, makeView, QSize(150, 120));
    ASSERT_TRUE(folder && list);
    showHost();
    EXPECT_EQ(columnWidth(inner, 0), 180);

    // The folder column goes: the list moves up into the outer splitter.
    inner->DeleteView(0, 0);
    EXPECT_EQ(inner->GetPane(0, 0), nullptr);
    QWidget* taken = outer->TakePane(1, 0);
    EXPECT_EQ(taken, inner);
    ASSERT_TRUE(outer->SetPane(1, 0, list));
    EXPECT_EQ(outer->GetPane(1, 0), list);
    EXPECT_EQ(inner->GetPane(0, 1), nullptr) << "moving a pane empties its old cell";
    EXPECT_FALSE(list->isHidden());
    delete taken;

    EXPECT_FALSE(outer->SetPane(1, 0, makeView())) << "an occupied cell";

    // A splitter made while the window is open is laid out without being asked.
    outer->DeleteView(1, 0);
    auto* lower = new CSplitterWnd;
    ASSERT_TRUE(lower->CreateStatic(outer, 1, 0, 2, 1));
    ASSERT_TRUE(lower->CreateView(0, 0, makeView, QSize(0, 90)));
    ASSERT_TRUE(lower->CreateView(1, 0, makeView, QSize(0, 50)));
    EXPECT_TRUE(rhtest::waitFor(
        [&] { return rowHeight(lower, 0) == 90 && lower->GetPane(0, 0)->height() == 90; }));
    EXPECT_TRUE(lower->GetPane(1, 0)->isVisible());
}

TEST_F(Splitters, GridColumnsMoveTogether)
{
    auto* grid = new CSplitterWnd;
    ASSERT_TRUE(grid->CreateStatic(host.get(), 2, 2));
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            ASSERT_TRUE(grid->CreateView(row, col, makeView, QSize(col == 0 ? 150 : 0, 100)));
    showHost();
    const auto firstColumn = [&] {
        return std::make_pair(grid->GetPane(0, 0)->width(), grid->GetPane(1, 0)->width());
    };
    EXPECT_EQ(firstColumn(), std::make_pair(150, 150));
    grid->SetColumnInfo(0, 250, 0);
    grid->RecalcLayout();
    EXPECT_EQ(firstColumn(), std::make_pair(250, 250));
    EXPECT_EQ(rowHeight(grid, 0), 100);
}

// Drags a splitter's first bar down by 40 pixels.
void dragFirstBar(QSplitter* splitter)
{
    QSplitterHandle* handle = splitter->handle(1);
    ASSERT_NE(handle, nullptr);
    const QPoint center = handle->rect().center();
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, center);
    QTest::mouseMove(handle, center + QPoint(0, 40));
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, center + QPoint(0, 40));
}

TEST_F(Splitters, FixedBarCannotBeDragged)
{
    auto* splitter = new CSplitterWnd;
    ASSERT_TRUE(splitter->CreateStatic(host.get(), 2, 1));
    ASSERT_TRUE(splitter->CreateView(0, 0, makeView, QSize(0, 64)));
    ASSERT_TRUE(splitter->CreateView(1, 0, makeView, QSize(0, 64)));
    splitter->SetFixedBars(true);
    showHost();

    const int before = rowHeight(splitter, 0);
    dragFirstBar(splitter);
    EXPECT_EQ(rowHeight(splitter, 0), before);
    EXPECT_EQ(splitter->handle(1)->cursor().shape(), Qt::ArrowCursor);

    // The same drag moves a bar that is not fixed.
    splitter->SetFixedBars(false);
    dragFirstBar(splitter);
    EXPECT_GT(rowHeight(splitter, 0), before);
}

} // namespace
