// The pop-up reading a story's headline, summary, header and footer from the engine.

#include "tests/support/engine_builder.h"
#include "vantrel/popsum.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace
{

class DirectoryPopup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(rhtest::engine::start());
        channel = rhtest::engine::addChannel("Daily News");
        ASSERT_NE(channel, 0u);
        ASSERT_EQ(popup.Create(nullptr, 0), 1);
    }
    uint32_t addStory(const QString& headline, const QString& summary,
                      const QString& header = QString(), const QString& footer = QString())
    {
        rhtest::engine::StorySpec desc;
        desc.headline = headline;
        desc.summary = summary;
        if (!header.isEmpty())
            desc.attributes["Header"] = header;
        if (!footer.isEmpty())
            desc.attributes["Footer"] = footer;
        const uint32_t number = rhtest::engine::addStory(channel, desc);
        EXPECT_TRUE(rhtest::engine::waitForIdle());
        return number;
    }
    QPoint corner() const
    {
        return QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(10, 10);
    }
    QString shownText() const
    {
        return popup.GetPopupWindow()->findChild<QTextBrowser*>("summary")->toPlainText();
    }

    uint32_t channel = 0;
    CSummary popup;
};

} // namespace

TEST_F(DirectoryPopup, ReadsHeadlineSummaryHeaderAndFooter)
{
    const uint32_t number =
        addStory("From the engine", "<p>Body text</p>", "Sponsored by us", "Copyright 2026");
    ASSERT_NE(number, 0u);
    ASSERT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(channel, number), corner(), QRect()), 1);
    EXPECT_EQ(popup.GetPopupWindow()->findChild<QLabel*>("headline")->text(), "From the engine");
    const QString text = shownText();
    EXPECT_GE(text.indexOf("Sponsored by us"), 0) << text.toStdString();
    EXPECT_LT(text.indexOf("Sponsored by us"), text.indexOf("Body text"));
    EXPECT_LT(text.indexOf("Body text"), text.indexOf("Copyright 2026"));
}

TEST_F(DirectoryPopup, HeaderAloneCountsAsASummary)
{
    const uint32_t number = addStory("Header only", QString(), "Header text");
    ASSERT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(channel, number), corner(), QRect()), 1);
    EXPECT_TRUE(shownText().contains("Header text"));
}

TEST_F(DirectoryPopup, StoryWithoutSummaryOrUnknownStoryShowsNothing)
{
    const uint32_t number = addStory("Nothing to say", QString());
    EXPECT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(channel, number), corner(), QRect()), 0);
    EXPECT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(channel, number + 100), corner(), QRect()),
              0);
    EXPECT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(channel + 100, 1), corner(), QRect()), 0);
    EXPECT_EQ(popup.ShowStoryPopup("not a story id", corner(), QRect()), 0);
    EXPECT_FALSE(popup.IsPopupVisible());
    // The directory was given back every time: the engine can still be locked and read.
    EXPECT_NE(GetCServices(), nullptr);
    ReleaseCServices();
}

TEST_F(DirectoryPopup, NoEngineNoPopup)
{
    const uint32_t number = addStory("Soon gone", "<p>text</p>");
    rhtest::engine::stop();
    EXPECT_EQ(popup.ShowStoryPopup(CService::MakeStoryID(channel, number), corner(), QRect()), 0);
    EXPECT_FALSE(popup.IsPopupVisible());
}
