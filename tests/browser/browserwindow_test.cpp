// The browser window with the real hosted browser (headless): its start page, what typed and
// cached addresses reach the browser as, the window's shape, story display requests, what a
// remote page may reach, printing and downloads.

#include "resources/readhall_resources.h"
#include "src/browser/browsercalls.h"
#include "src/browser/browserids.h"
#include "src/browser/browsermainview.h"
#include "src/browser/browserwindow.h"
#include "src/browser/downloads.h"
#include "src/browser/webbrowser.h"
#include "src/framework/doctemplate.h"
#include "src/framework/mainframe.h"
#include "src/framework/winapp.h"
#include "src/platform/messagebox.h"
#include "src/shared/headerview.h"
#include "src/shared/startupchecks.h"
#include "src/shared/updatehint.h"
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
        BrowserCalls& calls = browserCalls();
        calls.programDirectory = [this] { return programDir; };
        calls.getCachedURL = [this](const QString& url, QString& cached) {
            const auto found = cache.find(url);
            if (found == cache.end())
                return 0;
            cached = found->second;
            return 1;
        };
    }
    void TearDown() override
    {
        resetBrowserCalls();
        browserdownloads::SetSaveFileQuestion(nullptr);
        startupchecks::resetForTests();
    }

    static QString writePage(const QString& path, const QString& body)
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(("<html><body>" + body + "</body></html>").toUtf8());
        return path;
    }
    static QString titledPage(const QString& path, const QString& title)
    {
        return writePage(path, "<script>document.title='" + title + "'</script>");
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
    struct Case {
        const char* name;
        bool pagePresent;
        bool directoryKnown;
    };
    for (const Case& c : {Case{"page present", true, true}, Case{"page missing", false, true},
                          Case{"no program folder", false, false}}) {
        SCOPED_TRACE(c.name);
        const QString page = programDir + "/ReadHall.htm";
        QFile::remove(page);
        if (c.pagePresent)
            titledPage(page, "Start");
        if (!c.directoryKnown)
            browserCalls().programDirectory = [] { return QString(); };
        auto pane = openPane();
        if (c.pagePresent) {
            EXPECT_EQ(pane->lastNavigation(), page);
            EXPECT_TRUE(waitForTitle(pane.get(), "Start"));
        } else {
            EXPECT_EQ(pane->lastNavigation(), "about:blank");
            EXPECT_TRUE(rhtest::waitFor(
                [&] { return pane->browser()->url() == QUrl("about:blank"); }, 20000));
        }
    }
}

TEST_F(BrowserWindowTest, TypedAndCachedFileAddressesReachTheBrowserUnchanged)
{
    const QString typedPage = titledPage(rhtest::testRoot() + "/typed.html", "Typed");
    auto pane = openPane();
    const QString typed = "file://" + typedPage;
    pane->addressBox()->lineEdit()->setText(typed);
    QTest::keyClick(pane->addressBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(pane->lastNavigation(), typed);
    EXPECT_EQ(pane->addressBox()->count(), 1);
    EXPECT_TRUE(waitForTitle(pane.get(), "Typed"));

    // The engine's copy of a story, given as a file address, keeps its prefix as well.
    const QString copy = "FILE://" + titledPage(rhtest::testRoot() + "/copy.html", "Copy");
    cache["https://news.example/story.html"] = copy;
    EXPECT_EQ(pane->Navigate("https://news.example/story.html"), 1);
    EXPECT_EQ(pane->lastNavigation(), copy);
    EXPECT_TRUE(waitForTitle(pane.get(), "Copy"));
}

TEST_F(BrowserWindowTest, WithoutTheBrowserEngineThePaneSaysSoAndShowsNothing)
{
    startupchecks::setWebBrowserProbe([] { return false; });
    titledPage(programDir + "/ReadHall.htm", "Start");
    auto pane = openPane();
    EXPECT_EQ(pane->browser(), nullptr);
    const auto* notice = pane->findChild<QLabel*>("BrowserUnavailable");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->geometry(), QRect(4, 33, 792, 463));
    EXPECT_EQ(pane->Navigate("https://news.example/"), 0);
}

class BrowserFrameTest : public BrowserWindowTest
{
protected:
    void SetUp() override
    {
        BrowserWindowTest::SetUp();
        app = std::make_unique<CWinApp>(QStringLiteral("BrowserTests"));
        main = std::make_unique<CMDIFrameWnd>();
        app->m_pMainWnd = main.get();
        main->resize(1000, 700);
        main->show();
        browsers = std::make_unique<CDocTemplate>(
            133, "BrowserDoc", [] { return new CBrowserDoc; }, [] { return new CBrowserFrame; },
            [] { return new CBrowserHeaderView; });
    }
    void TearDown() override
    {
        for (CMDIChildWnd* frame : main->GetChildFrames())
            frame->MDIDestroy();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        browsers.reset();
        app->m_pMainWnd = nullptr;
        main.reset();
        app.reset();
        BrowserWindowTest::TearDown();
    }

    std::unique_ptr<CWinApp> app;
    std::unique_ptr<CMDIFrameWnd> main;
    std::unique_ptr<CDocTemplate> browsers;
};

