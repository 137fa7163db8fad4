#include "vantrel/popsum.h"

#include "tests/support/testenv.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/popsum/popsum_p.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <map>
#include <tuple>

using popsum::placePopup;
using popsum::sanitizeSummaryHtml;

namespace
{

std::string clean(const QString& html)
{
    return sanitizeSummaryHtml(html).toStdString();
}

// A pop-up whose stories come from the test, recording what the links ask for.
class TestSummary : public CListCtrlSummary
{
public:
    std::map<QString, std::pair<QString, QString>> stories; // headline and summary by story id
    std::vector<QString> urls;
    std::vector<std::pair<uint32_t, uint32_t>> shown;

    int OnShowURL(const QString& url) override
    {
        urls.push_back(url);
        return 1;
    }
    int OnShowStory(uint32_t channelId, uint32_t storyNumber) override
    {
        shown.emplace_back(channelId, storyNumber);
        return 1;
    }

protected:
    int GetSummary(const QString& storyId, QString& headline, QString& summary) override
    {
        const auto it = stories.find(storyId);
        if (it == stories.end())
            return 0;
        std::tie(headline, summary) = it->second;
        return 1;
    }
};

class PopSumTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(PopSum_Initialize(), 1);
        owner.resize(400, 300);
        auto* layout = new QVBoxLayout(&owner);
        edit = new QLineEdit(&owner);
        layout->addWidget(edit);
        owner.show();
        QApplication::setActiveWindow(&owner);
        edit->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&owner));
        ASSERT_EQ(popup.Create(&owner, 0), 1);
        screen = QGuiApplication::primaryScreen()->availableGeometry();
        storyId = CService::MakeStoryID(7, 42);
        popup.stories[storyId] = {"Markets rally", "<p>Shares rose. More at "
                                                   "https://markets.example.com/today now.</p>"};
    }
    void TearDown() override { EXPECT_EQ(PopSum_Uninitialize(), 1); }

    QWidget* window() const { return popup.GetPopupWindow(); }
    QTextBrowser* summaryView() const { return window()->findChild<QTextBrowser*>("summary"); }
    QLabel* headlineLabel() const { return window()->findChild<QLabel*>("headline"); }
    QRect popupRect() const { return window()->frameGeometry(); }
    int show(const QString& id, const QPoint& offset = {20, 20}, const QRect& row = {})
    {
        return popup.ShowStoryPopup(id, screen.topLeft() + offset, row);
    }

    QWidget owner;
    QLineEdit* edit = nullptr;
    TestSummary popup;
    QRect screen;
    QString storyId;
};

} // namespace

TEST_F(PopSumTest, ShowsWithoutTakingFocusAndEscapeHidesIt)
{
    ASSERT_EQ(show(storyId, {40, 40}), 1);
    EXPECT_TRUE(popup.IsPopupVisible());
    EXPECT_EQ(headlineLabel()->text(), "Markets rally");
    EXPECT_TRUE(summaryView()->toPlainText().contains("Shares rose."));
    EXPECT_EQ(window()->pos(), screen.topLeft() + QPoint(40, 40));
    EXPECT_EQ(QApplication::activeWindow(), &owner);
    EXPECT_TRUE(edit->hasFocus());
    QTest::keyClick(window(), Qt::Key_Escape);
    EXPECT_FALSE(popup.IsPopupVisible());
}

TEST_F(PopSumTest, StoryWithoutSummaryShowsNothing)
{
    const QString empty = CService::MakeStoryID(7, 43);
    popup.stories[empty] = {"Headline only", "   "};
    const QString imageOnly = CService::MakeStoryID(7, 44);
    popup.stories[imageOnly] = {"Picture", "<img src=\"http://x.example/a.png\">"};

    ASSERT_EQ(show(storyId), 1);
    // The pop-up of the previous story does not linger over one without a summary.
    for (const QString& id : {empty, imageOnly, CService::MakeStoryID(9, 9), QString()}) {
        EXPECT_EQ(show(id), 0);
        EXPECT_FALSE(popup.IsPopupVisible());
    }
    CSummary notCreated;
    EXPECT_EQ(notCreated.ShowStoryPopup(storyId, QPoint(0, 0), QRect()), 0);
}

// A click on an address in the summary goes to OnShowURL, one on "Full story" to
// OnShowStory; either closes the pop-up.
TEST_F(PopSumTest, LinksReachTheirHandlers)
{
    for (const bool fullStory : {false, true}) {
        SCOPED_TRACE(fullStory ? "full story" : "address");
        popup.urls.clear();
        popup.shown.clear();
        ASSERT_EQ(show(storyId), 1);
        if (fullStory) {
            auto* label = window()->findChild<QLabel*>("fullStory");
            ASSERT_NE(label, nullptr);
            QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier,
                              QPoint(4, label->height() / 2));
        } else {
            const QTextCursor link = summaryView()->document()->find("markets.example");
            ASSERT_FALSE(link.isNull());
            QTest::mouseClick(summaryView()->viewport(), Qt::LeftButton, Qt::NoModifier,
                              summaryView()->cursorRect(link).center());
        }
        ASSERT_TRUE(rhtest::waitFor([&] { return !popup.urls.empty() || !popup.shown.empty(); }));
        if (fullStory)
            EXPECT_EQ(popup.shown, (std::vector<std::pair<uint32_t, uint32_t>>{{7u, 42u}}));
        else
            EXPECT_EQ(popup.urls, std::vector<QString>{"https://markets.example.com/today"});
        EXPECT_EQ(popup.urls.empty(), fullStory);
        EXPECT_FALSE(popup.IsPopupVisible());
    }
}

