#include "tests/feeds/qtprinters.h"
#include "vantrel/core/feeds/feeds.h"

#include <gtest/gtest.h>

using namespace vantrel::feeds;

namespace
{

const QUrl kBase(QStringLiteral("https://news.example.org/feeds/world.xml"));

const char* const kRss = R"(<?xml version="1.0" encoding="UTF-8"?>
<rss version="2.0" xmlns:content="http://purl.org/rss/1.0/modules/content/"
     xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:media="http://search.yahoo.com/mrss/">
  <channel>
    <title>World  &amp; Nation</title>
    <link>/world/</link>
    <description>Stories from &lt;b&gt;everywhere&lt;/b&gt;</description>
    <image><url>images/logo.png</url><title>logo</title><link>/</link></image>
    <lastBuildDate>Tue, 10 Jun 2003 09:41:01 GMT</lastBuildDate>
    <item>
      <title>Star City &lt;em&gt;launch&lt;/em&gt;
         postponed</title>
      <link>https://news.example.org/2003/06/03/star-city</link>
      <description>How do Americans get ready to work with Russians aboard the &lt;a href="http://iss.example.com/"&gt;station&lt;/a&gt;?</description>
      <content:encoded><![CDATA[<p>The long version</p>]]></content:encoded>
      <pubDate>Tue, 03 Jun 2003 09:39:21 +0200</pubDate>
      <guid isPermaLink="false">urn:story:5726</guid>
      <category>Space</category>
      <category> Science / Astronomy </category>
      <category>Space</category>
      <enclosure url="/media/launch.mp4" length="12216320" type="video/mp4"/>
    </item>
    <item>
      <description>Only a body here</description>
      <guid>https://news.example.org/2003/05/30/permalink</guid>
      <pubDate>Fri, 30 May 2003 11:06:42 EDT</pubDate>
    </item>
    <item>
      <title>Second &amp;amp; third</title>
      <content:encoded>&lt;p&gt;Encoded only&lt;/p&gt;</content:encoded>
      <dc:date>2003-05-27T08:37:32+01:00</dc:date>
      <dc:subject>Politics/Europe//Brussels</dc:subject>
      <media:content url="pics/chart.png" medium="image" fileSize="4096"/>
    </item>
  </channel>
</rss>)";

const char* const kAtom = R"(<?xml version="1.0" encoding="utf-8"?>
<feed xmlns="http://www.w3.org/2005/Atom" xml:base="https://blog.example.com/atom/">
  <title type="html">Dive &lt;b&gt;into&lt;/b&gt; mark</title>
  <subtitle type="text">A &lt;em&gt;lot&lt;/em&gt; of effort</subtitle>
  <updated>2005-07-31T12:29:29Z</updated>
  <id>tag:blog.example.com,2003:3</id>
  <link rel="self" type="application/atom+xml" href="feed.atom"/>
  <link rel="alternate" type="text/html" href="../"/>
  <icon>favicon.ico</icon>
  <logo>logo.png</logo>
  <entry xml:base="/2005/">
    <title>Atom draft-07 snapshot</title>
    <link rel="alternate" type="text/html" href="07/28/atom"/>
    <link rel="enclosure" type="audio/mpeg" length="1337" href="audio/ph34r_my_podcast.mp3"/>
    <id>tag:blog.example.com,2003:3.2397</id>
    <updated>2005-07-31T12:29:29Z</updated>
    <published>2003-12-13T08:29:29-04:00</published>
    <category term="tech" label="Technology / Standards"/>
    <category term="atom"/>
    <summary type="xhtml"><div xmlns="http://www.w3.org/1999/xhtml"><p><i>[Update: The Atom draft is finished.]</i> &amp; more</p></div></summary>
  </entry>
  <entry>
    <title type="text">x &lt; y</title>
    <link rel="related" href="https://elsewhere.example.net/story"/>
    <updated>2005-08-01T01:02:03.5+02:00</updated>
    <content type="html">&lt;p&gt;Content &lt;b&gt;only&lt;/b&gt;&lt;/p&gt;</content>
  </entry>
</feed>)";

} // namespace

