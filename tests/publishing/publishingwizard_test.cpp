// The publishing wizard window and the bundled publishing tool: the tool's start page, the
// message when it is gone, the tool's registration, and a story written in the tool's pages
// and saved as a feed file that the engine reads.

#include "resources/readhall_resources.h"
#include "src/browser/downloads.h"
#include "src/browser/webbrowser.h"
#include "src/framework/doctemplate.h"
#include "src/platform/messagebox.h"
#include "src/platform/settingsstore.h"
#include "src/publishing/publishingwizard.h"
#include "src/shared/headerview.h"
#include "src/shared/settingsfunctions.h"
#include "src/shared/startupchecks.h"
#include "tests/shared/shared_fixture.h"
#include "tests/support/engine_builder.h"
#include "tests/support/testenv.h"
#include "vantrel/core/feeds/feeds.h"

#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

using platform::SettingsKey;
using namespace sharedtest;

class PublishingWizardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        startupchecks::resetForTests();
        platform::resetMessageBoxHook();
        ASSERT_TRUE(rhtest::engine::start());
    }
    void TearDown() override
    {
        browserdownloads::SetSaveFileQuestion(nullptr);
        startupchecks::resetForTests();
    }

    static QString toolFolder() { return rhtest::engineDataDir() + "/publishing-tool-root"; }
    // Puts the bundled tool's pages where the engine's demo content puts them.
    static void installBundledTool()
    {
        const QString source =
            QStringLiteral(READHALL_SOURCE_DIR) + "/data/demo/datadir/publishing-tool-root";
        QDir().mkpath(toolFolder());
        for (const QString& name : QDir(source).entryList(QDir::Files))
            QFile::copy(source + "/" + name, toolFolder() + "/" + name);
    }
    // Opens the wizard window; its pane once it went home (or found it could not).
    CPublishingWizardBrowserView* open()
    {
        frame = host.open<CPublishingWizardFrame>(kind);
        QTest::qWait(100); // home is queued until the window is on screen
        return frame ? qobject_cast<CPublishingWizardBrowserView*>(frame->GetPaneView()) : nullptr;
    }
    // Runs a script in the pane's page and answers its result.
    static QVariant run(CBrowserMainView* pane, const QString& script)
    {
        QVariant result;
        bool done = false;
        pane->browser()->page()->runJavaScript(script, [&](const QVariant& value) {
            result = value;
            done = true;
        });
        rhtest::waitFor([&] { return done; }, 20000);
        return result;
    }
    static bool waitForPage(CBrowserMainView* pane, const QString& file)
    {
        return rhtest::waitFor(
            [&] {
                return pane->browser()->url().fileName() == file &&
                       run(pane, "document.readyState").toString() == "complete";
            },
            20000);
    }

    sharedtest::FrameHost host;
    CDocTemplate kind{135, "PublishingWizardDoc", [] { return new CPublishingWizardDoc; },
                      [] { return new CPublishingWizardFrame; },
                      [] { return new CPublishingWizardHeaderView; }};
    CPublishingWizardFrame* frame = nullptr;
};

TEST_F(PublishingWizardTest, AStartPageRemovedAfterStartUpGivesTheMessageAndAnEmptyPane)
{
    installBundledTool();
    setNumber(PUBLISHING_KEY_PATH, "Enabled", 1);
    setNumber(PUBLISHING_KEY_PATH, "PublishingWizard", 1);
    ASSERT_EQ(IsPublishingWizardAvailable(), 1);
    QFile::remove(toolFolder() + "/top.htm");

    CPublishingWizardBrowserView* pane = open();
    ASSERT_NE(pane, nullptr);
    ASSERT_EQ(platform::messageBoxQuestions().size(), 1u);
    EXPECT_EQ(platform::messageBoxQuestions()[0].text, "Publishing Wizard not installed properly");
    EXPECT_TRUE(pane->lastNavigation().isEmpty());
    EXPECT_TRUE(pane->browser()->url().isEmpty());
}

