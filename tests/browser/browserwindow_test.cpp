// The browser window (real browser, headless): start page, typed and cached addresses, its
// shape, story requests, what a remote page may reach, printing and downloads.

#include "resources/readhall_resources.h"
#include "src/browser/browsercalls.h"
#include "src/browser/browserids.h"
#include "src/browser/browsermainview.h"
#include "src/browser/browserwindow.h"
#include "src/browser/downloads.h"
#include "src/browser/webbrowser.h"
#include "src/framework/doctemplate.h"
#include "src/framework/mainframe.h"
#include "src/platform/messagebox.h"
#include "src/shared/headerview.h"
#include "src/shared/startupchecks.h"
#include "src/shared/updatehint.h"
#include "tests/shared/shared_fixture.h"
#include "tests/support/feeds_httpserver.h"
#include "tests/support/testenv.h"
#include "vantrel/qkcoolbutton.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPrinterInfo>
#include <QTest>
#include <QWebEngineSettings>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace
{

class BrowserWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        programDir = rhtest::testRoot() + "/program";
        QDir().mkpath(programDir);
        browserCalls().programDirectory = [this] { return programDir; };
        browserCalls().getCachedURL = [this](const QString& url, QString& cached) {
            cached = cache.count(url) ? cache[url] : QString();
            return cache.count(url) ? 1 : 0;
        };
    }
    void TearDown() override
    {
        resetBrowserCalls();
        browserdownloads::SetSaveFileQuestion(nullptr);
        startupchecks::resetForTests();
    }

    // A page that names itself in its title once its script ran.
    static QString page(const QString& path, const QString& title, const QByteArray& body = {})
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("<html><body>" + body + "<script>document.title='" + title.toUtf8() +
                       "'</script></body></html>");
        return path;
    }
    // A pane as its window shows it: sized, visible, with its first update done.
    static std::unique_ptr<CBrowserMainView> openPane()
    {
        auto pane = std::make_unique<CBrowserMainView>();
        pane->resize(800, 500);
        pane->show();
        pane->OnInitialUpdate();
        rhtest::waitFor([&] { return !pane->lastNavigation().isEmpty(); });
        return pane;
    }
    static bool waitForTitle(CBrowserMainView* pane, const QString& title)
    {
        return rhtest::waitFor([&] { return pane->browser()->title() == title; }, 20000);
    }

    QString programDir;
    std::map<QString, QString> cache;
};

TEST_F(BrowserWindowTest, StartsOnTheStartPageBesideTheProgramElseOnAnEmptyPage)
{
    for (const int startPage : {1, 0, -1}) { // beside the program, missing, no program folder
        SCOPED_TRACE(startPage);
        QFile::remove(programDir + "/ReadHall.htm");
        if (startPage == 1)
            page(programDir + "/ReadHall.htm", "Start");
        if (startPage < 0)
            browserCalls().programDirectory = [] { return QString(); };
        auto pane = openPane();
        if (startPage == 1) {
            EXPECT_EQ(pane->lastNavigation(), programDir + "/ReadHall.htm");
            EXPECT_TRUE(waitForTitle(pane.get(), "Start"));
        } else {
            EXPECT_EQ(pane->lastNavigation(), "about:blank");
            EXPECT_TRUE(
                rhtest::waitFor([&] { return pane->browser()->url() == QUrl("about:blank"); }));
        }
    }
}

TEST_F(BrowserWindowTest, TypedAndCachedFileAddressesReachTheBrowserUnchanged)
{
    auto pane = openPane();
    const QString typed = "file://" + page(rhtest::testRoot() + "/typed.html", "Typed");
    pane->addressBox()->lineEdit()->setText(typed);
    QTest::keyClick(pane->addressBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(pane->lastNavigation(), typed);
    EXPECT_EQ(pane->addressBox()->count(), 1);
    EXPECT_TRUE(waitForTitle(pane.get(), "Typed"));

    // The engine's copy of a story, named as a file address, keeps its prefix too.
    cache["https://news.example/a.html"] = "FILE://" + page(rhtest::testRoot() + "/a.html", "Copy");
    EXPECT_EQ(pane->Navigate("https://news.example/a.html"), 1);
    EXPECT_EQ(pane->lastNavigation(), cache["https://news.example/a.html"]);
    EXPECT_TRUE(waitForTitle(pane.get(), "Copy"));
}

TEST_F(BrowserWindowTest, WithoutTheBrowserEngineThePaneSaysSoAndShowsNothing)
{
    startupchecks::setWebBrowserProbe([] { return false; });
    auto pane = openPane();
    EXPECT_EQ(pane->browser(), nullptr);
    const auto* notice = pane->findChild<QLabel*>("BrowserUnavailable");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisibleTo(pane.get()));
    EXPECT_TRUE(pane->rect().contains(notice->geometry()));
    EXPECT_EQ(pane->Navigate("https://news.example/"), 0);
}

