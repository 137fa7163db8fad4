// Showing stories and addresses: the main frame's ShowStory and ShowURL reaching the active
// window's browser pane through the show-URL hint, the engine's player and the desktop.

#include "resources/readhall_resources.h"
#include "src/app/mainframe.h"
#include "src/app/readhallapp.h"
#include "src/browser/browserwindow.h"
#include "src/framework/childframe.h"
#include "src/framework/doctemplate.h"
#include "src/framework/document.h"
#include "src/framework/statusbar.h"
#include "src/platform/shell.h"
#include "src/shared/headerview.h"
#include "src/shared/ids.h"
#include "src/shared/updatehint.h"
#include "tests/support/engine_builder.h"
#include "vantrel/chandir.h"

#include <QCoreApplication>
#include <QPointer>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace
{

// A pane of the browser's class that records the show-URL hints its document sends.
class RecordingPane : public CView
{
public:
    RecordingPane() : CView(QStringLiteral("CBrowserView")) {}
    void OnUpdate(CView*, LPARAM hint, CObject* object) override
    {
        if (const auto* update = dynamic_cast<const CUpdateHint*>(object))
            if (hint == HINT_SHOW_URL)
                urls.push_back(update->m_text);
    }
    QStringList urls;
};

class ShowStoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        ASSERT_TRUE(rhtest::engine::start());
        platform::setShellOpenHook([this](const QUrl& url) {
            desktop.push_back(url);
            return true;
        });
        m_app = std::make_unique<CReadhallApp>();
        m_app->SetRegistryKey(QStringLiteral("Vantrel\\Vantrel\\Settings"));
        m_app->m_nCmdShow = SW_SHOWNORMAL;
        auto* browserKind = new CDocTemplate(
            133, QStringLiteral("BrowserDoc"), [] { return new CDocument; },
            [] { return new CMDIChildWnd; }, [] { return new RecordingPane; });
        m_app->AddDocTemplate(browserKind);
        m_app->m_templates[TEMPLATE_BROWSER] = browserKind;
        m_frame = new CMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame());
    }
    void TearDown() override
    {
        if (m_frame) {
            m_frame->DestroyWindow();
            delete m_frame.data();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_app.reset();
    }

    // Opens the browser window; its pane becomes the active browser pane.
    RecordingPane* openPane()
    {
        m_frame->ShowMainWindow();
        m_frame->ExecuteCommand(ID_VIEW_BROWSER);
        CDocument* doc = m_frame->GetActiveBrowserDocument();
        return doc ? dynamic_cast<RecordingPane*>(doc->GetFirstView()) : nullptr;
    }

    static uint32_t story(uint32_t channel, const QString& url, const QString& package = QString())
    {
        rhtest::engine::StorySeed desc;
        desc.headline = url;
        desc.url = url;
        desc.enclosureUrl = package;
        return rhtest::engine::addStory(channel, desc);
    }
    // A flag attribute of a story as the directory shows it ("Read", or "Accessed" for an
    // opened package); false when unreadable.
    static bool flag(uint32_t channel, uint32_t number, const char* name)
    {
        uint32_t value = 0xFFFF;
        if (CServices* services = GetCServices()) {
            services->GetStoryAttribute(CService::MakeStoryID(channel, number),
                                        QString::fromLatin1(name), value);
            ReleaseCServices();
        }
        return value == 1;
    }

    CMainFrame& frame() { return *m_frame; }

    std::vector<QUrl> desktop;
    std::unique_ptr<CReadhallApp> m_app;
    QPointer<CMainFrame> m_frame;
};

TEST_F(ShowStoryTest, ALocalDocumentGoesToThePlayerAndAPageIsShownAndMarkedRead)
{
    const uint32_t channel = rhtest::engine::addChannel("Media", "News");
    const uint32_t clip = story(channel, "c:\\media\\clip.avi", "https://media.example/clip.avi");
    const uint32_t page =
        story(channel, "c:\\pages\\story.html", "https://media.example/package.zip");
    const uint32_t local = story(channel, "/srv/pages/Story.HTM");
    const uint32_t dotted = story(channel, "/srv/pages.d/notes");
    const uint32_t web = story(channel, "https://news.example/today");
    RecordingPane* pane = openPane();
    ASSERT_NE(pane, nullptr);

    EXPECT_EQ(frame().ShowStory(channel, clip), 1);
    EXPECT_TRUE(pane->urls.isEmpty());
    EXPECT_EQ(rhtest::engine::openedUrls(), QStringList{"https://media.example/clip.avi"});
    EXPECT_TRUE(flag(channel, clip, "Accessed"));

    EXPECT_EQ(frame().ShowStory(channel, page), 1);
    EXPECT_EQ(pane->urls, QStringList{"c:\\pages\\story.html"});
    EXPECT_TRUE(flag(channel, page, "Read"));
    // Its package was opened for the engine, not played.
    EXPECT_TRUE(flag(channel, page, "Accessed"));
    EXPECT_EQ(rhtest::engine::openedUrls().size(), 1);

    for (const uint32_t shown : {local, dotted, web}) {
        EXPECT_EQ(frame().ShowStory(channel, shown), 1);
        EXPECT_TRUE(flag(channel, shown, "Read")) << shown;
    }
    EXPECT_EQ(pane->urls, QStringList({"c:\\pages\\story.html", "/srv/pages/Story.HTM",
                                       "/srv/pages.d/notes", "https://news.example/today"}));
    EXPECT_TRUE(desktop.empty());
}

