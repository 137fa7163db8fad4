// The publishing wizard window and the bundled publishing tool: the start page under the
// engine's data directory, the message when it is gone, the tool's registration, and a story
// written in the tool's pages and saved as a feed file the engine reads.

#include "resources/readhall_resources.h"
#include "src/browser/downloads.h"
#include "src/browser/webbrowser.h"
#include "src/framework/doctemplate.h"
#include "src/framework/mainframe.h"
#include "src/framework/winapp.h"
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
#include <QDirIterator>
#include <QFile>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace
{

using platform::SettingsKey;

QString toolFolder()
{
    return rhtest::engineDataDir() + "/publishing-tool-root";
}

// Puts the bundled tool's pages where the engine's demo content puts them.
void installBundledTool()
{
    const QString source =
        QStringLiteral(READHALL_SOURCE_DIR) + "/data/demo/datadir/publishing-tool-root";
    QDir().mkpath(toolFolder());
    for (const QString& name : QDir(source).entryList(QDir::Files))
        QFile::copy(source + "/" + name, toolFolder() + "/" + name);
}

class PublishingWizardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        startupchecks::resetForTests();
        ASSERT_TRUE(rhtest::engine::start());
        app = std::make_unique<CWinApp>(QStringLiteral("PublishingTests"));
        main = std::make_unique<CMDIFrameWnd>();
        app->m_pMainWnd = main.get();
        main->resize(1000, 700);
        main->show();
        wizardKind = std::make_unique<CDocTemplate>(
            135, "PublishingWizardDoc", [] { return new CPublishingWizardDoc; },
            [] { return new CPublishingWizardFrame; },
            [] { return new CPublishingWizardHeaderView; });
        platform::resetMessageBoxHook();
    }
    void TearDown() override
    {
        for (CMDIChildWnd* frame : main->GetChildFrames())
            frame->MDIDestroy();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        wizardKind.reset();
        app->m_pMainWnd = nullptr;
        main.reset();
        app.reset();
        browserdownloads::SetSaveFileQuestion(nullptr);
        startupchecks::resetForTests();
    }

    // Opens the wizard window; its pane once it went home (or found it could not).
    CPublishingWizardBrowserView* open()
    {
        CDocument* doc = wizardKind->OpenDocumentFile();
        if (!doc)
            return nullptr;
        frame = qobject_cast<CPublishingWizardFrame*>(doc->GetFrames().front());
        auto* pane = qobject_cast<CPublishingWizardBrowserView*>(frame->GetPaneView());
        QTest::qWait(100); // the pane goes home once the window is on screen
        return pane;
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

    std::unique_ptr<CWinApp> app;
    std::unique_ptr<CMDIFrameWnd> main;
    std::unique_ptr<CDocTemplate> wizardKind;
    CPublishingWizardFrame* frame = nullptr;
};

TEST_F(PublishingWizardTest, OpensMaximisedOnTheToolsStartPage)
{
    installBundledTool();
    CPublishingWizardBrowserView* pane = open();
    ASSERT_NE(pane, nullptr);
    EXPECT_TRUE(frame->subWindow()->isMaximized());
    EXPECT_EQ(frame->subWindow()->windowTitle(), "Publishing Wizard");
    auto* header = qobject_cast<CPublishingWizardHeaderView*>(frame->GetHeaderView());
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->GetTitle(), "Publishing Wizard");
    ASSERT_TRUE(waitForPage(pane, "top.htm"));
    EXPECT_EQ(pane->browser()->url(),
              QUrl::fromLocalFile(QDir::cleanPath(toolFolder() + "/top.htm")));
    EXPECT_TRUE(platform::messageBoxQuestions().empty());
}

