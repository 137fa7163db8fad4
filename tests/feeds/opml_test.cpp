#include "tests/feeds/qtprinters.h"
#include "vantrel/core/feeds/feeds.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace vantrel::feeds;

namespace
{

const char* const kCatalogue = R"(<?xml version="1.0" encoding="UTF-8"?>
<opml version="2.0" xmlns:vantrel="http://vantrel.example/opml">
  <head><title>Demo  directory</title></head>
  <body>
    <outline text="Loose" xmlUrl="loose.xml"/>
    <outline text="News">
      <outline text="World" xmlUrl="feeds/world.xml" htmlUrl="https://news.example.org/"
               description="Stories from everywhere" created="Mon, 02 Mar 2026 08:00:00 GMT"
               vantrel:secure="1" vantrel:homeServer="0" type="rss"/>
      <outline text="Local / Regional">
        <outline title="City" url="https://city.example/rss"/>
      </outline>
    </outline>
    <outline text="Sport">
      <outline text="World again" xmlUrl="feeds/world.xml"/>
    </outline>
    <outline text="Tagged" xmlUrl="https://tags.example/feed"
             category="/Boston/Weather, /Harvard/Berkman,Tech"/>
    <outline text="">
      <outline text="In a nameless folder" xmlUrl="nameless.xml"/>
    </outline>
  </body>
</opml>)";

const OpmlEntry* findEntry(const OpmlResult& result, const QString& url)
{
    for (const OpmlEntry& e : result.entries) {
        if (e.feedUrl == url)
            return &e;
    }
    return nullptr;
}

} // namespace

// Folder levels are joined by "/", a "/" inside a folder name is written "&slash;", a folder
// without a name adds no level, and a category attribute adds its own paths.
TEST(OpmlSample, EntriesInOrderWithTheirFieldsAndCategoryPaths)
{
    const OpmlResult result = parseOpml(kCatalogue, QUrl("file:///srv/demo/directory.opml"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.title, "Demo directory");
    QStringList titles; // in the document's order
    for (const OpmlEntry& e : result.entries)
        titles << e.title;
    EXPECT_EQ(titles, QStringList({"Loose", "World", "City", "Tagged", "In a nameless folder"}));
    const struct {
        const char* url;
        QStringList paths;
    } cases[] = {
        {"https://city.example/rss", {"News/Local &slash; Regional"}},
        {"https://tags.example/feed", {"Boston/Weather", "Harvard/Berkman", "Tech"}},
        {"file:///srv/demo/loose.xml", {}},
        {"file:///srv/demo/nameless.xml", {}},
    };
    for (const auto& c : cases) {
        const OpmlEntry* entry = findEntry(result, c.url);
        ASSERT_NE(entry, nullptr) << c.url;
        EXPECT_EQ(entry->categoryPaths, c.paths) << c.url;
    }
    EXPECT_FALSE(findEntry(result, "file:///srv/demo/loose.xml")->created.isValid());

    const OpmlEntry* world = findEntry(result, "file:///srv/demo/feeds/world.xml");
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(QStringList({world->title, world->homePage, world->description}),
              QStringList({"World", "https://news.example.org/", "Stories from everywhere"}));
    EXPECT_EQ(world->created, QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC));
    for (const auto& [name, value] :
         {std::pair("vantrel:secure", "1"), {"vantrel:homeServer", "0"}, {"type", "rss"}})
        EXPECT_EQ(world->attributes.value(name), value) << name;
    // In two folders: one entry (listed once above) with both paths.
    EXPECT_EQ(world->categoryPaths, QStringList({"News", "Sport"}));
}

TEST(OpmlParser, ErrorsAreReported)
{
    const struct {
        QByteArray doc;
        const char* says; // a pattern
    } cases[] = {
        {"<opml version=\"1.0\"><body>" + QByteArray("<outline text=\"f\">").repeated(200) +
             QByteArray("</outline>").repeated(200) + "</body></opml>",
         "nested"},
        {"<rss version=\"2.0\"><channel/></rss>", "not an OPML"},
        {"<opml version=\"1.0\">\n<body>\n<outline text=\"a\" xmlUrl=\"x\">\n</body>", "^line "},
        {"", ""},
    };
    for (const auto& c : cases) {
        const OpmlResult result = parseOpml(c.doc, QUrl());
        EXPECT_FALSE(result.ok) << c.says;
        EXPECT_TRUE(result.error.contains(QRegularExpression(c.says)))
            << result.error.toStdString();
        EXPECT_TRUE(result.entries.empty()) << c.says;
    }
}

TEST(OpmlParser, OnlyAddressesAReaderFollowsMakeEntries)
{
    const QByteArray doc = R"xml(<opml version="2.0"><body>
      <outline text="Script" xmlUrl="javascript:alert(1)" htmlUrl="http://ok.example/"/>
      <outline text="Data" xmlUrl="data:application/rss+xml,&lt;rss/&gt;"/>
      <outline text="Local" xmlUrl="file:///etc/passwd"/>
      <outline text="Wrapped" xmlUrl="feed://news.example/rss" htmlUrl="javascript:x"/>
      <outline text="Fine" xmlUrl="https://news.example/atom"/>
    </body></opml>)xml";
    const OpmlResult remote = parseOpml(doc, QUrl("https://catalogue.example/list.opml"));
    ASSERT_TRUE(remote.ok) << remote.error.toStdString();
    QStringList urls;
    for (const OpmlEntry& e : remote.entries)
        urls << e.feedUrl;
    EXPECT_EQ(urls, QStringList({"http://news.example/rss", "https://news.example/atom"}));
    EXPECT_EQ(remote.entries[0].homePage, "");
    // A catalogue the person opened from disk may name local feeds.
    const OpmlResult local = parseOpml(doc, QUrl("file:///home/me/list.opml"));
    ASSERT_EQ(local.entries.size(), 3u);
    EXPECT_EQ(local.entries[0].feedUrl, "file:///etc/passwd");
}
