// What the corpus cannot show: helper contracts, limits and cancelling.

#include "tests/feeds/qtprinters.h"
#include "vantrel/core/feeds/feeds.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace vantrel::feeds;

namespace
{

QByteArray rssWithItems(int count, const QByteArray& extra = QByteArray())
{
    QByteArray doc = "<rss version=\"2.0\"><channel><title>t</title>";
    for (int i = 0; i < count; ++i)
        doc += "<item><title>Story " + QByteArray::number(i) + "</title><guid>" +
               QByteArray::number(i) + "</guid></item>";
    return doc + extra + "</channel></rss>";
}

} // namespace

TEST(FeedDates, EachParserReadsItsOwnForms)
{
    const QDateTime expected(QDate(2002, 9, 7), QTime(9, 42, 31), Qt::UTC);
    const struct {
        QDateTime (*parse)(const QString&);
        const char* text;
        bool valid;
    } cases[] = {
        // clang-format off
        {parseRfc822Date, "Sat, 07 Sep 2002 09:42:31 GMT", true},
        {parseRfc822Date, "Saturday, 07-Sep-02 09:42:31 GMT", true},
        {parseRfc822Date, "2002-09-07T09:42:31Z", false},
        {parseRfc3339Date, "2002-09-07T09:42:31Z", true},
        {parseRfc3339Date, "2002-09-07T11:42:31+02:00", true},
        {parseRfc3339Date, "Sat, 07 Sep 2002 09:42:31 GMT", false}, {parseRfc3339Date, "", false},
        {parseFeedDate, "Sat, 07 Sep 2002 09:42:31 GMT", true},
        {parseFeedDate, "2002-09-07T09:42:31Z", true}, {parseFeedDate, "2002-09-07 junk", false},
        {parseFeedDate, "Sat Sep  7 09:42:31 2002", true},
        // clang-format on
    };
    for (const auto& c : cases) {
        const QDateTime date = c.parse(QString::fromLatin1(c.text));
        EXPECT_EQ(date.isValid(), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(std::pair(date, date.timeSpec()), std::pair(expected, Qt::UTC)) << c.text;
        }
    }
}

