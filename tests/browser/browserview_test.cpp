// The browser pane (real browser, headless): controls, start page, hints, address box, drops.

#include "resources/readhall_resources.h"
#include "src/browser/browsercalls.h"
#include "src/browser/browserids.h"
#include "src/browser/browserview.h"
#include "src/browser/webbrowser.h"
#include "src/channel/channeldoc.h"
#include "src/channel/channelids.h"
#include "src/engine/messages.h"
#include "src/platform/messagewindow.h"
#include "src/shared/mainframelink.h"
#include "src/shared/settingsfunctions.h"
#include "tests/support/testenv.h"
#include "vantrel/qkcoolbutton.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QWebEngineSettings>
#include <gtest/gtest.h>
#include <map>

namespace
{

class BrowserViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        dataDir = rhtest::testRoot() + "/data";
        QDir().mkpath(dataDir);
        BrowserCalls& calls = browserCalls();
        calls.dataDirectory = [this] { return dataDir; };
        calls.getCachedURL = [](const QString&, QString&) { return 0; };
        calls.showStory = [this](uint32_t channel, uint32_t story) {
            shown.emplace_back(channel, story);
            return 1;
        };
        calls.broadcastNotification = [this](int number, const QString&, uint32_t) {
            notifications.push_back(number);
            return 1;
        };
    }
    void TearDown() override { resetBrowserCalls(); }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = dataDir + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
        return path;
    }
    QString writePage(const QString& name, const QString& title)
    {
        return writeFile(
            name, QStringLiteral("<html><head><title>%1</title></head><body>%1</body></html>")
                      .arg(title)
                      .toUtf8());
    }
    static bool waitForTitle(CBrowserView* view, const QString& title)
    {
        return rhtest::waitFor([&] { return view->browser()->title() == title; }, 20000);
    }

    QString dataDir;
    std::vector<std::pair<uint32_t, uint32_t>> shown;
    std::vector<int> notifications;
};

TEST_F(BrowserViewTest, ThePaneShowsItsStartPageOrTheEmptyPageAndLaysOutItsControls)
{
    writePage("readhall.htm", "Start");
    writePage("browser.htm", "Other start");
    CBrowserView view;
    view.resize(800, 500);
    view.show();
    ASSERT_TRUE(waitForTitle(&view, "Start"));
    EXPECT_EQ(view.lastNavigation(), dataDir + "/readhall.htm");
    EXPECT_TRUE(rhtest::waitFor(
        [&] { return view.addressBox()->currentText() == dataDir + "/readhall.htm"; }));

    for (UINT id : {IDC_BROWSER_BACK, IDC_BROWSER_FORWARD, IDC_BROWSER_STOP, IDC_BROWSER_REFRESH,
                    IDC_BROWSER_PRINT})
        ASSERT_NE(view.button(id), nullptr) << id;
    EXPECT_EQ(view.button(IDC_BROWSER_BACK)->toolTip(), "Back");
    EXPECT_EQ(view.button(IDC_BROWSER_PRINT)->toolTip(), "Print");
    // The buttons in a row, then the address box, then the indicator; the page below; all
    // inside the pane.
    const QRect address = view.addressBox()->geometry();
    EXPECT_LT(view.button(IDC_BROWSER_BACK)->x(), view.button(IDC_BROWSER_FORWARD)->x());
    EXPECT_GT(address.left(), view.button(IDC_BROWSER_PRINT)->geometry().right());
    EXPECT_LT(address.right(), view.statusIndicator()->x());
    EXPECT_GT(view.browser()->y(), address.bottom());
    EXPECT_TRUE(view.rect().contains(view.statusIndicator()->geometry()));
    EXPECT_TRUE(view.rect().contains(view.browser()->geometry()));
    EXPECT_GT(view.statusIndicator()->FrameCount(), 1);

    // The other start page when asked for.
    WriteLayoutFlag(HKEY_CURRENT_USER, QString::fromLatin1(LAYOUT_KEY_PATH), "UseBrowserFromFile",
                    DWORD(1));
    CBrowserView other;
    EXPECT_EQ(other.lastNavigation(), dataDir + "/browser.htm");
    // A missing start page gives the empty page; no data folder, nothing.
    QFile::remove(dataDir + "/browser.htm");
    QFile::remove(dataDir + "/readhall.htm");
    CBrowserView missing;
    EXPECT_EQ(missing.lastNavigation(), "c:\\");
    EXPECT_EQ(CWebBrowser::LocationToUrl("c:\\"), QUrl("about:blank"));
    browserCalls().dataDirectory = [] { return QString(); };
    CBrowserView none;
    EXPECT_TRUE(none.lastNavigation().isEmpty());
}

