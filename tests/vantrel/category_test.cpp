// Category texts: one text may hold several paths separated by ";", and a level name that
// contains "/" writes "&slash;" whose own ";" never separates paths.

#include "tests/vantrel/engine_fixture.h"
#include "vantrel/core/textrules.h"

#include <QMap>

using namespace enginetest;

TEST(CategoryPaths, SplitAtSemicolonsExceptTheSlashEntitys)
{
    const struct {
        const char* text;
        QStringList paths;
    } cases[] = {
        // clang-format off
        {"Film&slash;TV", {"Film&slash;TV"}}, {"Sport;News/Local", {"Sport", "News/Local"}},
        {"A&SLASH;B;C", {"A&SLASH;B", "C"}}, // the escape in any case
        {"Arts/Film&Slash;TV;Film&slash;TV/Reviews",
         {"Arts/Film&Slash;TV", "Film&slash;TV/Reviews"}},
        {"News&slash;", {"News&slash;"}}, {"A&slash;;B", {"A&slash;", "B"}},
        // Empty pieces keep their places.
        {"", {""}}, {"a;;b", {"a", "", "b"}}, {";a;", {"", "a", ""}},
        // What only looks like part of the escape separates as usual.
        {"slash;x", {"slash", "x"}}, {"&slas;x", {"&slas", "x"}},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(vantrel::splitCategoryPaths(c.text), c.paths) << c.text;
    EXPECT_EQ(vantrel::categoryLevelName("A&SLASH;B&Slash;C"), "A/B/C");
    EXPECT_EQ(vantrel::categoryLevelName("Plain"), "Plain");
}

namespace
{

class ChannelCategoryTest : public EngineTest
{
protected:
    // GetCategory of a channel: (result, text).
    std::pair<int, QString> category(uint32_t channelId, int index)
    {
        QString text = "untouched";
        const int result = withChannel(
            channelId, [&](CService* c) { return c ? c->GetCategory(text, index) : -1; });
        return {result, text};
    }
};

} // namespace

TEST_F(ChannelCategoryTest, GetCategoryReturnsWholePaths)
{
    const uint32_t id = eb::addChannel("Channel", "A&SLASH;B;News/Local");
    EXPECT_EQ(category(id, 0), std::make_pair(1, QString("A&SLASH;B")));
    EXPECT_EQ(category(id, 1), std::make_pair(1, QString("News/Local")));
    EXPECT_EQ(category(id, 2), std::make_pair(0, QString()));
    EXPECT_EQ(category(id, -1), std::make_pair(0, QString()));
}

TEST_F(ChannelCategoryTest, CategoryListNamesTheTopLevelWithItsSlash)
{
    const uint32_t reel = eb::addChannel("Reel", "Film&slash;TV");
    const uint32_t marquee = eb::addChannel("Marquee", "film&SLASH;tv/Reviews;Theatre");
    const uint32_t town = eb::addChannel("Town", "Sport;News/Local");
    const uint32_t scores = eb::addChannel("Scores", "Sport/Golf");
    eb::addChannel("Loose");
    QMap<QString, QString> map;
    ASSERT_EQ(GetCategoryList(map, 0, 1), 3);
    EXPECT_EQ(map.value("Film/TV"), QString::number(reel));
    EXPECT_EQ(map.value("film/tv"), QString::number(marquee));
    // A channel counts under its first category only; channels of one category are listed
    // together.
    EXPECT_EQ(map.value("Sport"), QString("%1,%2").arg(town).arg(scores));
    EXPECT_EQ(map.keys(), QStringList({"Film/TV", "Sport", "film/tv"}));
}

TEST_F(ChannelCategoryTest, CatalogueFolderWithASlashIsOneCategory)
{
    const QString opml = // a folder "Film/TV" becomes the category of the channels inside it
        writeFile(rhtest::testRoot() + "/catalogue.opml",
                  "<?xml version=\"1.0\"?><opml version=\"2.0\"><head><title>C</title></head><body>"
                  "<outline text=\"Film/TV\">"
                  "<outline text=\"Reel\" type=\"rss\" xmlUrl=\"file:///nowhere/reel.xml\"/>"
                  "</outline></body></opml>");
    QString error;
    ASSERT_TRUE(engine()->addCatalogue(opml, &error)) << error.toStdString();
    ASSERT_TRUE(eb::waitForIdle());

    std::vector<std::unique_ptr<VTDirectoryRecord>> records;
    ASSERT_EQ(VTBriskBuildDirectoryEntryList(records), 1);
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(VTSubscribeToChannel(nullptr, records.front()->entryId), 1);
    ASSERT_TRUE(eb::waitForIdle());

    uint32_t reel = 0;
    CServices* services = GetCServices();
    ASSERT_EQ(services->GetNoServices(), 1);
    services->GetService(0)->GetServiceID(reel);
    ReleaseCServices();
    EXPECT_EQ(category(reel, 0), std::make_pair(1, QString("Film&slash;TV")));
}
