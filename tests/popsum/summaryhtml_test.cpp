#include "vantrel/popsum/popsum_p.h"

#include "vantrel/core/feeds/feeds.h"

#include <gtest/gtest.h>

using popsum::placePopup;
using popsum::sanitizeSummaryHtml;

namespace
{

std::string clean(const QString& html)
{
    return sanitizeSummaryHtml(html).toStdString();
}

} // namespace

// What the cleaner makes of each kind of markup.
TEST(SummaryHtml, KeepsSafeFormattingAndLinksOnly)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        // Basic formatting survives, without attributes.
        {"<p class=\"x\" style=\"color:red\" onclick=\"evil()\">A <b>bold</b> and <em>light</em> "
         "word</p>",
         "<p>A <b>bold</b> and <em>light</em> word</p>"},
        {"<ul><li>one<li>two</ul>", "<ul><li>one<li>two</li></li></ul>"},
        {"line<br/>next", "line<br>next"},
        {"<h1>Title</h1>text", "<b>Title</b><br>text"},
        // Only web and mail links survive.
        {"<a href=\"https://example.org/a?b=1&amp;c=2\" target=_blank>read</a>",
         "<a href=\"https://example.org/a?b=1&amp;c=2\">read</a>"},
        {"<a href=\"JaVaScRiPt:alert(1)\">x</a>", "x"},
        {"<a href=\"data:text/html,<b>\">d</a>", "d"},
        {"<a href=\"file:///home\">f</a>", "f"},
        {"<a href=\"/relative\">r</a>", "r"},
        {"<a href='mailto:editor@example.org'>mail</a>",
         "<a href=\"mailto:editor@example.org\">mail</a>"},
        {"<a href=\"http://x.example/\"><b>bold link</a> after",
         "<a href=\"http://x.example/\"><b>bold link</b></a> after"},
        // Plain addresses become links, but not inside a link.
        {"See http://example.com/page. Or www.example.net!",
         "See <a href=\"http://example.com/page\">http://example.com/page</a>. Or "
         "<a href=\"http://www.example.net\">www.example.net</a>!"},
        {"<a href=\"http://a.example/\">http://a.example/</a>",
         "<a href=\"http://a.example/\">http://a.example/</a>"},
        // Text is escaped, entities decoded once; plain text keeps its line breaks.
        {"1 &lt; 2 &amp;&amp; 3 > 2 <b>&quot;q&quot;</b>",
         "1 &lt; 2 &amp;&amp; 3 &gt; 2 <b>&quot;q&quot;</b>"},
        {"&lt;script&gt;alert(1)&lt;/script&gt;", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"first line\nsecond line", "first line<br>second line"},
        {"<p>first\nsecond</p>", "<p>first second</p>"},
        // Hostile markup does not break out.
        {"<b>unclosed <i>tags", "<b>unclosed <i>tags</i></b>"},
        {"</p></b>stray closers", "stray closers"},
        {"<scr<script>ipt>alert(1)</script>", "ipt&gt;alert(1)"},
        {"<!-- <script>alert(1)</script> -->visible", "visible"},
        {"<script>never closed", ""},
        {"<a href=\"http://x.example/\" title=\"a > b\">t</a>",
         "<a href=\"http://x.example/\">t</a>"},
        // Scripts, styles, frames, objects and images go; an image leaves its alt text.
        {"<p>Hi</p><script type=\"text/javascript\">alert('x')</script>"
         "<style>body{background:url(http://evil.example/bg.png)}</style>"
         "<iframe src=\"http://evil.example/\">frame text</iframe>"
         "<img src=\"http://evil.example/pixel.gif\" alt=\"Chart\">"
         "<IMG SRC=\"file:///etc/passwd\"><object data=\"x.swf\"></object>end",
         "<p>Hi</p>[Chart]end"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clean(c.in), c.out) << c.in;
}

TEST(SummaryHtml, LongSummariesAndEmptyMarkupFloodsAreCut)
{
    QString words;
    for (int i = 0; i < 3000; ++i)
        words += QStringLiteral("word%1 ").arg(i);
    const QString out = sanitizeSummaryHtml("<p>" + words + "</p><p>tail</p>");
    const QString text = vantrel::feeds::plainTextFromHtml(out);
    EXPECT_LE(text.size(), popsum::kMaxSummaryChars);
    EXPECT_GT(text.size(), popsum::kMaxSummaryChars - 20);
    EXPECT_TRUE(text.endsWith("...")) << text.right(20).toStdString();
    EXPECT_FALSE(out.contains("tail"));
    EXPECT_TRUE(out.endsWith("</p>"));
    EXPECT_EQ(QStringList({popsum::elideText("short", 10), popsum::elideText("abcdefghij", 6)}),
              QStringList({"short", "abc..."}));

    const QString flood = sanitizeSummaryHtml(QString("<b></b>").repeated(200'000) + "text");
    EXPECT_LT(flood.size(), popsum::kMaxSummaryChars * 20);
    EXPECT_TRUE(flood.contains("..."));
    EXPECT_FALSE(flood.contains("text"));
}

TEST(PopupPlacement, AtThePointBelowOrAboveTheRow)
{
    const QRect screen(0, 0, 800, 600);
    const QSize size(200, 100);
    const struct {
        QPoint point;
        QRect row;
        QPoint at;
    } cases[] = {
        {{50, 60}, {0, 20, 800, 18}, {50, 60}}, // clear of the row: at the point
        {{50, 60}, {}, {50, 60}},
        {{10, 100}, {0, 100, 800, 18}, {10, 118 + popsum::kExcludeGap}},       // below the row
        {{10, 550}, {0, 550, 800, 18}, {10, 550 - popsum::kExcludeGap - 100}}, // no room below
    };
    for (const auto& c : cases) {
        const QPoint at = placePopup(size, c.point, c.row, screen);
        EXPECT_EQ(at, c.at) << c.point.y();
        EXPECT_FALSE(QRect(at, size).intersects(c.row)) << c.point.y();
    }
}

TEST(PopupPlacement, StaysOnScreenBesideATallRectangleAndOverlapsOnlyWhenNothingFits)
{
    const QRect screen(0, 0, 800, 600);
    const QRect tall(20, 10, 200, 580); // the square around a cursor on a tiny screen
    const QPoint beside = placePopup(QSize(300, 200), QPoint(30, 100), tall, screen);
    EXPECT_FALSE(QRect(beside, QSize(300, 200)).intersects(tall));
    EXPECT_TRUE(screen.contains(QRect(beside, QSize(300, 200))));

    const QRect everything(0, 0, 800, 600);
    const QPoint forced = placePopup(QSize(300, 200), QPoint(30, 100), everything, screen);
    EXPECT_TRUE(screen.contains(QRect(forced, QSize(300, 200))));

    // On a screen that does not start at 0, 0.
    const QRect offset(100, 50, 800, 600);
    const QPoint at = placePopup(QSize(300, 200), QPoint(850, 620), QRect(), offset);
    EXPECT_TRUE(offset.contains(QRect(at, QSize(300, 200)))) << at.x() << "," << at.y();
    EXPECT_EQ(placePopup(QSize(300, 200), QPoint(0, 0), QRect(), offset), QPoint(100, 50));
}
