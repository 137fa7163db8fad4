// Category texts: one text may hold several paths separated by ";", and a level name that
// contains "/" writes "&slash;" whose own ";" never separates paths.

#include "tests/vantrel/engine_fixture.h"
#include "vantrel/core/textrules.h"

#include <QFile>
#include <QMap>

using namespace enginetest;
namespace eb = rhtest::engine;

TEST(CategoryPaths, SlashEntityStaysInsideItsPath)
{
    using vantrel::splitCategoryPaths;
    EXPECT_EQ(splitCategoryPaths("Film&slash;TV"), QStringList{"Film&slash;TV"});
    EXPECT_EQ(splitCategoryPaths("Sport;News/Local"), (QStringList{"Sport", "News/Local"}));
    // The escape matches without regard to case.
    EXPECT_EQ(splitCategoryPaths("A&SLASH;B;C"), (QStringList{"A&SLASH;B", "C"}));
    EXPECT_EQ(splitCategoryPaths("Arts/Film&Slash;TV;Film&slash;TV/Reviews"),
              (QStringList{"Arts/Film&Slash;TV", "Film&slash;TV/Reviews"}));
    // An entity at the very end, and a ";" right after one that ends a path.
    EXPECT_EQ(splitCategoryPaths("News&slash;"), QStringList{"News&slash;"});
    EXPECT_EQ(splitCategoryPaths("A&slash;;B"), (QStringList{"A&slash;", "B"}));
}

TEST(CategoryPaths, EmptyPiecesKeepTheirPlaces)
{
    using vantrel::splitCategoryPaths;
    EXPECT_EQ(splitCategoryPaths(QString()), QStringList{QString()});
    EXPECT_EQ(splitCategoryPaths("a;;b"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(splitCategoryPaths(";a;"), (QStringList{"", "a", ""}));
    // Something that only looks like part of the escape separates as usual.
    EXPECT_EQ(splitCategoryPaths("slash;x"), (QStringList{"slash", "x"}));
    EXPECT_EQ(splitCategoryPaths("&slas;x"), (QStringList{"&slas", "x"}));
}

TEST(CategoryPaths, LevelNamesShowTheSlash)
{
    EXPECT_EQ(vantrel::categoryLevelName("Film&slash;TV"), "Film/TV");
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
        CServices* services = GetCServices();
        CService* c = services ? services->GetServiceByID(channelId) : nullptr;
        QString text = "untouched";
        const int result = c ? c->GetCategory(text, index) : -1;
        ReleaseCServices();
        return {result, text};
    }
};

} // namespace

TEST_F(ChannelCategoryTest, GetCategoryReturnsWholePaths)
{
    const uint32_t film = eb::addChannel("Reel", "Film&slash;TV");
    const uint32_t two = eb::addChannel("Town", "Sport;News/Local");
    const uint32_t upper = eb::addChannel("Mixed", "A&SLASH;B;C");
    ASSERT_NE(film, 0u);
    ASSERT_NE(two, 0u);
    ASSERT_NE(upper, 0u);

    EXPECT_EQ(category(film, 0), std::make_pair(1, QString("Film&slash;TV")));
    EXPECT_EQ(category(film, 1), std::make_pair(0, QString()));

    EXPECT_EQ(category(two, 0), std::make_pair(1, QString("Sport")));
    EXPECT_EQ(category(two, 1), std::make_pair(1, QString("News/Local")));
    EXPECT_EQ(category(two, 2), std::make_pair(0, QString()));

    EXPECT_EQ(category(upper, 0), std::make_pair(1, QString("A&SLASH;B")));
    EXPECT_EQ(category(upper, 1), std::make_pair(1, QString("C")));
    EXPECT_EQ(category(upper, -1), std::make_pair(0, QString()));
}

TEST_F(ChannelCategoryTest, CategoryListNamesTheTopLevelWithItsSlash)
{
    const uint32_t reel = eb::addChannel("Reel", "Film&slash;TV");
    const uint32_t marquee = eb::addChannel("Marquee", "film&SLASH;tv/Reviews;Theatre");
    const uint32_t town = eb::addChannel("Town", "Sport;News/Local");
    QMap<QString, QString> map;
    ASSERT_EQ(GetCategoryList(map, 0, 1), 3);
    EXPECT_EQ(map.value("Film/TV"), QString::number(reel));
    EXPECT_EQ(map.value("film/tv"), QString::number(marquee));
    // A channel counts under its first category only.
    EXPECT_EQ(map.value("Sport"), QString::number(town));
    EXPECT_FALSE(map.contains("Film&slash"));
    EXPECT_FALSE(map.contains("Theatre"));
    EXPECT_FALSE(map.contains("News"));
}

TEST_F(ChannelCategoryTest, CatalogueFolderWithASlashIsOneCategory)
{
    // A catalogue folder "Film/TV" becomes the category of the channels inside it.
    const QString opml = rhtest::testRoot() + "/catalogue.opml";
    QFile f(opml);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<?xml version=\"1.0\"?><opml version=\"2.0\"><head><title>C</title></head><body>"
            "<outline text=\"Film/TV\">"
            "<outline text=\"Reel\" type=\"rss\" xmlUrl=\"file:///nowhere/reel.xml\"/>"
            "</outline></body></opml>");
    f.close();
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