TEST_F(PublishingWizardTest, TheBundledToolIsRegisteredUnlessTheSettingsSayOtherwise)
{
    // Tool present; "Enabled" stored before (-1: nothing stored); registered; "Enabled" after.
    const int cases[][4] = {{0, -1, 0, -1}, {1, -1, 1, 1}, {1, 0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << ", " << c[1]);
        SettingsKey::open(HKEY_CURRENT_USER, "Software\\Vantrel\\Vantrel", true)
            .deleteSubKeyTree("Publishing");
        QDir(toolFolder()).removeRecursively();
        if (c[0])
            installBundledTool();
        if (c[1] >= 0)
            setNumber(PUBLISHING_KEY_PATH, "Enabled", DWORD(c[1]));
        EXPECT_EQ(RegisterBundledPublishingTool(), c[2] == 1);
        EXPECT_EQ(storedNumber(PUBLISHING_KEY_PATH, "Enabled", DWORD(-1)), DWORD(c[3]));
        EXPECT_EQ(storedNumber(PUBLISHING_KEY_PATH, "PublishingWizard", DWORD(-1)),
                  DWORD(c[2] ? 1 : -1));
    }
}

TEST_F(PublishingWizardTest, AStoryWrittenInTheToolIsSavedAsAFeedTheEngineReads)
{
    installBundledTool();
    const QString saved = rhtest::testRoot() + "/rowing.xml";
    QString suggested;
    browserdownloads::SetSaveFileQuestion([&](QWidget*, const QString& path) {
        suggested = path;
        return saved;
    });
    CPublishingWizardBrowserView* pane = open();
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(frame->subWindow()->isMaximized());
    EXPECT_EQ(frame->subWindow()->windowTitle(), "Publishing Wizard");
    ASSERT_TRUE(waitForPage(pane, "top.htm"));
    EXPECT_EQ(pane->browser()->url(),
              QUrl::fromLocalFile(QDir::cleanPath(toolFolder()) + "/top.htm"));
    run(pane, "document.getElementById('start').click()");
    ASSERT_TRUE(waitForPage(pane, "compose.htm"));

    // A link that is no web address is refused and the page stays.
    run(pane, "function set(id, v) { document.getElementById(id).value = v; }"
              "set('title', 'Elswick Rowing Club'); set('description', 'News from the river');"
              "set('headline', 'Spring regatta moves to May & June');"
              "set('summary', 'The <regatta> moves: boats launch at 9.');"
              "set('link', 'javascript:alert(1)'); set('category', ' Sports / Rowing ');"
              "document.getElementById('next').click()");
    EXPECT_FALSE(
        run(pane, "document.getElementById('linkError').textContent").toString().isEmpty());
    EXPECT_EQ(pane->browser()->url().fileName(), "compose.htm");

    run(pane,
        "set('link', 'https://rowing.example/regatta'); document.getElementById('next').click()");
    ASSERT_TRUE(waitForPage(pane, "save.htm"));
    run(pane, "document.getElementById('saveFeed').click()");
    ASSERT_TRUE(rhtest::waitFor([&] { return QFileInfo(saved).size() > 0; }, 20000));
    EXPECT_TRUE(suggested.endsWith("/elswick-rowing-club.xml")) << suggested.toStdString();

    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto result = vantrel::feeds::parseFeed(file.readAll(), QUrl::fromLocalFile(saved));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(result.feed.title, "Elswick Rowing Club");
    EXPECT_EQ(result.feed.description, "News from the river");
    ASSERT_EQ(result.feed.items.size(), 1u);
    const vantrel::feeds::Item& item = result.feed.items.front();
    EXPECT_EQ(item.headline, "Spring regatta moves to May & June");
    // The summary is HTML that shows the text as it was typed.
    EXPECT_EQ(vantrel::feeds::plainTextFromHtml(item.summary),
              "The <regatta> moves: boats launch at 9.");
    EXPECT_EQ(item.link, "https://rowing.example/regatta");
    EXPECT_EQ(item.categories, QStringList{"Sports/Rowing"});
}

} // namespace
