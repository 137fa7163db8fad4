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
        ASSERT_EQ(popup.Create(nullptr, 0), 1);
    }
    uint32_t addStory(const QString& headline, const QString& summary,
                      const QString& header = QString(), const QString& footer = QString())
    {
        rhtest::engine::StorySeed desc;
        desc.headline = headline;
        desc.summary = summary;
        for (const auto& [name, text] : {std::pair("Header", header), std::pair("Footer", footer)})
            if (!text.isEmpty())
                desc.attributes[name] = text;
        const uint32_t number = rhtest::engine::addStory(channel, desc);
        EXPECT_TRUE(rhtest::engine::waitForIdle());
        return number;
    }
    int show(const QString& storyId)
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        return popup.ShowStoryPopup(storyId, screen.topLeft() + QPoint(10, 10), QRect());
    }
    QString shownText() const
    {
        return popup.GetPopupWindow()->findChild<QTextBrowser*>("summary")->toPlainText();
    }

    uint32_t channel = 0;
    CSummary popup;
};

} // namespace

// The pop-up shows header, summary and footer of the story in that order; a story with none
// of them, an unknown one, or any without the engine shows nothing (and the directory is
// given back every time).
TEST_F(DirectoryPopup, ShowsHeaderSummaryAndFooterInOrder)
{
    const struct {
        const char* header;
        const char* summary;
        const char* footer;
        QStringList shown; // in this order; empty: no pop-up
    } cases[] = {
        {"Sponsored by us",
         "<p>Body text</p>",
         "Copyright 2026",
         {"Sponsored by us", "Body text", "Copyright 2026"}},
        {"Header text", "", "", {"Header text"}},
        {"", "", "Footer text", {"Footer text"}},
        {"", "", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        const uint32_t number = addStory("From the engine", c.summary, c.header, c.footer);
        const int shown = show(CService::MakeStoryID(channel, number));
        EXPECT_EQ(shown, c.shown.isEmpty() ? 0 : 1);
        EXPECT_EQ(popup.IsPopupVisible(), !c.shown.isEmpty());
        if (!shown)
            continue;
        EXPECT_EQ(popup.GetPopupWindow()->findChild<QLabel*>("headline")->text(),
                  "From the engine");
        int at = -1;
        for (const QString& part : c.shown) {
            const int next = shownText().indexOf(part);
            EXPECT_GT(next, at) << part.toStdString() << " in " << shownText().toStdString();
            at = next;
        }
    }
    EXPECT_EQ(show(CService::MakeStoryID(channel + 100, 1)), 0);
    EXPECT_EQ(show("not a story id"), 0);
    EXPECT_NE(GetCServices(), nullptr);
    ReleaseCServices();

    // Without the engine, no pop-up.
    const uint32_t number = addStory("Soon gone", "<p>text</p>");
    rhtest::engine::stop();
    EXPECT_EQ(show(CService::MakeStoryID(channel, number)), 0);
    EXPECT_FALSE(popup.IsPopupVisible());
}