TEST(FeedParserRss, ReadsChannelFields)
{
    const ParseResult result = parseFeed(kRss, kBase);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.feed.title, "World & Nation");
    EXPECT_EQ(result.feed.homePage, "https://news.example.org/world/");
    EXPECT_EQ(result.feed.description, "Stories from <b>everywhere</b>");
    EXPECT_EQ(result.feed.logoUrl, "https://news.example.org/feeds/images/logo.png");
    EXPECT_EQ(result.feed.updated, QDateTime(QDate(2003, 6, 10), QTime(9, 41, 1), Qt::UTC));
    ASSERT_EQ(result.feed.items.size(), 3u);
}

TEST(FeedParserRss, ReadsItemFields)
{
    const ParseResult result = parseFeed(kRss, kBase);
    ASSERT_TRUE(result.ok);
    const Item& item = result.feed.items[0];
    EXPECT_EQ(item.headline, "Star City launch postponed");
    EXPECT_EQ(item.link, "https://news.example.org/2003/06/03/star-city");
    // The description wins over content:encoded and keeps its markup.
    EXPECT_TRUE(item.summary.startsWith("How do Americans"));
    EXPECT_TRUE(item.summary.contains("<a href=\"http://iss.example.com/\">station</a>"));
    EXPECT_EQ(item.identity, "urn:story:5726");
    EXPECT_EQ(item.published, QDateTime(QDate(2003, 6, 3), QTime(7, 39, 21), Qt::UTC));
    EXPECT_EQ(item.categories, QStringList({"Space", "Science/Astronomy"}));
    EXPECT_EQ(item.enclosure.url, "https://news.example.org/media/launch.mp4");
    EXPECT_EQ(item.enclosure.mimeType, "video/mp4");
    EXPECT_EQ(item.enclosure.length, 12216320);
}

TEST(FeedParserRss, PermalinkGuidBecomesLinkAndIdentity)
{
    const ParseResult result = parseFeed(kRss, kBase);
    ASSERT_TRUE(result.ok);
    const Item& item = result.feed.items[1];
    EXPECT_EQ(item.identity, "https://news.example.org/2003/05/30/permalink");
    EXPECT_EQ(item.link, "https://news.example.org/2003/05/30/permalink");
    // No title: the summary stands in for the headline.
    EXPECT_EQ(item.headline, "Only a body here");
    EXPECT_EQ(item.summary, "Only a body here");
    // EDT is four hours behind UTC.
    EXPECT_EQ(item.published, QDateTime(QDate(2003, 5, 30), QTime(15, 6, 42), Qt::UTC));
    EXPECT_EQ(item.enclosure.url, "");
    EXPECT_EQ(bundletTypeFor(item.enclosure), 0x200u);
}

TEST(FeedParserRss, NamespacedExtensionsFillGaps)
{
    const ParseResult result = parseFeed(kRss, kBase);
    ASSERT_TRUE(result.ok);
    const Item& item = result.feed.items[2];
    EXPECT_EQ(item.headline, "Second & third");
    EXPECT_EQ(item.summary, "<p>Encoded only</p>");
    EXPECT_EQ(item.published, QDateTime(QDate(2003, 5, 27), QTime(7, 37, 32), Qt::UTC));
    EXPECT_EQ(item.categories, QStringList({"Politics/Europe/Brussels"}));
    EXPECT_EQ(item.enclosure.url, "https://news.example.org/feeds/pics/chart.png");
    EXPECT_EQ(item.enclosure.length, 4096);
    EXPECT_EQ(bundletTypeFor(item.enclosure), 0x10u);
    // Neither guid nor link: a hash of headline and date, stable across parses.
    EXPECT_TRUE(item.identity.startsWith("hash:"));
    EXPECT_EQ(parseFeed(kRss, kBase).feed.items[2].identity, item.identity);
}

TEST(FeedParserRss, IdentityFallsBackToLinkAndHashDiffersByDate)
{
    const QByteArray doc = R"(<rss version="2.0"><channel><title>t</title>
      <item><title>Same</title><link>http://a.example/1</link></item>
      <item><title>Same</title><pubDate>Mon, 01 Jan 2024 10:00:00 GMT</pubDate></item>
      <item><title>Same</title><pubDate>Mon, 01 Jan 2024 11:00:00 GMT</pubDate></item>
      <item><title>Blank guid</title><guid>   </guid><link>http://a.example/2</link></item>
    </channel></rss>)";
    const ParseResult result = parseFeed(doc, QUrl());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ASSERT_EQ(result.feed.items.size(), 4u);
    EXPECT_EQ(result.feed.items[0].identity, "http://a.example/1");
    EXPECT_NE(result.feed.items[1].identity, result.feed.items[2].identity);
    EXPECT_EQ(result.feed.items[3].identity, "http://a.example/2");
}

