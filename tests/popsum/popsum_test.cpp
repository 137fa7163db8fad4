#include "vantrel/popsum.h"

#include "tests/support/testenv.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <map>

namespace
{

// A pop-up whose stories come from the test, recording what the links ask for.
class TestSummary : public CListCtrlSummary
{
public:
    struct Story {
        QString headline;
        QString summary;
    };
    std::map<QString, Story> stories;
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
        headline = it->second.headline;
        summary = it->second.summary;
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

    QWidget owner;
    QLineEdit* edit = nullptr;
    TestSummary popup;
    QRect screen;
    QString storyId;
};

// The viewport position of the first link in a text browser.
QPoint firstLinkPosition(QTextBrowser* browser)
{
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isAnchor()) {
                QTextCursor cursor(browser->document());
                cursor.setPosition(fragment.position() + fragment.length() / 2);
                return browser->cursorRect(cursor).center();
            }
        }
    }
    return QPoint(-1, -1);
}

} // namespace

TEST_F(PopSumTest, ShowsHeadlineAndSummaryWithoutTakingFocus)
{
    EXPECT_FALSE(popup.IsPopupVisible());
    const QPoint point = screen.topLeft() + QPoint(40, 40);
    ASSERT_EQ(popup.ShowStoryPopup(storyId, point, QRect()), 1);
    EXPECT_TRUE(popup.IsPopupVisible());
    EXPECT_EQ(headlineLabel()->text(), "Markets rally");
    EXPECT_TRUE(headlineLabel()->font().bold());
    EXPECT_TRUE(summaryView()->toPlainText().contains("Shares rose."));
    EXPECT_EQ(window()->pos(), point);
    EXPECT_TRUE(window()->windowFlags().testFlag(Qt::ToolTip));
    EXPECT_TRUE(window()->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(QApplication::activeWindow(), &owner);
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(PopSumTest, HideAndReshow)
{
    ASSERT_EQ(popup.ShowStoryPopup(storyId, screen.topLeft() + QPoint(10, 10), QRect()), 1);
    popup.HidePopup();
    EXPECT_FALSE(popup.IsPopupVisible());
    ASSERT_EQ(popup.ShowStoryPopup(storyId, screen.topLeft() + QPoint(30, 30), QRect()), 1);
    EXPECT_TRUE(popup.IsPopupVisible());
    QTest::keyClick(window(), Qt::Key_Escape);
    EXPECT_FALSE(popup.IsPopupVisible());
}

TEST_F(PopSumTest, StoryWithoutSummaryShowsNothing)
{
    const QString empty = CService::MakeStoryID(7, 43);
    popup.stories[empty] = {"Headline only", "   "};
    const QString imageOnly = CService::MakeStoryID(7, 44);
    popup.stories[imageOnly] = {"Picture", "<img src=\"http://x.example/a.png\">"};

    ASSERT_EQ(popup.ShowStoryPopup(storyId, screen.topLeft() + QPoint(10, 10), QRect()), 1);
    EXPECT_EQ(popup.ShowStoryPopup(empty, screen.topLeft() + QPoint(10, 10), QRect()), 0);
    // The pop-up of the previous story does not linger over the new one.
    EXPECT_FALSE(popup.IsPopupVisible());
    EXPECT_EQ(popup.ShowStoryPopup(imageOnly, screen.topLeft(), QRect()), 0);
    EXPECT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(9, 9), screen.topLeft(), QRect()), 0);
    EXPECT_EQ(popup.ShowStoryPopup(QString(), screen.topLeft(), QRect()), 0);
    EXPECT_FALSE(popup.IsPopupVisible());
}

TEST_F(PopSumTest, KeepsClearOfTheRowAndOnScreen)
{
    // A row near the top: the pop-up opens below it.
    const QRect row(screen.left(), screen.top() + 100, screen.width(), 18);
    ASSERT_EQ(popup.ShowStoryPopup(storyId, QPoint(screen.left() + 10, row.top()), row), 1);
    EXPECT_FALSE(popupRect().intersects(row));
    EXPECT_GE(popupRect().top(), row.bottom());
    EXPECT_TRUE(screen.contains(popupRect()));

    // A row at the bottom of the screen: above it.
    const QRect low(screen.left(), screen.bottom() - 30, screen.width(), 18);
    ASSERT_EQ(popup.ShowStoryPopup(storyId, QPoint(screen.left() + 10, low.top()), low), 1);
    EXPECT_FALSE(popupRect().intersects(low));
    EXPECT_LE(popupRect().bottom(), low.top());
    EXPECT_TRUE(screen.contains(popupRect()));

    // A point at the right edge: pulled back onto the screen.
    ASSERT_EQ(popup.ShowStoryPopup(storyId, QPoint(screen.right() - 2, screen.top() + 5), QRect()),
              1);
    EXPECT_TRUE(screen.contains(popupRect()));
}

