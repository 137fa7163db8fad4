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

// ---- the engine's data root

TEST(EngineDataRoot, TheUsersDataPathGetsATrailingSeparator)
{
    SettingsKey::create(HKEY_CURRENT_USER, engineKey).writeText("Data Path", "/srv/vantrel");
    QString root;
    EXPECT_EQ(GetEngineDataRoot(root), 1);
    EXPECT_EQ(root, QStringLiteral("/srv/vantrel/"));

    SettingsKey::create(HKEY_CURRENT_USER, engineKey).writeText("Data Path", "/srv/other/");
    EXPECT_EQ(GetEngineDataRoot(root), 1);
    EXPECT_EQ(root, QStringLiteral("/srv/other/"));
}

TEST(EngineDataRoot, AnInstallPathEndingInProgramGivesItsParent)
{
    QString root;
    for (const char* program : {"Program", "PROGRAM", "program"}) {
        setMachineInstallPath(QStringLiteral("/opt/Vantrel/") + program);
        EXPECT_EQ(GetEngineDataRoot(root), 1);
        EXPECT_EQ(root, QStringLiteral("/opt/Vantrel/")) << program;
    }
    setMachineInstallPath("/opt/Vantrel/bin");
    EXPECT_EQ(GetEngineDataRoot(root), 1);
    EXPECT_EQ(root, QStringLiteral("/opt/Vantrel/bin/"));
    // "programs" is not "program".
    setMachineInstallPath("/opt/Vantrel/programs");
    EXPECT_EQ(GetEngineDataRoot(root), 1);
    EXPECT_EQ(root, QStringLiteral("/opt/Vantrel/programs/"));
}

TEST(EngineDataRoot, AnEmptyDataPathFallsBackToTheInstallation)
{
    SettingsKey::create(HKEY_CURRENT_USER, engineKey).writeText("Data Path", "");
    QString root = "junk";
    EXPECT_EQ(GetEngineDataRoot(root), 0);
    EXPECT_TRUE(root.isEmpty());
    setMachineInstallPath("");
    EXPECT_EQ(GetEngineDataRoot(root), 0);
    setMachineInstallPath("/usr/lib/vantrel/program");
    EXPECT_EQ(GetEngineDataRoot(root), 1);
    EXPECT_EQ(root, QStringLiteral("/usr/lib/vantrel/"));
}

TEST(EngineDataRoot, RelativePathsNameNoFolder)
{
    QString root = "junk";
    SettingsKey::create(HKEY_CURRENT_USER, engineKey).writeText("Data Path", "vantrel/data");
    EXPECT_EQ(GetEngineDataRoot(root), 0);
    EXPECT_TRUE(root.isEmpty());
    SettingsKey::create(HKEY_CURRENT_USER, engineKey).writeText("Data Path", "");
    setMachineInstallPath("../vantrel/program");
    EXPECT_EQ(GetEngineDataRoot(root), 0);
    EXPECT_TRUE(root.isEmpty());
}

// ---- the web browser check

TEST_F(WebBrowserCheck, IsWorkedOutOnceAndRemembered)
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
    EXPECT_EQ(IsWebBrowserAvailable(), 0);
    EXPECT_EQ(startupchecks::webBrowserProbeCount(), 1);
}

TEST_F(WebBrowserCheck, TheEnvironmentCanSwitchItOff)
{
    startupchecks::setWebBrowserProbe([] { return true; });
    qputenv("READHALL_NO_WEBENGINE", "1");
    EXPECT_EQ(IsWebBrowserAvailable(), 0);
    qunsetenv("READHALL_NO_WEBENGINE");
    EXPECT_EQ(IsWebBrowserAvailable(), 0); // remembered for the life of the process
    startupchecks::resetForTests();
    startupchecks::setWebBrowserProbe([] { return true; });
    EXPECT_EQ(IsWebBrowserAvailable(), 1);
}

// ---- the publishing tool

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

TEST_F(PublishingWizard, TheStartPageLivesInTheEngineDataDirectory)
{
    QString page;
    EXPECT_EQ(GetPublishingStartPage(page), 0);
    EXPECT_EQ(page, QDir::cleanPath(rhtest::engineDataDir() + "/publishing-tool-root/top.htm"));
    const QString installed = installStartPage();
    EXPECT_EQ(GetPublishingStartPage(page), 1);
    EXPECT_EQ(page, QDir::cleanPath(installed));
}

TEST_F(PublishingWizard, NeedsBothSwitchesAndTheStartPage)
{
    installStartPage();
    setPublishing(1, 0);
    EXPECT_EQ(IsPublishingWizardAvailable(), 0);
    // Worked out once: switching it on while the program runs changes nothing.
    setPublishing(1, 1);
    EXPECT_EQ(IsPublishingWizardAvailable(), 0);
    // At the next start it is available.
    startupchecks::resetForTests();
    EXPECT_EQ(IsPublishingWizardAvailable(), 1);
    // The settings are read, never written.
    EXPECT_FALSE(SettingsKey::open(HKEY_CURRENT_USER, PUBLISHING_KEY_PATH).hasValue("Installed"));
}

TEST_F(PublishingWizard, BothSwitchesWithoutTheStartPageIsNotEnough)
{
    setPublishing(1, 1);
    EXPECT_EQ(IsPublishingWizardAvailable(), 0);
    startupchecks::resetForTests();
    setPublishing(0, 1);
    installStartPage();
    EXPECT_EQ(IsPublishingWizardAvailable(), 0);
}

TEST_F(PublishingWizard, MissingSettingsAreNotCreated)
{
    installStartPage();
    EXPECT_EQ(IsPublishingWizardAvailable(), 0);
    EXPECT_FALSE(SettingsKey::open(HKEY_CURRENT_USER, PUBLISHING_KEY_PATH).isValid());
}

} // namespace