// The window shows the cleaned summary, cut to size and placed on screen, whatever the story
// holds.
TEST_F(PopSumTest, HostileOrHugeSummaryIsCleanedCutAndPlacedClearOfTheRow)
{
    const QString hostile = CService::MakeStoryID(7, 50);
    popup.stories[hostile] = {"Hostile", "<p>Safe text</p><script>document.write('owned')"
                                         "</script><img src=\"http://tracker.example/p.gif\">"};
    ASSERT_EQ(show(hostile), 1);
    EXPECT_TRUE(summaryView()->toPlainText().contains("Safe text"));
    for (const char* gone : {"owned", "tracker"})
        EXPECT_FALSE(summaryView()->toHtml().contains(gone)) << gone;

    const QString huge = CService::MakeStoryID(7, 60);
    popup.stories[huge] = {QString(5000, 'H'), QString("lorem ipsum ").repeated(20000)};
    // Shown for a row at the foot of the screen: clear of the row, and on screen.
    const QRect low(screen.left(), screen.bottom() - 30, screen.width(), 18);
    ASSERT_EQ(show(huge, {10, low.top() - screen.top()}, low), 1);
    EXPECT_LE(summaryView()->toPlainText().size(), popsum::kMaxSummaryChars + 10);
    EXPECT_LE(headlineLabel()->text().size(), popsum::kMaxHeadlineChars);
    EXPECT_FALSE(popupRect().intersects(low));
    EXPECT_TRUE(screen.contains(popupRect()));
}

TEST_F(PopSumTest, HandlerMayDestroyThePopupObjectAndOwnerGoingAwayHidesIt)
{
    // A program whose handler closes the window that owns the pop-up.
    struct SelfClosing : TestSummary {
        std::unique_ptr<SelfClosing>* holder = nullptr;
        int OnShowStory(uint32_t, uint32_t) override
        {
            holder->reset();
            return 1;
        }
    };
    auto local = std::make_unique<SelfClosing>();
    local->holder = &local;
    ASSERT_EQ(local->Create(&owner, 0), 1);
    local->stories[storyId] = popup.stories[storyId];
    ASSERT_EQ(local->ShowStoryPopup(storyId, screen.topLeft() + QPoint(5, 5), QRect()), 1);
    auto* fullStory = local->GetPopupWindow()->findChild<QLabel*>("fullStory");
    QTest::mouseClick(fullStory, Qt::LeftButton, Qt::NoModifier,
                      QPoint(4, fullStory->height() / 2));
    EXPECT_TRUE(rhtest::waitFor([&] { return local == nullptr; }));

    // Its owner going away hides the pop-up.
    auto* other = new QWidget;
    TestSummary second;
    ASSERT_EQ(second.Create(other, 0), 1);
    second.stories[storyId] = popup.stories[storyId];
    ASSERT_EQ(second.ShowStoryPopup(storyId, screen.topLeft() + QPoint(5, 5), QRect()), 1);
    delete other;
    EXPECT_FALSE(second.IsPopupVisible());
}

TEST(PopSumLibrary, InitializeAndUninitializeAreCounted)
{
    // Braced lists are evaluated left to right.
    EXPECT_EQ((std::vector<int>{PopSum_Initialize(), PopSum_Initialize(), PopSum_Uninitialize(),
                                PopSum_Uninitialize(), PopSum_Uninitialize()}),
              (std::vector<int>{1, 1, 1, 1, 0}));
}

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

TEST(PopupPlacement, AtThePointBelowOrAboveTheRowOrBesideItAndAlwaysOnScreen)
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

    // On screen beside a tall rectangle; overlapping only when nothing fits.
    const QSize big(300, 200);
    const QRect tall(20, 10, 200, 580); // the square around a cursor on a tiny screen
    const QPoint beside = placePopup(big, QPoint(30, 100), tall, screen);
    EXPECT_FALSE(QRect(beside, big).intersects(tall));
    EXPECT_TRUE(screen.contains(QRect(beside, big)));
    EXPECT_TRUE(screen.contains(QRect(placePopup(big, QPoint(30, 100), screen, screen), big)));
    // On a screen that does not start at 0, 0.
    const QRect offset(100, 50, 800, 600);
    const QPoint at = placePopup(big, QPoint(850, 620), QRect(), offset);
    EXPECT_TRUE(offset.contains(QRect(at, big))) << at.x() << "," << at.y();
    EXPECT_EQ(placePopup(big, QPoint(0, 0), QRect(), offset), QPoint(100, 50));
}
