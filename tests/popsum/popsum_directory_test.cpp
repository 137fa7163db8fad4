// The pop-up's own reading of a story through the directory library (here the stand-in).

#include "tests/popsum/fakedirectory.h"
#include "vantrel/popsum.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTextBrowser>
#include <gtest/gtest.h>

using popsumtest::fakeStories;

namespace
{

class DirectoryPopup : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(popup.Create(nullptr, 0), 1); }
    QPoint corner() const
    {
        return QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(10, 10);
    }
    QString shownText() const
    {
        return popup.GetPopupWindow()->findChild<QTextBrowser*>("summary")->toPlainText();
    }
    CSummary popup;
};

} // namespace

TEST_F(DirectoryPopup, ReadsHeadlineSummaryHeaderAndFooter)
{
    fakeStories()[{5, 1}] = {"From the directory", "<p>Body text</p>", true, "Sponsored by us",
                             "Copyright 2026"};
    ASSERT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(5, 1), corner(), QRect()), 1);
    EXPECT_EQ(popup.GetPopupWindow()->findChild<QLabel*>("headline")->text(), "From the directory");
    const QString text = shownText();
    EXPECT_LT(text.indexOf("Sponsored by us"), text.indexOf("Body text"));
    EXPECT_LT(text.indexOf("Body text"), text.indexOf("Copyright 2026"));
    EXPECT_EQ(popsumtest::fakeTakeCount(), popsumtest::fakeReleaseCount());
}

TEST_F(DirectoryPopup, HeaderAloneCountsAsASummary)
{
    fakeStories()[{5, 2}] = {"Header only", "", false, "Header text", ""};
    ASSERT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(5, 2), corner(), QRect()), 1);
    EXPECT_TRUE(shownText().contains("Header text"));
}

TEST_F(DirectoryPopup, UnavailableSummaryOrUnknownStoryShowsNothing)
{
    fakeStories()[{5, 3}] = {"No summary", "text the directory says is unavailable", false, "", ""};
    EXPECT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(5, 3), corner(), QRect()), 0);
    EXPECT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(5, 99), corner(), QRect()), 0);
    EXPECT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(6, 1), corner(), QRect()), 0);
    EXPECT_EQ(popup.ShowStoryPopup("not a story id", corner(), QRect()), 0);
    EXPECT_FALSE(popup.IsPopupVisible());
    // Every time the directory was taken, it was given back.
    EXPECT_EQ(popsumtest::fakeTakeCount(), popsumtest::fakeReleaseCount());
    EXPECT_GE(popsumtest::fakeTakeCount(), 3);
}
