// The category text form, the directory's category tree and its pane.

#include "resources/readhall_resources.h"
#include "src/channel/category.h"
#include "src/channel/categorytext.h"
#include "src/channel/categoryview.h"
#include "src/framework/document.h"
#include "tests/channel/channel_fixture.h"

using namespace channeltest;

namespace
{

TEST(CategoryText, ReplacingSplittingAndEscaping)
{
    EXPECT_EQ(FromPathForm("A&SLASH;B&slash;C"), "A/B/C");
    EXPECT_EQ(ToPathForm("A/B"), "A&slash;B");
    EXPECT_EQ(ReplaceNoCase("News NEWS news", "news", "x"), "x x x");
    EXPECT_EQ(ReplaceNoCase("abc", "", "x"), "abc");
    EXPECT_EQ(SplitText("a;;b", ";"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(SplitPathLevels("News//Local/"), (QStringList{"News", "Local"}));
    EXPECT_EQ(EscapeMenuText("Q&A & more"), "Q&&A && more");
    // A semicolon closing a "&slash;" belongs to the name.
    EXPECT_EQ(SplitCategoryPaths("Film&slash;TV;News/Local"),
              (QStringList{"Film&slash;TV", "News/Local"}));
    EXPECT_EQ(SplitCategoryPaths("A&SLASH;B"), QStringList{"A&SLASH;B"});
    EXPECT_EQ(SplitCategoryPaths(";x;"), (QStringList{"", "x", ""}));
}

class CategoryTreeTest : public ::testing::Test
{
protected:
    void SetUp() override { readhallInitResources(); }
    QTreeWidget tree;
    CCategory category;
};

TEST_F(CategoryTreeTest, EntriesGoUnderEachPathWithEmptyLevelsAndSlashesShown)
{
    CCategoryEntryArray entries;
    entries.Add(7, "News//Local", "Town Crier");
    entries.Add(3, "Sport;News/Local", "Both");
    entries.Add(9, "Film&slash;TV", "Reel");
    category.Build(&entries);
    EXPECT_EQ(category.GetItems()[2]->GetName(), "Film&slash;TV");
    category.FillTree(&tree, category.GetItems(), nullptr, true);
    EXPECT_EQ(childLabels(&tree), (QStringList{"Film/TV", "News", "Sport"}));
    QTreeWidgetItem* empty = itemAt(&tree, {"News", "Miscellaneous", "Local"});
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(childLabels(&tree, empty), QStringList{"Town Crier"});
    EXPECT_EQ(treeitems::image(empty->child(0)), CATIMG_ENTRY);
    EXPECT_EQ(CCategory::NodeOfItem(empty)->GetIds(), std::vector<uint32_t>{7});
    EXPECT_EQ(childLabels(&tree, itemAt(&tree, {"Sport"})), QStringList{"Both"});
    EXPECT_EQ(childLabels(&tree, itemAt(&tree, {"News", "Local"})), QStringList{"Both"});
}

TEST_F(CategoryTreeTest, LevelsMatchWithoutCaseAndPremierGetsItsPicture)
{
    CCategoryEntryArray entries;
    entries.Add(1, "News", "One");
    entries.Add(2, "news", "Two");
    entries.Add(3, "premier", "Three");
    entries.Add(4, "", "Loose");
    category.Build(&entries);
    ASSERT_EQ(category.GetItems().size(), 3u);
    EXPECT_EQ(category.GetItems()[0]->GetIds(), (std::vector<uint32_t>{1, 2}));
    category.FillTree(&tree, category.GetItems(), nullptr, false);
    EXPECT_EQ(childLabels(&tree), (QStringList{"Miscellaneous", "News", "premier"}));
    QTreeWidgetItem* premier = itemAt(&tree, {"premier"});
    EXPECT_EQ(treeitems::image(premier), CATIMG_PREMIER_CLOSED);
    EXPECT_EQ(treeitems::selectedImage(premier), CATIMG_PREMIER_OPEN);
    EXPECT_EQ(treeitems::image(itemAt(&tree, {"News"})), CATIMG_FOLDER_CLOSED);
    EXPECT_EQ(premier->childCount(), 0); // no entries asked for
}

TEST_F(CategoryTreeTest, EntryNamesAreFoundInListOrderAndNullListsAreSkipped)
{
    CCategoryEntryArray first;
    first.Add(5, "A", "From the first");
    CCategoryEntryArray third;
    third.Add(5, "A", "From the third");
    third.Add(6, "B", "Only the third");
    category.Build(&first, nullptr, &third);
    QString name;
    EXPECT_EQ(category.FindEntryName(5, name), 1);
    EXPECT_EQ(name, "From the first");
    EXPECT_EQ(category.FindEntryName(6, name), 1);
    EXPECT_EQ(name, "Only the third");
    EXPECT_EQ(category.FindEntryName(99, name), 0);
    // Both lists were filed.
    EXPECT_EQ(category.GetItems()[0]->GetIds(), (std::vector<uint32_t>{5, 5}));
}

// A directory-like document and a view that records what the category pane reports.
class TestDirectoryDoc : public CDocument, public CCategoryProvider
{
public:
    const CCategory* GetFirstCategory() const override { return &category; }
    CCategory category;
    CCategoryEntryArray entries;
};

class ReportRecorder : public CView
{
public:
    void OnUpdate(CView*, LPARAM hint, CObject* object) override
    {
        codes.push_back(hint);
        const auto* report = dynamic_cast<const CCategoryHint*>(object);
        ids = report && report->m_ids ? *report->m_ids : std::vector<uint32_t>{};
        hadObject = object != nullptr;
    }
    std::vector<LPARAM> codes;
    std::vector<uint32_t> ids;
    bool hadObject = false;
};

TEST_F(CategoryTreeTest, CategoryPaneRebuildsAndReportsTheChosenNode)
{
    TestDirectoryDoc doc;
    doc.entries.Add(11, "News/Local", "Town Crier");
    doc.entries.Add(12, "News", "Daily");
    doc.category.Build(&doc.entries);
    auto view = std::make_unique<CCategoryView>();
    auto recorder = std::make_unique<ReportRecorder>();
    doc.AddView(view.get());
    doc.AddView(recorder.get());
    view->OnUpdate(nullptr, CATHINT_RELOAD, nullptr);

    QTreeWidget* tree = view->GetTreeCtrl();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "All");
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
    EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
    EXPECT_TRUE(recorder->codes.empty()); // the rebuild's own selection is not reported

    view->OnUpdate(nullptr, CATHINT_REPORT_SELECTION, nullptr);
    EXPECT_EQ(recorder->codes, std::vector<LPARAM>{CATHINT_ALL_CHOSEN});
    EXPECT_FALSE(recorder->hadObject);

    // A user's choice is reported with the node's ids.
    tree->setCurrentItem(itemAt(tree, {"All", "News"}));
    EXPECT_EQ(recorder->codes.back(), CATHINT_CATEGORY_CHOSEN);
    EXPECT_EQ(recorder->ids, std::vector<uint32_t>{12});
}

} // namespace