TEST_F(PopSumTest, AddressLinkReachesOnShowURL)
{
    ASSERT_EQ(popup.ShowStoryPopup(storyId, screen.topLeft() + QPoint(20, 20), QRect()), 1);
    QTextBrowser* view = summaryView();
    const QPoint at = firstLinkPosition(view);
    ASSERT_NE(at, QPoint(-1, -1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_TRUE(rhtest::waitFor([&] { return !popup.urls.empty(); }));
    ASSERT_EQ(popup.urls.size(), 1u);
    EXPECT_EQ(popup.urls[0], "https://markets.example.com/today");
    EXPECT_TRUE(popup.shown.empty());
    EXPECT_FALSE(popup.IsPopupVisible());
}

TEST_F(PopSumTest, FullStoryLinkReachesOnShowStory)
{
    ASSERT_EQ(popup.ShowStoryPopup(storyId, screen.topLeft() + QPoint(20, 20), QRect()), 1);
    auto* fullStory = window()->findChild<QLabel*>("fullStory");
    ASSERT_NE(fullStory, nullptr);
    EXPECT_TRUE(fullStory->text().contains("Full story"));
    QTest::mouseClick(fullStory, Qt::LeftButton, Qt::NoModifier,
                      QPoint(4, fullStory->height() / 2));
    ASSERT_TRUE(rhtest::waitFor([&] { return !popup.shown.empty(); }));
    ASSERT_EQ(popup.shown.size(), 1u);
    EXPECT_EQ(popup.shown[0], std::make_pair(7u, 42u));
    EXPECT_TRUE(popup.urls.empty());
    EXPECT_FALSE(popup.IsPopupVisible());
}

TEST_F(PopSumTest, ScriptInTheSummaryIsNotShown)
{
    const QString id = CService::MakeStoryID(7, 50);
    popup.stories[id] = {"Hostile", "<p>Safe text</p><script>document.write('owned')</script>"
                                    "<a href=\"javascript:alert(1)\">click me</a>"
                                    "<img src=\"http://tracker.example/pixel.gif\">"};
    ASSERT_EQ(popup.ShowStoryPopup(id, screen.topLeft() + QPoint(20, 20), QRect()), 1);
    const QString shown = summaryView()->toHtml();
    EXPECT_TRUE(summaryView()->toPlainText().contains("Safe text"));
    EXPECT_FALSE(shown.contains("owned"));
    EXPECT_FALSE(shown.contains("javascript"));
    EXPECT_FALSE(shown.contains("tracker"));
    EXPECT_FALSE(shown.contains("<img"));
}

TEST_F(PopSumTest, HugeSummaryIsCutAndThePopupFitsTheScreen)
{
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += "lorem ipsum ";
    const QString id = CService::MakeStoryID(7, 60);
    popup.stories[id] = {QString(5000, 'H'), text};
    ASSERT_EQ(popup.ShowStoryPopup(id, screen.topLeft() + QPoint(20, 20), QRect()), 1);
    EXPECT_LT(summaryView()->toPlainText().size(), 2100);
    EXPECT_TRUE(summaryView()->toPlainText().trimmed().endsWith("..."));
    EXPECT_LE(headlineLabel()->text().size(), 300);
    EXPECT_TRUE(screen.contains(popupRect()));
}

TEST_F(PopSumTest, HandlerMayDestroyThePopupObject)
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
}

TEST_F(PopSumTest, DefaultLinkMembersOpenNothing)
{
    CSummary plain;
    EXPECT_EQ(plain.OnShowURL("https://example.org/"), 0);
    EXPECT_EQ(plain.OnShowStory(1, 2), 0);
    EXPECT_EQ(plain.GetPopupWindow(), nullptr);
    // Without Create there is nothing to show.
    EXPECT_EQ(plain.ShowStoryPopup(storyId, QPoint(0, 0), QRect()), 0);
    EXPECT_FALSE(plain.IsPopupVisible());
    plain.HidePopup();
}

TEST_F(PopSumTest, OwnerGoingAwayHidesThePopup)
{
    auto* other = new QWidget;
    TestSummary local;
    ASSERT_EQ(local.Create(other, 0), 1);
    local.stories[storyId] = popup.stories[storyId];
    ASSERT_EQ(local.ShowStoryPopup(storyId, screen.topLeft() + QPoint(5, 5), QRect()), 1);
    delete other;
    EXPECT_FALSE(local.IsPopupVisible());
}

TEST(PopSumLibrary, InitializeAndUninitializeAreCounted)
{
    EXPECT_EQ(PopSum_Initialize(), 1);
    EXPECT_EQ(PopSum_Initialize(), 1);
    EXPECT_EQ(PopSum_Uninitialize(), 1);
    EXPECT_EQ(PopSum_Uninitialize(), 1);
    EXPECT_EQ(PopSum_Uninitialize(), 0);
}