TEST_F(BrowserWindowTest, ARemotePageCannotReachLocalFiles)
{
    QFile::copy(":/bitmaps/147.png", rhtest::testRoot() + "/secret.png");
    const QByteArray probe =
        "<img src='" + QUrl::fromLocalFile(rhtest::testRoot() + "/secret.png").toEncoded() +
        "' onload=\"document.title='read'\" onerror=\"document.title='refused'\">";
    rhtest::LocalHttpServer server;
    server.setRoute("/page.html", "<html><body>" + probe + "</body></html>", "text/html");
    auto pane = openPane();
    pane->Navigate(server.url("/page.html").toString());
    ASSERT_TRUE(rhtest::waitFor(
        [&] {
            return QStringList{"read", "refused"}.contains(pane->browser()->title());
        },
        20000));
    EXPECT_EQ(pane->browser()->title(), "refused");
    EXPECT_FALSE(pane->browser()->settings()->testAttribute(
        QWebEngineSettings::LocalContentCanAccessFileUrls));
}

TEST_F(BrowserWindowTest, PrintingWithoutAPrinterSaysWhy)
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a default printer";
    auto pane = openPane();
    platform::resetMessageBoxHook();
    pane->OnButton(IDC_BROWSER_PRINT);
    ASSERT_EQ(platform::messageBoxQuestions().size(), 1u);
    EXPECT_EQ(platform::messageBoxQuestions()[0].text,
              "There is no printer set up, so the page cannot be printed.");
}

TEST_F(BrowserWindowTest, ADownloadIsSavedOnlyWhereThePersonSays)
{
    const QString start = page(rhtest::testRoot() + "/download.html", "Download");
    for (const bool save : {true, false}) {
        SCOPED_TRACE(save ? "saved" : "cancelled");
        const QString target = rhtest::testRoot() + (save ? "/saved.txt" : "/cancelled.txt");
        QString suggested;
        browserdownloads::SetSaveFileQuestion([&](QWidget*, const QString& path) {
            suggested = path;
            return save ? target : QString();
        });
        auto pane = openPane();
        pane->Navigate(start);
        ASSERT_TRUE(waitForTitle(pane.get(), "Download"));
        pane->browser()->page()->runJavaScript(
            "var a = document.createElement('a'); a.download = 'story.txt';"
            "a.href = URL.createObjectURL(new Blob(['first story'], {type: 'text/plain'}));"
            "document.body.appendChild(a); a.click();");
        ASSERT_TRUE(rhtest::waitFor([&] { return !suggested.isEmpty(); }, 20000));
        EXPECT_TRUE(suggested.endsWith("/story.txt")) << suggested.toStdString();
        QFile saved(target);
        if (save)
            EXPECT_TRUE(rhtest::waitFor([&] { return saved.size() > 0; }, 20000));
        else
            QTest::qWait(500);
        EXPECT_EQ(saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray(),
                  save ? "first story" : "");
        EXPECT_FALSE(QFileInfo::exists(suggested));
    }
}

TEST_F(BrowserWindowTest, TheWindowOpensMaximisedUnderItsHeaderAndIgnoresStoryRequests)
{
    page(programDir + "/ReadHall.htm", "Start");
    sharedtest::FrameHost host;
    CDocTemplate kind(
        133, "BrowserDoc", [] { return new CBrowserDoc; }, [] { return new CBrowserFrame; },
        [] { return new CBrowserHeaderView; });
    auto* frame = host.open<CBrowserFrame>(kind);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->subWindow()->isMaximized());
    ASSERT_NE(qobject_cast<CBrowserHeaderView*>(frame->GetHeaderView()), nullptr);
    CBrowserMainView* pane = frame->GetBrowserView();
    ASSERT_TRUE(waitForTitle(pane, "Start"));

    for (const QSize size : {QSize(1000, 700), QSize(760, 520)}) {
        host.main()->resize(size);
        ASSERT_TRUE(rhtest::waitFor([&] { return pane->width() > size.width() - 40; }));
        // The address box after the buttons stretches to the right margin; the page below.
        const QRect address = pane->addressBox()->geometry();
        EXPECT_GT(address.left(), pane->button(IDC_BROWSER_PRINT)->geometry().right());
        EXPECT_EQ(address.right(), pane->width() - BROWSER_MARGIN - 1);
        EXPECT_GT(pane->browser()->y(), address.bottom());
        EXPECT_TRUE(pane->rect().contains(pane->browser()->geometry()));
    }

    // Story display requests are for the browser panes of other windows.
    const int entries = pane->addressBox()->count();
    SendShowURLHint(pane->GetDocument(), page(rhtest::testRoot() + "/story.html", "Story"));
    QTest::qWait(300);
    EXPECT_EQ(pane->lastNavigation(), programDir + "/ReadHall.htm");
    EXPECT_EQ(pane->addressBox()->count(), entries);
    EXPECT_EQ(pane->browser()->title(), "Start");
}

} // namespace