TEST(FeedParserRss, UnescapedMarkupAndUntitledStories)
{
    const QByteArray doc = R"(<rss version="2.0"><channel><title>t</title>
      <item><description><p>Kept <b>as</b> markup &amp; text</p></description></item>
      <item><description>A very long body without any title that goes on and on and on well past
        the length that a headline in the list can show to anybody</description></item>
    </channel></rss>)";
    const ParseResult result = parseFeed(doc, QUrl());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ASSERT_EQ(result.feed.items.size(), 2u);
    EXPECT_EQ(result.feed.items[0].summary, "<p>Kept <b>as</b> markup & text</p>");
    EXPECT_EQ(result.feed.items[0].headline, "Kept as markup & text");
    const QString headline = result.feed.items[1].headline;
    EXPECT_LE(headline.size(), 80);
    EXPECT_TRUE(headline.startsWith("A very long body without any title"));
    EXPECT_TRUE(headline.endsWith("...")) << headline.toStdString();
}

TEST(FeedParserRss, ItemsAfterTheChannelAreRead)
{
    const QByteArray doc = R"(<rss version="0.92"><channel><title>Sloppy</title></channel>
      <item><title>Outside</title><link>http://s.example/1</link></item></rss>)";
    const ParseResult result = parseFeed(doc, QUrl());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    ASSERT_EQ(result.feed.items.size(), 1u);
    EXPECT_EQ(result.feed.items[0].headline, "Outside");
}

TEST(FeedParserRss, UndeclaredHtmlEntitiesAreRead)
{
    const QByteArray doc = "<rss version=\"2.0\"><channel><title>Caf&eacute;&nbsp;news</title>"
                           "<item><title>Na&iuml;ve &#8220;quote&#x201D;</title></item>"
                           "</channel></rss>";
    const ParseResult result = parseFeed(doc, QUrl());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.feed.title, QString::fromUtf8("Café news"));
    EXPECT_EQ(result.feed.items[0].headline, QString::fromUtf8("Naïve “quote”"));
}

TEST(FeedParserRss, RdfFeedIsRead)
{
    const QByteArray doc = R"(<?xml version="1.0"?>
<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/"
         xmlns:dc="http://purl.org/dc/elements/1.1/">
  <channel rdf:about="http://r.example/"><title>RDF site</title><link>http://r.example/</link>
    <description>d</description></channel>
  <item rdf:about="http://r.example/1"><title>One</title><link>http://r.example/1</link>
    <dc:date>2020-02-03T04:05:06Z</dc:date></item>
</rdf:RDF>)";
    const ParseResult result = parseFeed(doc, QUrl());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.feed.title, "RDF site");
    ASSERT_EQ(result.feed.items.size(), 1u);
    EXPECT_EQ(result.feed.items[0].headline, "One");
    EXPECT_EQ(result.feed.items[0].published,
              QDateTime(QDate(2020, 2, 3), QTime(4, 5, 6), Qt::UTC));
}