TEST_F(PublishingWizardTest, AStartPageRemovedAfterStartUpGivesTheMessageAndAnEmptyPane)
{
    installBundledTool();
    SettingsKey key = SettingsKey::create(HKEY_CURRENT_USER, PUBLISHING_KEY_PATH);
    key.writeNumber("Enabled", 1);
    key.writeNumber("PublishingWizard", 1);
    ASSERT_EQ(IsPublishingWizardAvailable(), 1);
    QFile::remove(toolFolder() + "/top.htm");

    CPublishingWizardBrowserView* pane = open();
    ASSERT_NE(pane, nullptr);
    ASSERT_EQ(platform::messageBoxQuestions().size(), 1u);
    EXPECT_EQ(platform::messageBoxQuestions()[0].text, "Publishing Wizard not installed properly");
    EXPECT_EQ(platform::messageBoxQuestions()[0].flags, MB_OK);
    EXPECT_TRUE(pane->lastNavigation().isEmpty());
    EXPECT_TRUE(pane->browser()->url().isEmpty());
}

TEST_F(PublishingWizardTest, TheBundledToolIsRegisteredUnlessTheSettingsSayOtherwise)
{
    struct Case {
        const char* name;
        bool toolPresent;
        int storedEnabled; // -1: not stored
        bool registers;
        DWORD enabledAfter; // 0xFF: not stored
    };
    const Case cases[] = {
        {"no tool", false, -1, false, 0xFF},
        {"tool, nothing stored", true, -1, true, 1},
        {"tool, switched off", true, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsKey::open(HKEY_CURRENT_USER, "Software\\Vantrel\\Vantrel", true)
            .deleteSubKeyTree("Publishing");
        QDir(toolFolder()).removeRecursively();
        if (c.toolPresent)
            installBundledTool();
        if (c.storedEnabled >= 0)
            SettingsKey::create(HKEY_CURRENT_USER, PUBLISHING_KEY_PATH)
                .writeNumber("Enabled", DWORD(c.storedEnabled));
        EXPECT_EQ(RegisterBundledPublishingTool(), c.registers);
        const SettingsKey key = SettingsKey::open(HKEY_CURRENT_USER, PUBLISHING_KEY_PATH);
        DWORD enabled = 0xFF;
        DWORD wizard = 0xFF;
        if (key) {
            key.readNumber("Enabled", enabled);
            key.readNumber("PublishingWizard", wizard);
        }
        EXPECT_EQ(enabled, c.enabledAfter);
        EXPECT_EQ(wizard, c.registers ? DWORD(1) : DWORD(0xFF));
    }
}

TEST_F(PublishingWizardTest, AStoryWrittenInTheToolIsSavedAsAFeedTheEngineReads)
{
    installBundledTool();
    const QString saved = rhtest::testRoot() + "/saved/rowing.xml";
    QDir().mkpath(QFileInfo(saved).absolutePath());
    QString suggested;
    browserdownloads::SetSaveFileQuestion([&](QWidget*, const QString& path) {
        suggested = path;
        return saved;
    });
    CPublishingWizardBrowserView* pane = open();
    ASSERT_NE(pane, nullptr);
    ASSERT_TRUE(waitForPage(pane, "top.htm"));
    run(pane, "document.getElementById('start').click()");
    ASSERT_TRUE(waitForPage(pane, "compose.htm"));

    // A link that is no web address is refused and the page stays.
    run(pane, "function set(id, v) { document.getElementById(id).value = v; }"
              "set('title', 'Elswick Rowing Club'); set('description', 'News from the river');"
              "set('headline', 'Spring regatta moves to May & June');"
              "set('summary', 'The <regatta> moves: boats launch at 9.');"
              "set('link', 'javascript:alert(1)'); set('category', ' Sports / Rowing ');"
              "document.getElementById('next').click()");
    EXPECT_EQ(run(pane, "document.getElementById('linkError').textContent").toString().isEmpty(),
              false);
    EXPECT_EQ(pane->browser()->url().fileName(), "compose.htm");

    run(pane, "document.getElementById('link').value = 'https://rowing.example/regatta';"
              "document.getElementById('next').click()");
    ASSERT_TRUE(waitForPage(pane, "save.htm"));
    run(pane, "document.getElementById('saveFeed').click()");
    ASSERT_TRUE(rhtest::waitFor([&] { return QFileInfo(saved).size() > 0; }, 20000));
    EXPECT_TRUE(suggested.endsWith("/elswick-rowing-club.xml")) << suggested.toStdString();

    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const vantrel::feeds::ParseResult result =
        vantrel::feeds::parseFeed(file.readAll(), QUrl::fromLocalFile(saved));
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