TEST_F(BrowserFrameTest, OpensMaximisedUnderItsHeaderAndLaysOutItsPane)
{
    CDocument* doc = browsers->OpenDocumentFile();
    ASSERT_NE(doc, nullptr);
    auto* frame = qobject_cast<CBrowserFrame*>(doc->GetFrames().front());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->subWindow()->isMaximized());
    EXPECT_EQ(frame->subWindow()->windowTitle(), "Browser");
    auto* header = qobject_cast<CBrowserHeaderView*>(frame->GetHeaderView());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetTitle(), "Browser");
    EXPECT_FALSE(header->GetPicture().isNull());

    CBrowserMainView* pane = frame->GetBrowserView();
    ASSERT_NE(pane, nullptr);
    ASSERT_TRUE(rhtest::waitFor([&] { return pane->lastNavigation() == "about:blank"; }));
    ASSERT_TRUE(rhtest::waitFor([&] { return pane->height() > 100; }));
    const int cx = pane->width();
    const int cy = pane->height();
    EXPECT_EQ(header->height(), 64);
    EXPECT_EQ(pane->button(IDC_BROWSER_BACK)->geometry(), QRect(4, 4, 25, 25));
    EXPECT_EQ(pane->button(IDC_BROWSER_PRINT)->geometry(), QRect(112, 4, 25, 25));
    EXPECT_TRUE(pane->button(IDC_BROWSER_PRINT)->toolTip().isEmpty());
    EXPECT_EQ(pane->addressBox()->geometry().left(), 139);
    EXPECT_EQ(pane->addressBox()->width(), cx - 143);
    EXPECT_EQ(pane->browser()->geometry(), QRect(4, 33, cx - 8, cy - 37));

    // Resizing the window keeps the header's height and the pane's margins.
    main->resize(800, 560);
    ASSERT_TRUE(rhtest::waitFor([&] { return pane->width() != cx; }));
    EXPECT_EQ(header->height(), 64);
    EXPECT_EQ(pane->browser()->geometry(), QRect(4, 33, pane->width() - 8, pane->height() - 37));
}

TEST_F(BrowserFrameTest, StoryDisplayRequestsLeaveTheWindowAlone)
{
    titledPage(programDir + "/ReadHall.htm", "Start");
    CDocument* doc = browsers->OpenDocumentFile();
    ASSERT_NE(doc, nullptr);
    CBrowserMainView* pane =
        qobject_cast<CBrowserFrame*>(doc->GetFrames().front())->GetBrowserView();
    ASSERT_TRUE(waitForTitle(pane, "Start"));
    const QString home = pane->lastNavigation();
    const int entries = pane->addressBox()->count();

    SendShowURLHint(doc, titledPage(rhtest::testRoot() + "/story.html", "Story"));
    QTest::qWait(300);
    EXPECT_EQ(pane->lastNavigation(), home);
    EXPECT_EQ(pane->addressBox()->count(), entries);
    EXPECT_EQ(pane->browser()->title(), "Start");
}

TEST_F(BrowserWindowTest, ARemotePageCannotReachLocalFiles)
{
    QFile picture(":/bitmaps/147.png");
    ASSERT_TRUE(picture.open(QIODevice::ReadOnly));
    const QString localPicture = rhtest::testRoot() + "/secret.png";
    QFile copy(localPicture);
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write(picture.readAll());
    copy.close();
    const QByteArray probe = "<img src=\"" + QUrl::fromLocalFile(localPicture).toEncoded() +
                             "\" onload=\"document.title='read'\" "
                             "onerror=\"document.title='refused'\">";

    rhtest::LocalHttpServer server;
    ASSERT_TRUE(server.isListening());
    server.setRoute("/page.html", "<html><body>" + probe + "</body></html>", "text/html");
    auto pane = openPane();
    pane->Navigate(server.url("/page.html").toString());
    ASSERT_TRUE(rhtest::waitFor(
        [&] {
            const QString title = pane->browser()->title();
            return title == "read" || title == "refused";
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
    const QString page = titledPage(rhtest::testRoot() + "/download.html", "Download");
    const char* clickDownload =
        "var a = document.createElement('a');"
        "a.href = URL.createObjectURL(new Blob(['first story'], {type: 'text/plain'}));"
        "a.download = 'story.txt'; document.body.appendChild(a); a.click();";
    struct Case {
        const char* name;
        bool save;
    };
    for (const Case& c : {Case{"saved", true}, Case{"cancelled", false}}) {
        SCOPED_TRACE(c.name);
        const QString target = rhtest::testRoot() + "/chosen-" + c.name + ".txt";
        QStringList suggested;
        browserdownloads::SetSaveFileQuestion([&](QWidget*, const QString& path) {
            suggested << path;
            return c.save ? target : QString();
        });
        auto pane = openPane();
        pane->Navigate(page);
        ASSERT_TRUE(waitForTitle(pane.get(), "Download"));
        pane->browser()->page()->runJavaScript(QString::fromLatin1(clickDownload));
        ASSERT_TRUE(rhtest::waitFor([&] { return !suggested.isEmpty(); }, 20000));
        EXPECT_TRUE(suggested.front().endsWith("/story.txt")) << suggested.front().toStdString();
        if (c.save) {
            ASSERT_TRUE(rhtest::waitFor([&] { return QFileInfo(target).size() > 0; }, 20000));
            QFile saved(target);
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
            EXPECT_EQ(saved.readAll(), "first story");
        } else {
            QTest::qWait(500);
            EXPECT_FALSE(QFileInfo::exists(target));
            EXPECT_FALSE(QFileInfo::exists(suggested.front()));
        }
    }
}

} // namespace