TEST(FeedEnclosures, TypesGiveBundletBits)
{
    const struct {
        Enclosure enclosure;
        uint32_t bits;
    } cases[] = {
        // clang-format off
        {{"http://x/a.bin", "video/quicktime", 1}, 0x4}, {{"", "video/mp4", 1}, 0x200},
        {{"http://x/a.bin", "image/jpeg", 1}, 0x10}, {{"http://x/a.bin", "Audio/MPEG", 1}, 0x2},
        {{"http://x/a.pdf", "application/pdf", 1}, 0x80},
        // Without a type, the file extension decides.
        {{"http://x/clip.MP4?x=1", "", 0}, 0x4}, {{"http://x/song.ogg", "", 0}, 0x2},
        {{"http://x/photo.jpeg", "application/octet-stream", 0}, 0x10},
        {{"http://x/setup.zip", "", 0}, 0x80},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_EQ(bundletTypeFor(c.enclosure), c.bits) << c.enclosure.url.toStdString();
}

TEST(HtmlText, EntitiesAndPlainText)
{
    const struct {
        const char* html;
        const char* plain;
    } cases[] = {
        {"<p>One<br/>two</p>  <b>th</b>ree", "One two three"},
        {"a < b and c > d", "a < b and c > d"},
        {"x<script>alert('<b>')</script>y", "xy"},
        {"<a title=\"1 > 0\">link</a>", "link"},
        {"<b class=\"x>Quoted</b> rest", "Quoted rest"},
        {"AT&T &amp; &unknown; &#0; &#x41;", "AT&T & &unknown; \xEF\xBF\xBD A"},
        {"&rArr;&hellip;&hearts;&#150;&copy 2005",
         "\xE2\x87\x92\xE2\x80\xA6\xE2\x99\xA5\xE2\x80\x93\xC2\xA9 2005"},
        {"&notit; &hellip &amp", "\xC2\xACit; &hellip &"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plainTextFromHtml(QString::fromUtf8(c.html)), QString::fromUtf8(c.plain))
            << c.html;
    // Entity decoding keeps markup: it is for text, not a sanitiser.
    EXPECT_EQ(decodeHtmlEntities("&lt;b&gt; &NotEqualTilde;"),
              QString::fromUtf8("<b> \u2242\u0338"));
}

TEST(HtmlText, PathologicalTextStaysLinear)
{
    // Quadratic scanning would take minutes on these; linear takes milliseconds.
    const QString ampersands(2'000'000, '&');
    EXPECT_EQ(decodeHtmlEntities(ampersands).size(), ampersands.size());
    const QString names = QString("&abcdefghijklmnopqrstuvwxyzabcdefghij").repeated(50'000);
    EXPECT_EQ(decodeHtmlEntities(names), names);
    EXPECT_EQ(plainTextFromHtml(QString("<a ").repeated(300'000)), "");
    EXPECT_EQ(plainTextFromHtml(QString("< ").repeated(500'000)).size(), 999'999);
    EXPECT_EQ(plainTextFromHtml(QString("<a b=\"").repeated(200'000)), "");
}

TEST(FeedIdentity, HashDependsOnHeadlineAndDateAndIsStable)
{
    const QByteArray doc = R"(<rss version="2.0"><channel><title>t</title>
      <item><title>Same</title><pubDate>Mon, 01 Jan 2024 10:00:00 GMT</pubDate></item>
      <item><title>Same</title><pubDate>Mon, 01 Jan 2024 11:00:00 GMT</pubDate></item>
      <item><title>Other</title><pubDate>Mon, 01 Jan 2024 11:00:00 GMT</pubDate></item>
    </channel></rss>)";
    const ParseResult first = parseFeed(doc, QUrl());
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    const auto& items = first.feed.items;
    ASSERT_EQ(items.size(), 3u);
    EXPECT_NE(items[0].identity, items[1].identity);
    EXPECT_NE(items[1].identity, items[2].identity);
    EXPECT_EQ(parseFeed(doc, QUrl()).feed.items[0].identity, items[0].identity);
}

// Too many items, or a text too long, ends the reading there: what came before is kept and
// the error says where it stopped.
TEST(FeedLimits, ReadingStopsAtALimitKeepingWhatCameBefore)
{
    const struct {
        QByteArray doc;
        size_t kept;
        QString says;
    } cases[] = {
        {rssWithItems(kMaxItems + 1), size_t(kMaxItems), QString::number(kMaxItems)},
        {rssWithItems(2, "<item><description>" + QByteArray(kMaxTextChars + 10, 'x') +
                             "</description></item>"),
         2, "<description>"},
    };
    for (const auto& c : cases) {
        const ParseResult result = parseFeed(c.doc, QUrl());
        EXPECT_EQ(result.status, ParseStatus::Partial);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.feed.items.size(), c.kept);
        EXPECT_TRUE(result.error.contains(c.says)) << result.error.toStdString();
    }
}

TEST(FeedLimits, AnElementWithHugelyManyAttributesIsRefusedBeforeParsing)
{
    // The XML reader's work on one element grows with the square of its attributes: this
    // document would keep it busy for minutes.
    QByteArray attributes;
    for (int i = 0; i < 200'000; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"v\"";
    const QByteArray inItem = rssWithItems(3, "<item><title" + attributes + ">x</title></item>");
    for (const QByteArray& doc :
         {"<rss version=\"2.0\"" + attributes + "><channel/></rss>", inItem}) {
        const ParseResult result = parseFeed(doc, QUrl());
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.error.contains("more than 128 attributes") &&
                    result.error.startsWith("line 1, column "))
            << result.error.toStdString();
    }
    // Items before the element are kept.
    const ParseResult partial = parseFeed(inItem, QUrl());
    EXPECT_EQ(partial.status, ParseStatus::Partial);
    EXPECT_EQ(partial.feed.items.size(), 3u);
    const OpmlResult opml =
        parseOpml("<opml><body><outline" + attributes + "/></body></opml>", QUrl());
    EXPECT_FALSE(opml.ok);
    EXPECT_TRUE(opml.error.contains("more than 128 attributes")) << opml.error.toStdString();
}

TEST(FeedCancel, ACancelledParseStopsAndSaysSo)
{
    const QByteArray doc = rssWithItems(20'000);
    for (const int callsBeforeCancel : {0, 1, 5}) {
        std::atomic<int> calls{0};
        ParseOptions options;
        options.cancelled = [&] { return calls++ >= callsBeforeCancel; };
        const ParseResult result = parseFeed(doc, options);
        EXPECT_EQ(result.status, ParseStatus::Cancelled) << callsBeforeCancel;
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, "cancelled");
        EXPECT_TRUE(result.feed.items.empty());
        // It stopped soon after the check said so, not at the end of the document.
        EXPECT_LE(calls.load(), callsBeforeCancel + 1);
    }
    ParseOptions never;
    never.cancelled = [] { return false; };
    EXPECT_EQ(parseFeed(doc, never).feed.items.size(), 20'000u);

    ParseOptions cancelled;
    cancelled.cancelled = [] { return true; };
    const OpmlResult opml =
        parseOpml("<opml><body>" +
                      QByteArray("<outline text=\"f\"><outline xmlUrl=\"http://e.x/\"/></outline>")
                          .repeated(5000) +
                      "</body></opml>",
                  cancelled);
    EXPECT_TRUE(opml.cancelled);
    EXPECT_FALSE(opml.ok);
    const ParseResult json =
        parseFeed(R"({"version":"https://jsonfeed.org/version/1.1","items":[)" +
                      QByteArray(R"({"id":"x"},)").repeated(1000) + R"({"id":"y"}]})",
                  cancelled);
    EXPECT_EQ(json.status, ParseStatus::Cancelled);
}