TEST(FeedParserAtom, ReadsFeedFields)
{
    const ParseResult result = parseFeed(kAtom, QUrl("https://ignored.example/"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.feed.title, "Dive into mark");
    EXPECT_EQ(result.feed.description, "A &lt;em&gt;lot&lt;/em&gt; of effort");
    EXPECT_EQ(result.feed.homePage, "https://blog.example.com/");
    EXPECT_EQ(result.feed.logoUrl, "https://blog.example.com/atom/logo.png");
    EXPECT_EQ(result.feed.updated, QDateTime(QDate(2005, 7, 31), QTime(12, 29, 29), Qt::UTC));
    ASSERT_EQ(result.feed.items.size(), 2u);
}

TEST(FeedParserAtom, ReadsEntryFieldsWithNestedXmlBase)
{
    const ParseResult result = parseFeed(kAtom, QUrl());
    ASSERT_TRUE(result.ok);
    const Item& entry = result.feed.items[0];
    EXPECT_EQ(entry.identity, "tag:blog.example.com,2003:3.2397");
    EXPECT_EQ(entry.headline, "Atom draft-07 snapshot");
    EXPECT_EQ(entry.link, "https://blog.example.com/2005/07/28/atom");
    EXPECT_EQ(entry.enclosure.url, "https://blog.example.com/2005/audio/ph34r_my_podcast.mp3");
    EXPECT_EQ(entry.enclosure.mimeType, "audio/mpeg");
    EXPECT_EQ(entry.enclosure.length, 1337);
    EXPECT_EQ(bundletTypeFor(entry.enclosure), 0x2u);
    // published wins over updated; the offset is applied.
    EXPECT_EQ(entry.published, QDateTime(QDate(2003, 12, 13), QTime(12, 29, 29), Qt::UTC));
    // The label names the category when there is one, else the term.
    EXPECT_EQ(entry.categories, QStringList({"Technology/Standards", "atom"}));
    EXPECT_TRUE(entry.summary.contains("<i>[Update: The Atom draft is finished.]</i> &amp; more"))
        << entry.summary.toStdString();
}

TEST(FeedParserAtom, TextTitlesKeepAngleBracketsAndUpdatedStandsInForPublished)
{
    const ParseResult result = parseFeed(kAtom, QUrl());
    ASSERT_TRUE(result.ok);
    const Item& entry = result.feed.items[1];
    EXPECT_EQ(entry.headline, "x < y");
    // No alternate link: the first other link is used; it is also the identity (no id).
    EXPECT_EQ(entry.link, "https://elsewhere.example.net/story");
    EXPECT_EQ(entry.identity, "https://elsewhere.example.net/story");
    EXPECT_EQ(entry.summary, "<p>Content <b>only</b></p>");
    EXPECT_EQ(entry.published, QDateTime(QDate(2005, 7, 31), QTime(23, 2, 3, 500), Qt::UTC));
}

TEST(FeedDates, Rfc822Forms)
{
    const QDateTime expected(QDate(2002, 9, 7), QTime(9, 42, 31), Qt::UTC);
    EXPECT_EQ(parseRfc822Date("Sat, 07 Sep 2002 09:42:31 GMT"), expected);
    EXPECT_EQ(parseRfc822Date("Sat, 07 Sep 2002 11:42:31 +0200"), expected);
    EXPECT_EQ(parseRfc822Date("Sat, 07 Sep 2002 01:42:31 PST"), expected);
    EXPECT_EQ(parseRfc822Date("Sat, 07 Sep 2002 04:12:31 -05:30"), expected);
    EXPECT_EQ(parseRfc822Date("7 Sep 02 09:42:31 UT"), expected);
    EXPECT_EQ(parseRfc822Date("Saturday, 07 September 2002 09:42:31 Z"), expected);
    EXPECT_EQ(parseRfc822Date("07 Sep 2002 09:42 GMT"),
              QDateTime(QDate(2002, 9, 7), QTime(9, 42), Qt::UTC));
    EXPECT_TRUE(parseRfc822Date("Sat, 07 Sep 2002 09:42:31 GMT").timeSpec() == Qt::UTC);
    EXPECT_FALSE(parseRfc822Date("yesterday").isValid());
    EXPECT_FALSE(parseRfc822Date("31 Feb 2002 10:00:00 GMT").isValid());
    EXPECT_FALSE(parseRfc822Date("07 Foo 2002 10:00:00 GMT").isValid());
    EXPECT_FALSE(parseRfc822Date("07 Sep 2002 25:00:00 GMT").isValid());
    EXPECT_FALSE(parseRfc822Date("07 Sep 2002 10:00:00 XYZ").isValid());
}

TEST(FeedDates, Rfc3339Forms)
{
    const QDateTime expected(QDate(2002, 9, 7), QTime(9, 42, 31), Qt::UTC);
    EXPECT_EQ(parseRfc3339Date("2002-09-07T09:42:31Z"), expected);
    EXPECT_EQ(parseRfc3339Date("2002-09-07t11:42:31+02:00"), expected);
    EXPECT_EQ(parseRfc3339Date("2002-09-06T23:42:31-10:00"), expected);
    EXPECT_EQ(parseRfc3339Date("2002-09-07T09:42:31.250Z"),
              QDateTime(QDate(2002, 9, 7), QTime(9, 42, 31, 250), Qt::UTC));
    EXPECT_EQ(parseRfc3339Date("2002-09-07"), QDateTime(QDate(2002, 9, 7), QTime(0, 0), Qt::UTC));
    EXPECT_FALSE(parseRfc3339Date("2002-13-07T09:42:31Z").isValid());
    EXPECT_FALSE(parseRfc3339Date("Sat, 07 Sep 2002").isValid());
    EXPECT_FALSE(parseRfc3339Date("").isValid());
}

TEST(FeedParserCategories, PathsAreTrimmedAndEmptyLevelsDropped)
{
    const QByteArray doc = R"(<rss version="2.0"><channel><item><title>c</title>
      <category>/Sports//Golf/ </category><category>  </category><category>/</category>
      <category>Arts &amp;amp; Culture / Film</category></item></channel></rss>)";
    const ParseResult result = parseFeed(doc, QUrl());
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.feed.items[0].categories, QStringList({"Sports/Golf", "Arts & Culture/Film"}));
}

