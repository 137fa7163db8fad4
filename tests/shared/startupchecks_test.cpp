#include "src/platform/settingsstore.h"
#include "src/shared/settingsfunctions.h"
#include "src/shared/startupchecks.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using platform::SettingsKey;

namespace
{

const QString engineKey = QStringLiteral("SOFTWARE\\Vantrel\\Vantrel");
const QString appPathKey =
    QStringLiteral("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vantrel.exe");

void setMachineInstallPath(const QString& path)
{
    platform::SettingsStore::instance().setMachineRootWritable(true);
    SettingsKey::create(HKEY_LOCAL_MACHINE, appPathKey).writeText("Path", path);
    platform::SettingsStore::instance().setMachineRootWritable(false);
}

// The checks remember their answers for the life of the process; each test starts afresh.
class Checks : public ::testing::Test
{
protected:
    void SetUp() override { startupchecks::resetForTests(); }
    void TearDown() override { startupchecks::resetForTests(); }
};
using WebBrowserCheck = Checks;
using PublishingWizard = Checks;

// The user's "Data Path" first, else the installation path (its parent when it ends in
// "program", in any case); a trailing separator is added; relative paths name no folder.
TEST(EngineDataRoot, ComesFromTheDataPathOrTheInstallation)
{
    const struct {
        const char* dataPath; // null: not stored
        const char* installPath;
        int found;
        const char* root;
    } cases[] = {
        {"/srv/vantrel", nullptr, 1, "/srv/vantrel/"},
        {"/srv/other/", nullptr, 1, "/srv/other/"},
        {nullptr, "/opt/Vantrel/Program", 1, "/opt/Vantrel/"},
        {nullptr, "/opt/Vantrel/PROGRAM", 1, "/opt/Vantrel/"},
        {nullptr, "/opt/Vantrel/bin", 1, "/opt/Vantrel/bin/"},
        {nullptr, "/opt/Vantrel/programs", 1, "/opt/Vantrel/programs/"},
        {"", nullptr, 0, ""},
        {"", "", 0, ""},
        {"", "/usr/lib/vantrel/program", 1, "/usr/lib/vantrel/"},
        {"vantrel/data", nullptr, 0, ""},
        {"", "../vantrel/program", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.dataPath ? c.dataPath : "-") << " "
                                        << (c.installPath ? c.installPath : "-"));
        SettingsKey user = SettingsKey::create(HKEY_CURRENT_USER, engineKey);
        if (c.dataPath)
            user.writeText("Data Path", c.dataPath);
        else
            user.deleteValue("Data Path");
        setMachineInstallPath(c.installPath ? c.installPath : "");
        QString root = "junk";
        EXPECT_EQ(GetEngineDataRoot(root), c.found);
        EXPECT_EQ(root, QString::fromLatin1(c.root));
    }
}

TEST_F(WebBrowserCheck, IsWorkedOutOnceAndRememberedAndTheEnvironmentCanSwitchItOff)
{
    int runs = 0;
    startupchecks::setWebBrowserProbe([&] {
        ++runs;
        return true;
    });
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(IsWebBrowserAvailable(), 1);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(startupchecks::webBrowserProbeCount(), 1);

    startupchecks::setWebBrowserProbe([] { return false; });
    EXPECT_EQ(IsWebBrowserAvailable(), 0);
    EXPECT_EQ(startupchecks::webBrowserProbeCount(), 1);

    startupchecks::resetForTests();
    startupchecks::setWebBrowserProbe([] { return true; });
    qputenv("READHALL_NO_WEBENGINE", "1");
    EXPECT_EQ(IsWebBrowserAvailable(), 0);
    qunsetenv("READHALL_NO_WEBENGINE");
    EXPECT_EQ(IsWebBrowserAvailable(), 0); // remembered for the life of the process
    startupchecks::resetForTests();
    startupchecks::setWebBrowserProbe([] { return true; });
    EXPECT_EQ(IsWebBrowserAvailable(), 1);
}

void setPublishing(DWORD enabled, DWORD wizard)
{
    SettingsKey key = SettingsKey::create(HKEY_CURRENT_USER, PUBLISHING_KEY_PATH);
    key.writeNumber("Enabled", enabled);
    key.writeNumber("PublishingWizard", wizard);
}

QString installStartPage()
{
    const QString folder = rhtest::engineDataDir() + "/publishing-tool-root";
    QDir().mkpath(folder);
    const QString page = folder + "/top.htm";
    QFile file(page);
    file.open(QIODevice::WriteOnly);
    file.write("<html><body>Publishing</body></html>");
    return page;
}

TEST_F(PublishingWizard, NeedsBothSwitchesAndTheStartPageAndIsWorkedOutOnce)
{
    // The start page lives in the engine's data folder.
    QString page;
    EXPECT_EQ(GetPublishingStartPage(page), 0);
    EXPECT_EQ(page, QDir::cleanPath(rhtest::engineDataDir() + "/publishing-tool-root/top.htm"));
    installStartPage();
    EXPECT_EQ(GetPublishingStartPage(page), 1);
    // Nothing stored: not available, and nothing is created.
    EXPECT_EQ(IsPublishingWizardAvailable(), 0);
    EXPECT_FALSE(SettingsKey::open(HKEY_CURRENT_USER, PUBLISHING_KEY_PATH).isValid());
    const struct {
        DWORD enabled, wizard;
        bool page;
        int available;
    } cases[] = {{1, 1, false, 0}, {0, 1, true, 0}, {1, 0, true, 0}, {1, 1, true, 1}};
    for (const auto& c : cases) {
        startupchecks::resetForTests();
        setPublishing(c.enabled, c.wizard);
        if (c.page)
            installStartPage();
        else
            QFile::remove(rhtest::engineDataDir() + "/publishing-tool-root/top.htm");
        EXPECT_EQ(IsPublishingWizardAvailable(), c.available) << c.enabled << c.wizard << c.page;
    }
    // Worked out once: switching it off while the program runs changes nothing.
    setPublishing(0, 0);
    EXPECT_EQ(IsPublishingWizardAvailable(), 1);
    // The settings are read, never written.
    EXPECT_FALSE(SettingsKey::open(HKEY_CURRENT_USER, PUBLISHING_KEY_PATH).hasValue("Installed"));
}

} // namespace