TEST_F(ShowStoryTest, AnAlertOpensThePackageOfTheStoryThatRaisedIt)
{
    const uint32_t channel = rhtest::engine::addChannel("Markets", "News");
    const uint32_t shares = story(channel, "https://news.example/shares");
    const uint32_t alert = rhtest::engine::addAlert(channel, shares, "Price", "Stocks");
    ASSERT_NE(alert, 0u);
    RecordingPane* pane = openPane();
    ASSERT_NE(pane, nullptr);
    ASSERT_FALSE(flag(channel, shares, "Accessed"));

    EXPECT_EQ(frame().ShowStory(VT_ALERTS_CHANNEL_ID, alert), 1);
    EXPECT_TRUE(flag(channel, shares, "Accessed"));
    EXPECT_TRUE(flag(VT_ALERTS_CHANNEL_ID, alert, "Read"));
    EXPECT_EQ(pane->urls, QStringList{"https://news.example/shares"});
}

TEST_F(ShowStoryTest, WithoutAPaneThePackageIsPlayedAndAPlainStoryOpensOnTheDesktopAndIsRead)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily News", "News");
    const uint32_t plain = story(channel, "https://news.example.org/rain");
    const uint32_t packaged =
        story(channel, "https://news.example.org/film", "https://media.example/film.avi");

    EXPECT_EQ(frame().ShowStory(channel, plain), 1);
    EXPECT_EQ(desktop, std::vector<QUrl>{QUrl("https://news.example.org/rain")});
    EXPECT_TRUE(flag(channel, plain, "Read"));

    EXPECT_EQ(frame().ShowStory(channel, packaged), 1);
    EXPECT_EQ(rhtest::engine::openedUrls(), QStringList{"https://media.example/film.avi"});
    EXPECT_EQ(desktop.size(), 1u);
}

TEST_F(ShowStoryTest, AddressesGoToThePaneOrElseToTheDesktopWithoutQuotes)
{
    EXPECT_EQ(frame().ShowURL(QString()), 0);
    EXPECT_EQ(frame().ShowURL("\"/home/reader/report page.pdf\""), 1);
    EXPECT_EQ(frame().ShowURL("https://news.example/x"), 1);
    EXPECT_EQ(frame().ShowURL("\"\""), 0);
    EXPECT_EQ(desktop, (std::vector<QUrl>{QUrl::fromLocalFile("/home/reader/report page.pdf"),
                                          QUrl("https://news.example/x")}));

    RecordingPane* pane = openPane();
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(frame().ShowURL(QString()), 0);
    EXPECT_EQ(frame().ShowURL("https://news.example/"), 1);
    EXPECT_EQ(pane->urls, QStringList{"https://news.example/"});
    EXPECT_EQ(desktop.size(), 2u);
}

TEST_F(ShowStoryTest, TheBrowserWindowTakesNoStoriesOrAddresses)
{
    // The program's own browser window in place of the recording one.
    auto* browserWindows = new CDocTemplate(
        133, QStringLiteral("BrowserDoc"), [] { return new CBrowserDoc; },
        [] { return new CBrowserFrame; }, [] { return new CBrowserHeaderView; });
    m_app->AddDocTemplate(browserWindows);
    m_app->m_templates[TEMPLATE_BROWSER] = browserWindows;
    frame().ShowMainWindow();
    ASSERT_TRUE(frame().ExecuteCommand(ID_VIEW_BROWSER));
    ASSERT_EQ(browserWindows->GetDocumentCount(), 1u);
    EXPECT_EQ(frame().GetActiveBrowserDocument(), nullptr);

    const uint32_t channel = rhtest::engine::addChannel("Daily News", "News");
    const uint32_t plain = story(channel, "https://news.example.org/rain");
    EXPECT_EQ(frame().ShowStory(channel, plain), 1);
    EXPECT_EQ(frame().ShowURL("https://news.example/x"), 1);
    EXPECT_EQ(desktop, (std::vector<QUrl>{QUrl("https://news.example.org/rain"),
                                          QUrl("https://news.example/x")}));
}

TEST_F(ShowStoryTest, AScriptLinkIsNeitherShownNorOpenedAndThePersonIsTold)
{
    // A feed the person added from a file may carry any address; it still never runs.
    const uint32_t channel = rhtest::engine::addChannel("Local", "News");
    const uint32_t script =
        story(channel, "javascript:alert(document.cookie)", "javascript:alert('package')");
    // Nor is an unknown story.
    EXPECT_EQ(frame().ShowStory(12345, 1), 0);
    EXPECT_EQ(frame().ShowStory(channel, script + 99), 0);
    EXPECT_EQ(frame().ShowStory(channel, script), 0);
    EXPECT_TRUE(desktop.empty());
    EXPECT_TRUE(rhtest::engine::openedUrls().isEmpty());
    EXPECT_FALSE(flag(channel, script, "Read"));
    const QString status = frame().GetStatusBar()->GetPaneText(ID_SEPARATOR);
    EXPECT_TRUE(status.contains("javascript:alert")) << status.toStdString();
    EXPECT_TRUE(status.contains("not opened")) << status.toStdString();
}

} // namespace
