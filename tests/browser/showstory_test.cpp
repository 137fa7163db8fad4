// Showing stories and addresses in the active browser pane, and the text the pane hands to
// its browser.

#include "resources/readhall_resources.h"
#include "src/browser/browsercalls.h"
#include "src/browser/browserview.h"
#include "src/browser/showstory.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelids.h"
#include "src/engine/chandir.h"
#include "tests/support/engine_builder.h"

#include <gtest/gtest.h>
#include <memory>

namespace
{

// A pane that records the addresses the show-URL hint brings.
class RecordingPane : public CView
{
public:
    RecordingPane() : CView(QStringLiteral("CBrowserView")) {}
    void OnUpdate(CView*, LPARAM hint, CObject* object) override
    {
        if (const auto* update = dynamic_cast<const CUpdateHint*>(object))
            urls.push_back({hint, update->m_text});
    }
    std::vector<std::pair<LPARAM, QString>> urls;
};

class ShowStoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        ASSERT_TRUE(rhtest::engine::start());
        BrowserCalls& calls = browserCalls();
        calls.getCachedURL = [this](const QString& url, QString& cached) {
            const auto found = cache.find(url);
            if (found == cache.end())
                return 0;
            cached = found->second;
            return 1;
        };
        calls.playStory = [this](uint32_t channel, uint32_t story, QWidget*) {
            log.push_back(QStringLiteral("play %1 %2").arg(channel).arg(story));
            return 1;
        };
        calls.markStoryRead = [this](uint32_t channel, uint32_t story, EStoryReadFlags flags) {
            log.push_back(QStringLiteral("read %1 %2 %3").arg(channel).arg(story).arg(flags));
            return 1;
        };
        calls.accessBundlet = [this](uint32_t channel, uint32_t bundlet, uint32_t access) {
            log.push_back(
                QStringLiteral("access %1 %2 %3").arg(channel).arg(bundlet).arg(access, 0, 16));
            return 1;
        };
        calls.shellOpen = [this](const QString& target) {
            log.push_back(QStringLiteral("shell ") + target);
            return 1;
        };
        doc.AddView(&pane);
    }
    void TearDown() override
    {
        doc.RemoveView(&pane);
        resetBrowserCalls();
    }
    uint32_t story(uint32_t channel, const QString& url)
    {
        rhtest::engine::StorySpec spec;
        spec.headline = url;
        spec.url = url;
        return rhtest::engine::addStory(channel, spec);
    }
    static uint32_t bundletOf(uint32_t channel, uint32_t number)
    {
        uint32_t bundlet = 0;
        if (CServices* services = GetCServices()) {
            services->GetStoryAttribute(CService::MakeStoryID(channel, number), "BundLet Id",
                                        bundlet);
            ReleaseCServices();
        }
        return bundlet;
    }

    std::map<QString, QString> cache;
    QStringList log;
    CChannelDoc doc;
    RecordingPane pane;
};

TEST_F(ShowStoryTest, ACachedCopyGivenAsAFileAddressIsNavigatedWithoutItsPrefix)
{
    cache["https://news.example/a.html"] = "file:///var/cache/vantrel/a.html";
    cache["https://news.example/b.html"] = "FILE://host/Share/B.html";
    EXPECT_EQ(BrowserNavigationText("https://news.example/a.html"), "/var/cache/vantrel/a.html");
    EXPECT_EQ(BrowserNavigationText("https://news.example/b.html"), "host/Share/B.html");
    EXPECT_EQ(BrowserNavigationText("File:///Data/Page.HTML"), "/Data/Page.HTML");
    EXPECT_EQ(BrowserNavigationText("\"/home/reader/my page.html\""), "/home/reader/my page.html");
    EXPECT_EQ(BrowserNavigationText("https://news.example/c.html"), "https://news.example/c.html");
}

