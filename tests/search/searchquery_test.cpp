// The search form and the results list: what a query finds and how the list shows it.

#include "src/search/searchids.h"
#include "src/shared/updatehint.h"
#include "tests/search/search_fixture.h"
#include "vantrel/chandir.h"
#include "vantrel/engctl.h"

using namespace searchtest;
namespace eb = rhtest::engine;

namespace
{

class SearchQueryTest : public SearchTest
{
protected:
    void SetUp() override
    {
        SearchTest::SetUp();
        markets = eb::addChannel("Markets", "Finance");
        tech = eb::addChannel("Tech", "Computing");
        loose = eb::addChannel("Loose"); // in no category
        addStory(markets, "Internet stocks", 1);
        addStory(markets, "Bond yields", 2, "Rates seen on the net");
        addStory(tech, "NETWORK OUTAGE", 3);
        addStory(tech, "", 4, "The internet is down");
        addStory(loose, "Netball final", 5);
        addStory(loose, "Quiet day", 6, "   ");
        ASSERT_TRUE(eb::waitForIdle());
        open();
    }
    uint32_t markets = 0, tech = 0, loose = 0;
};

TEST_F(SearchQueryTest, FindsByTheUpperCaseRuleInTheChosenScope)
{
    struct Case {
        QString text;
        QString scope;
        bool titleOnly;
        QStringList found;
    };
    const std::vector<Case> cases = {
        {"net",
         "All Channels",
         false,
         {"Internet stocks", "Bond yields", "NETWORK OUTAGE", "", "Netball final"}},
        // Summaries are not looked at: neither the summary-only match nor the empty headline.
        {"net", "All Channels", true, {"Internet stocks", "NETWORK OUTAGE", "Netball final"}},
        {"INTERNET IS", "Tech", false, {""}},
        {"net", "Finance", true, {"Internet stocks"}},
        {"net", "Markets", false, {"Internet stocks", "Bond yields"}},
        {"  ", "All Channels", false, {"No items containing '  ' found."}}, // a blank summary
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " in " + c.scope.toStdString());
        find(c.text, c.scope, c.titleOnly);
        QStringList shown = headlines(list.get());
        QStringList expected = c.found;
        shown.sort();
        expected.sort();
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(doc->m_scopeText, c.scope);
        EXPECT_EQ(doc->m_titleOnly, c.titleOnly ? 1 : 0);
    }
}

TEST_F(SearchQueryTest, TheScopeBoxListsCategoriesByNameWithTheirChannels)
{
    QStringList entries;
    std::vector<int> levels;
    for (int i = 0; i < form->scopeBox()->count(); ++i) {
        entries << form->scopeBox()->itemText(i);
        levels.push_back(form->scopeBox()->EntryLevel(i));
    }
    EXPECT_EQ(entries, QStringList({"All Channels", "Computing", "Tech", "Finance", "Markets"}));
    EXPECT_EQ(levels, std::vector<int>({0, 1, 2, 1, 2}));
    EXPECT_EQ(form->scopeBox()->currentIndex(), 0);
}

TEST_F(SearchQueryTest, NothingFoundShowsOneBoldRowAndAnEmptyTextNoRowAtAll)
{
    find("zebra", "All Channels", false);
    ASSERT_EQ(headlines(list.get()), QStringList{"No items containing 'zebra' found."});
    EXPECT_TRUE(list->model()->index(0, 0).data(CHeadlineModel::UnreadRole).toBool());
    EXPECT_TRUE(list->RowStoryId(0).isEmpty());
    EXPECT_GT(columnWidth(list.get(), 2), 0); // the Channel column stays

    find("", "All Channels", false);
    EXPECT_EQ(list->model()->rowCount(), 0);
}

TEST_F(SearchQueryTest, NewSearchEmptiesTheListButKeepsScopeAndMatchChoice)
{
    find("net", "Tech", true);
    ASSERT_EQ(list->model()->rowCount(), 1);
    form->newSearchButton()->click();
    EXPECT_EQ(list->model()->rowCount(), 0);
    EXPECT_TRUE(form->searchEdit()->text().isEmpty());
    EXPECT_TRUE(doc->m_searchText.isEmpty());
    EXPECT_EQ(form->scopeBox()->currentText(), "Tech");
    EXPECT_TRUE(form->titleOnlyButton()->isChecked());
    // A channel change afterwards keeps the scope on show.
    doc->UpdateAllViews(nullptr, HINT_SEARCH_CHANNEL_ADDED);
    EXPECT_EQ(form->scopeBox()->currentText(), "Tech");
}

TEST_F(SearchQueryTest, ResultsOfSeveralChannelsSortTogether)
{
    find("n", "All Channels", true);
    // Newest first by default, whichever channel a story is in.
    EXPECT_EQ(headlines(list.get()),
              QStringList({"Netball final", "NETWORK OUTAGE", "Bond yields", "Internet stocks"}));
    list->OnColumnClick(0);
    EXPECT_EQ(headlines(list.get()),
              QStringList({"Bond yields", "Internet stocks", "Netball final", "NETWORK OUTAGE"}));
    EXPECT_EQ(cell(list.get(), 0, 2), "Markets");
}

TEST_F(SearchQueryTest, TheSubchannelColumnShowsRawCategoriesAndFollowsTheLastChannel)
{
    const uint32_t local = eb::addChannel("Local", "Finance");
    addStory(markets, "Tax news", 7, QString(), "News//Local");
    addStory(local, "Tax office", 8);
    ASSERT_TRUE(eb::waitForIdle());
    doc->UpdateAllViews(nullptr, HINT_SEARCH_CHANNEL_ADDED);

    find("tax", "Markets", false);
    ASSERT_EQ(headlines(list.get()), QStringList{"Tax news"});
    EXPECT_EQ(cell(list.get(), 0, 3), "News//Local");
    EXPECT_GT(columnWidth(list.get(), 3), 0);
    // The category's last channel has no categorized match: the column goes.
    find("tax", "Finance", false);
    EXPECT_EQ(list->model()->rowCount(), 2);
    EXPECT_EQ(columnWidth(list.get(), 3), 0);
}

TEST_F(SearchQueryTest, ChangedAndDeletedStoriesUpdateTheirRows)
{
    find("internet", "Markets", false);
    ASSERT_EQ(list->model()->rowCount(), 1);
    uint32_t channel = 0;
    uint32_t number = 0;
    ASSERT_TRUE(CService::ParseStoryID(list->RowStoryId(0), channel, number));
    ASSERT_EQ(VTMarkStoryRead(channel, number, STORYREAD_QUIET), 1);
    ASSERT_TRUE(eb::waitForIdle());
    CUpdateHint changed(channel, {number});
    doc->UpdateAllViews(nullptr, HINT_SEARCH_STORIES_ATTRIBUTE_CHANGED, &changed);
    EXPECT_FALSE(list->model()->index(0, 0).data(CHeadlineModel::UnreadRole).toBool());
    // The last found story deleted: no row, not even the nothing-found one.
    CUpdateHint deleted(channel, {number});
    doc->UpdateAllViews(nullptr, HINT_SEARCH_STORIES_DELETED, &deleted);
    EXPECT_EQ(list->model()->rowCount(), 0);
}

} // namespace