TEST_F(BrowserViewTest, TheAddressBoxSelectsAnEntryThatBeginsWithTheTextOrInsertsIt)
{
    const QString page = writePage("typed.html", "Typed");
    browserCalls().dataDirectory = [] { return QString(); };
    CBrowserView view;
    view.resize(600, 400);
    view.show();
    view.SelectOrInsertAddress("https://news.example/world/today");
    view.SelectOrInsertAddress("https://other.example/");
    view.SelectOrInsertAddress("https://other.example/");
    EXPECT_EQ(view.addressBox()->count(), 2);
    EXPECT_EQ(view.addressBox()->itemText(0), "https://other.example/");
    view.SelectOrInsertAddress("https://news.example/world");
    EXPECT_EQ(view.addressBox()->count(), 2);
    EXPECT_EQ(view.addressBox()->currentText(), "https://news.example/world/today");

    // Enter shows the typed address.
    view.addressBox()->lineEdit()->setText(page);
    QTest::keyClick(view.addressBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(view.addressBox()->count(), 3);
    EXPECT_EQ(view.lastNavigation(), page);
    EXPECT_TRUE(waitForTitle(&view, "Typed"));
}

TEST_F(BrowserViewTest, ACachedCopyGivenAsAFileAddressIsNavigatedWithoutItsPrefix)
{
    std::map<QString, QString> cache;
    cache["https://news.example/a.html"] = "file:///var/cache/vantrel/a.html";
    cache["https://news.example/b.html"] = "FILE://host/Share/B.html";
    browserCalls().getCachedURL = [&cache](const QString& url, QString& cached) {
        const auto found = cache.find(url);
        if (found == cache.end())
            return 0;
        cached = found->second;
        return 1;
    };
    EXPECT_EQ(BrowserNavigationText("https://news.example/a.html"), "/var/cache/vantrel/a.html");
    EXPECT_EQ(BrowserNavigationText("https://news.example/b.html"), "host/Share/B.html");
    EXPECT_EQ(BrowserNavigationText("File:///Data/Page.HTML"), "/Data/Page.HTML");
    EXPECT_EQ(BrowserNavigationText("\"/home/reader/my page.html\""), "/home/reader/my page.html");
    EXPECT_EQ(BrowserNavigationText("https://news.example/c.html"), "https://news.example/c.html");
}

// Records what the pane tells the status bar.
class StatusRecorder : public CMainFrameLink
{
public:
    BOOL ShowStory(uint32_t, uint32_t) override { return 0; }
    BOOL ShowURL(const QString&) override { return 0; }
    void ShowSecureIndicator(BOOL) override {}
    void PostStatusText(const QString& text) override { texts << text; }
    CDocument* ShowWindowKind(int) override { return nullptr; }
    BOOL ShowChannel(uint32_t) override { return 0; }
    QStringList texts;
};

TEST_F(BrowserViewTest, TheShowUrlHintLoadsThePageAndAScriptAddressIsRefused)
{
    StatusRecorder status;
    SetMainFrameLink(&status);
    const QString page = writePage("story.html", "Before");
    CBrowserView view;
    view.resize(500, 300);
    view.show();
    CChannelDoc doc;
    doc.AddView(&view);
    CUpdateHint shown(page);
    doc.UpdateAllViews(nullptr, HINT_SHOW_URL, &shown);
    EXPECT_EQ(view.addressBox()->itemText(0), page);
    ASSERT_TRUE(waitForTitle(&view, "Before"));
    // The busy animation stops once the page is there; other hints leave the pane alone.
    EXPECT_TRUE(rhtest::waitFor([&] { return !view.statusIndicator()->IsPlaying(); }));
    doc.UpdateAllViews(nullptr, HINT_CHANNEL_UPDATED, &shown);
    EXPECT_EQ(view.addressBox()->count(), 1);
    status.texts.clear();

    // A script address never runs in the shown page.
    CUpdateHint script(QStringLiteral("javascript:document.title='ran'"));
    doc.UpdateAllViews(nullptr, HINT_SHOW_URL, &script);
    EXPECT_EQ(view.Navigate(QStringLiteral("JavaScript:document.title='ran'")), 0);
    ASSERT_EQ(status.texts.size(), 2);
    EXPECT_TRUE(status.texts[0].contains("not opened")) << status.texts[0].toStdString();
    EXPECT_FALSE(rhtest::waitFor([&] { return view.browser()->title() == "ran"; }, 1000));
    EXPECT_EQ(view.browser()->url(), QUrl::fromLocalFile(page));
    doc.RemoveView(&view);
    SetMainFrameLink(nullptr);
}

TEST_F(BrowserViewTest, AnAnimationFileThatCannotPlayGivesWayToOneThatCan)
{
    writeFile("browser.avi", "RIFF....AVI not really");
    WriteLayoutFlag(HKEY_CURRENT_USER, QString::fromLatin1(LAYOUT_KEY_PATH),
                    "UseBrowserAviFromFile", DWORD(1));
    {
        CBrowserView view;
        EXPECT_FALSE(view.statusIndicator()->IsFromFile());
        EXPECT_EQ(view.statusIndicator()->FrameCount(), 12);
    }
    // An animation of the same name that Qt plays is taken instead.
    writeFile("browser.gif",
              QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7"));
    CBrowserView view;
    EXPECT_TRUE(view.statusIndicator()->IsFromFile());
}

TEST_F(BrowserViewTest, ThePaneTakesOnlySingleStoriesDropped)
{
    browserCalls().dataDirectory = [] { return QString(); };
    CBrowserView view;
    const HWND hwnd = view.GetSafeHwnd();
    const UINT canDrop = RegisterWindowMessage(DRAGDROPMESSAGE_CAN_DROP);
    const UINT drop = RegisterWindowMessage(DRAGDROPMESSAGE_DROP_STORY);
    EXPECT_EQ(SendMessage(hwnd, canDrop, DRAGKIND_STORY, 1), 1);
    EXPECT_EQ(SendMessage(hwnd, canDrop, DRAGKIND_STORY, 2), 0);
    EXPECT_EQ(SendMessage(hwnd, canDrop, DRAGKIND_CHANNEL, 1), 0);
    EXPECT_EQ(SendMessage(hwnd, drop, 0, 5), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(SendMessage(hwnd, drop, 12, 5), 1);
    EXPECT_TRUE(notifications.empty());
    EXPECT_EQ(SendMessage(hwnd, drop, VT_ALERTS_CHANNEL_ID, 7), 1);
    EXPECT_EQ(shown,
              (std::vector<std::pair<uint32_t, uint32_t>>{{12, 5}, {VT_ALERTS_CHANNEL_ID, 7}}));
    EXPECT_EQ(notifications, std::vector<int>{6});
}

TEST_F(BrowserViewTest, PagesMayNotReachLocalFilesNorRunPluginsButLocalPagesShowTheirPictures)
{
    browserCalls().dataDirectory = [] { return QString(); };
    CBrowserView view;
    QWebEngineSettings* settings = view.browser()->settings();
    EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls));
    EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::PluginsEnabled));
    EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::JavascriptCanOpenWindows));
    EXPECT_TRUE(settings->testAttribute(QWebEngineSettings::JavascriptEnabled));
    EXPECT_EQ(CWebBrowser::LocationToUrl("/srv/page.html"), QUrl::fromLocalFile("/srv/page.html"));
    EXPECT_FALSE(CWebBrowser::LocationToUrl("d:\\elsewhere\\page.html").isValid());

    // A local page shows its own pictures; a remote page reads no files.
    QFile picture(":/bitmaps/147.png");
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    writeFile("pic.png", picture.readAll());
    writeFile("story.html", "<html><body><img src=\"pic.png\" onload=\"document.title='loaded'\" "
                            "onerror=\"document.title='failed'\"></body></html>");
    view.resize(400, 300);
    view.show();
    view.Navigate(dataDir + "/story.html");
    ASSERT_TRUE(rhtest::waitFor(
        [&] {
            return QStringList{"loaded", "failed"}.contains(view.browser()->title());
        },
        20000));
    EXPECT_EQ(view.browser()->title(), "loaded");
    EXPECT_TRUE(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls));
    EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls));

    // Any page that is not a local file loads with file access off.
    CWebBrowser::ApplyContentRules(settings, QUrl("https://news.example/story"));
    EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls));
    view.Navigate("about:blank");
    EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls));
}

} // namespace