TEST_F(ShowStoryTest, AVideoOnADrivePathGoesToThePlayerAndAPageIsShownAndMarkedRead)
{
    const uint32_t channel = rhtest::engine::addChannel("Media", "News");
    const uint32_t clip = story(channel, "c:\\media\\clip.avi");
    const uint32_t page = story(channel, "c:\\pages\\story.html");
    const uint32_t local = story(channel, "/srv/pages/Story.HTM");
    const uint32_t web = story(channel, "https://news.example/today");

    EXPECT_EQ(ShowStoryInBrowser(&doc, nullptr, channel, clip), 1);
    EXPECT_TRUE(pane.urls.empty());
    EXPECT_TRUE(log.contains(QStringLiteral("play %1 %2").arg(channel).arg(clip)));
    EXPECT_TRUE(log.contains(
        QStringLiteral("access %1 %2 ffffffff").arg(channel).arg(bundletOf(channel, clip))));

    log.clear();
    EXPECT_EQ(ShowStoryInBrowser(&doc, nullptr, channel, page), 1);
    ASSERT_EQ(pane.urls.size(), 1u);
    EXPECT_EQ(pane.urls[0].first, HINT_SHOW_URL);
    EXPECT_EQ(pane.urls[0].second, "c:\\pages\\story.html");
    EXPECT_TRUE(log.contains(QStringLiteral("read %1 %2 1").arg(channel).arg(page)));

    EXPECT_EQ(ShowStoryInBrowser(&doc, nullptr, channel, local), 1);
    EXPECT_EQ(ShowStoryInBrowser(&doc, nullptr, channel, web), 1);
    ASSERT_EQ(pane.urls.size(), 3u);
    EXPECT_EQ(pane.urls[2].second, "https://news.example/today");
    EXPECT_FALSE(log.filter("play").size() > 0);
}

TEST_F(ShowStoryTest, WithoutAPaneOrAStoryTheEnginePlaysIt)
{
    const uint32_t channel = rhtest::engine::addChannel("Media", "News");
    const uint32_t web = story(channel, "https://news.example/today");
    EXPECT_EQ(ShowStoryInBrowser(nullptr, nullptr, channel, web), 1);
    EXPECT_EQ(log, QStringList{QStringLiteral("play %1 %2").arg(channel).arg(web)});
    log.clear();
    ShowStoryInBrowser(&doc, nullptr, channel, web + 99);
    EXPECT_EQ(log, QStringList{QStringLiteral("play %1 %2").arg(channel).arg(web + 99)});
    EXPECT_TRUE(pane.urls.empty());
}

TEST_F(ShowStoryTest, AnAlertOpensThePackageOfTheStoryThatRaisedIt)
{
    const uint32_t channel = rhtest::engine::addChannel("Markets", "News");
    const uint32_t shares = story(channel, "https://news.example/shares");
    const uint32_t alert = rhtest::engine::addAlert(channel, shares, "Price", "Stocks");
    EXPECT_EQ(ShowStoryInBrowser(&doc, nullptr, VT_ALERTS_CHANNEL_ID, alert), 1);
    EXPECT_TRUE(log.contains(
        QStringLiteral("access %1 %2 ffffffff").arg(channel).arg(bundletOf(channel, shares))));
    EXPECT_TRUE(log.contains(QStringLiteral("read %1 %2 1").arg(VT_ALERTS_CHANNEL_ID).arg(alert)));
    ASSERT_EQ(pane.urls.size(), 1u);
}

TEST_F(ShowStoryTest, AddressesGoToThePaneOrElseToTheDesktopWithoutQuotes)
{
    EXPECT_EQ(ShowURLInBrowser(&doc, QString()), 0);
    EXPECT_EQ(ShowURLInBrowser(&doc, "https://news.example/"), 1);
    ASSERT_EQ(pane.urls.size(), 1u);
    EXPECT_EQ(ShowURLInBrowser(nullptr, "\"/home/reader/report.pdf\""), 1);
    EXPECT_EQ(ShowURLInBrowser(nullptr, "https://news.example/x"), 1);
    EXPECT_EQ(log, QStringList({"shell /home/reader/report.pdf", "shell https://news.example/x"}));
    EXPECT_EQ(ShowURLInBrowser(nullptr, "\"\""), 0);
}

} // namespace