TEST(FeedParserEnclosures, TypesGiveBundletBits)
{
    EXPECT_EQ(bundletTypeFor({"http://x/a.bin", "video/quicktime", 1}), 0x4u);
    EXPECT_EQ(bundletTypeFor({"http://x/a.bin", "image/jpeg", 1}), 0x10u);
    EXPECT_EQ(bundletTypeFor({"http://x/a.bin", "Audio/MPEG", 1}), 0x2u);
    EXPECT_EQ(bundletTypeFor({"http://x/a.pdf", "application/pdf", 1}), 0x80u);
    EXPECT_EQ(bundletTypeFor({"", "video/mp4", 1}), 0x200u);
    // Without a type, the file extension decides.
    EXPECT_EQ(bundletTypeFor({"http://x/clip.MP4?x=1", "", 0}), 0x4u);
    EXPECT_EQ(bundletTypeFor({"http://x/photo.jpeg", "application/octet-stream", 0}), 0x10u);
    EXPECT_EQ(bundletTypeFor({"http://x/song.ogg", "", 0}), 0x2u);
    EXPECT_EQ(bundletTypeFor({"http://x/setup.zip", "", 0}), 0x80u);
}

TEST(FeedParserErrors, MalformedXmlNamesLineAndColumn)
{
    const QByteArray doc = "<rss version=\"2.0\">\n<channel>\n<title>a</titel>\n</channel></rss>";
    const ParseResult result = parseFeed(doc, QUrl());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.startsWith("line 3, column")) << result.error.toStdString();
    EXPECT_TRUE(result.feed.items.empty());
}

TEST(FeedParserErrors, TruncatedDocumentIsAnError)
{
    const QByteArray whole = kRss;
    const ParseResult result = parseFeed(whole.left(whole.size() / 2), kBase);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.startsWith("line ")) << result.error.toStdString();
    // A complete channel followed by a cut-off tail is still an error.
    const ParseResult tail = parseFeed(whole.left(whole.lastIndexOf("</rss>")), kBase);
    EXPECT_FALSE(tail.ok);
}

TEST(FeedParserErrors, DocumentsThatAreNoFeed)
{
    const ParseResult html = parseFeed("<html><body><p>hello</p></body></html>", QUrl());
    EXPECT_FALSE(html.ok);
    EXPECT_TRUE(html.error.contains("not a feed")) << html.error.toStdString();
    EXPECT_TRUE(html.error.contains("<html>"));
    // <feed> outside the Atom namespace is not Atom.
    EXPECT_FALSE(parseFeed("<feed><title>x</title></feed>", QUrl()).ok);
    const ParseResult empty = parseFeed("   \n", QUrl());
    EXPECT_FALSE(empty.ok);
    EXPECT_TRUE(empty.error.contains("empty"));
    EXPECT_FALSE(parseFeed("plain text, not XML", QUrl()).ok);
    const ParseResult binary = parseFeed(QByteArray("\x00\x01\x02\xff\xfe", 5), QUrl());
    EXPECT_FALSE(binary.ok);
}

TEST(FeedParserErrors, EntityExpansionAttackIsRefused)
{
    QByteArray doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [\n<!ENTITY a0 \"lollollollol\">\n";
    for (int i = 1; i <= 9; ++i) {
        doc += "<!ENTITY a" + QByteArray::number(i) + " \"";
        for (int k = 0; k < 10; ++k)
            doc += "&a" + QByteArray::number(i - 1) + ";";
        doc += "\">\n";
    }
    doc += "]>\n<rss version=\"2.0\"><channel><title>&a9;</title></channel></rss>";
    const ParseResult result = parseFeed(doc, QUrl());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.startsWith("line ")) << result.error.toStdString();
}

TEST(FeedParserErrors, TooManyItemsIsReportedNotTruncatedSilently)
{
    QByteArray doc = "<rss version=\"2.0\"><channel>";
    for (int i = 0; i <= kMaxItems; ++i)
        doc += "<item><guid>" + QByteArray::number(i) + "</guid></item>";
    doc += "</channel></rss>";
    const ParseResult result = parseFeed(doc, QUrl());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QString::number(kMaxItems))) << result.error.toStdString();
}

TEST(FeedParserErrors, OverlongTextIsReported)
{
    QByteArray doc = "<rss version=\"2.0\"><channel><item><description>";
    doc += QByteArray(kMaxTextChars + 10, 'x');
    doc += "</description></item></channel></rss>";
    const ParseResult result = parseFeed(doc, QUrl());
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains("<description>")) << result.error.toStdString();
}

TEST(HtmlText, PathologicalTextStaysFast)
{
    // Quadratic scanning would take minutes on these; linear takes milliseconds.
    const QString ampersands(2'000'000, '&');
    EXPECT_EQ(vantrel::feeds::decodeHtmlEntities(ampersands).size(), ampersands.size());
    const QString brackets = QString("<a ").repeated(300'000);
    EXPECT_EQ(plainTextFromHtml(brackets), "");
    const QString lone = QString("< ").repeated(500'000);
    EXPECT_EQ(plainTextFromHtml(lone).size(), 999'999);
}

TEST(HtmlText, PlainTextOfHtml)
{
    EXPECT_EQ(plainTextFromHtml("<p>One<br/>two</p>  <b>th</b>ree"), "One two three");
    EXPECT_EQ(plainTextFromHtml("a < b and c > d"), "a < b and c > d");
    EXPECT_EQ(plainTextFromHtml("x<script>alert('<b>')</script>y"), "xy");
    EXPECT_EQ(plainTextFromHtml("<a title=\"1 > 0\">link</a>"), "link");
    EXPECT_EQ(plainTextFromHtml("AT&T &amp; &unknown; &#0; &#x41;"),
              QString("AT&T & &unknown; ") + QChar(0xFFFD) + " A");
}

TEST(FeedParserEncoding, LegacyEncodingsAreRead)
{
    const QByteArray latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
        "<rss version=\"2.0\"><channel><title>Caf\xe9</title></channel></rss>";
    const ParseResult a = parseFeed(latin1, QUrl());
    ASSERT_TRUE(a.ok) << a.error.toStdString();
    EXPECT_EQ(a.feed.title, QString::fromUtf8("Café"));

    const QByteArray cp1252 = "<?xml version=\"1.0\" encoding=\"windows-1252\"?>"
                              "<rss version=\"2.0\"><channel><title>\x93Quoted\x94 \x80 5 "
                              "caf\xe9</title></channel></rss>";
    const ParseResult b = parseFeed(cp1252, QUrl());
    ASSERT_TRUE(b.ok) << b.error.toStdString();
    EXPECT_EQ(b.feed.title, QString::fromUtf8("“Quoted” € 5 café"));

    // An encoding nobody knows is reported, not guessed.
    const ParseResult c =
        parseFeed("<?xml version=\"1.0\" encoding=\"x-no-such-charset\"?>"
                  "<rss version=\"2.0\"><channel><title>t</title></channel></rss>",
                  QUrl());
    EXPECT_FALSE(c.ok);
    EXPECT_TRUE(c.error.startsWith("line ")) << c.error.toStdString();
}
