// Options: OK applies every page, Cancel nothing, bad values refused, compacting on the worker.

#include "tests/dialogs/dialogs_fixture.h"
#include "vantrel/dialogs/globaloptionsdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <tuple>

using namespace dialogstest;
using vantrel::dialogs::GlobalOptionsDialog;
using Mode = vantrel::feeds::NetworkSettings::ProxyMode;

namespace
{

class OptionsDialogTest : public DialogTest
{
protected:
    // Changes every page the way a person would.
    static void changeEverything(GlobalOptionsDialog& d)
    {
        auto* interval = child<QComboBox>(&d, "intervalBox");
        interval->setCurrentIndex(interval->findData(2 * 3600));
        child<QCheckBox>(&d, "updateAtStartBox")->setChecked(true);
        child<QSpinBox>(&d, "parallelSpin")->setValue(4);
        child<QCheckBox>(&d, "pauseBox")->setChecked(true);
        child<QCheckBox>(&d, "keepDaysBox")->setChecked(true);
        child<QSpinBox>(&d, "keepDaysSpin")->setValue(14);
        child<QCheckBox>(&d, "keepCountBox")->setChecked(true);
        child<QSpinBox>(&d, "keepCountSpin")->setValue(250);
        child<QCheckBox>(&d, "offlineBox")->setChecked(true);
        child<QSpinBox>(&d, "offlineLimitSpin")->setValue(42);
        child<QRadioButton>(&d, "proxyManualButton")->setChecked(true);
        child<QComboBox>(&d, "proxyKindBox")->setCurrentIndex(1);
        child<QLineEdit>(&d, "proxyHostEdit")->setText(" proxy.example.org ");
        child<QLineEdit>(&d, "proxyPortEdit")->setText("1080");
        child<QLineEdit>(&d, "proxyUserEdit")->setText("ann");
        child<QLineEdit>(&d, "proxyPasswordEdit")->setText("secret");
        child<QSpinBox>(&d, "timeoutSpin")->setValue(20);
        child<QLineEdit>(&d, "userAgentEdit")->setText("Reader/2");
    }
};

TEST_F(OptionsDialogTest, CancelChangesNothingOkAppliesEveryPageAndTheDialogShowsThemAgain)
{
    {
        GlobalOptionsDialog cancelled;
        changeEverything(cancelled);
        cancelled.reject();
    }
    EXPECT_FALSE(engine()->options().paused);
    EXPECT_NE(engine()->options().keepPerChannel, 250);
    EXPECT_EQ(engine()->options().network.proxyMode, Mode::System);
    {
        GlobalOptionsDialog dialog;
        EXPECT_FALSE(child<QLineEdit>(&dialog, "proxyHostEdit")->isEnabled()); // system proxy
        EXPECT_FALSE(child<QLabel>(&dialog, "storeSizeLabel")->text().isEmpty());
        changeEverything(dialog);
        EXPECT_FALSE(engine()->options().paused); // nothing before OK
        child<QPushButton>(&dialog, "okButton")->click();
        ASSERT_EQ(dialog.result(), QDialog::Accepted) << dialog.message().toStdString();
    }
    const vantrel::EngineOptions o = engine()->options();
    EXPECT_EQ(std::tie(o.updateIntervalSecs, o.updateAllAtStart, o.parallelDownloads, o.paused,
                       o.keepDays, o.keepPerChannel, o.offlineDownload, o.offlineLimitMb,
                       o.timeoutSecs),
              std::make_tuple(2 * 3600, true, 4, true, 14, 250, true, 42, 20));
    EXPECT_FALSE(engine()->downloadEnabled());
    EXPECT_TRUE(o.offlineFolder.isEmpty()); // the data directory, as shown
    const auto& n = o.network;
    EXPECT_EQ(std::tie(n.proxyMode, n.proxyKind, n.proxyHost, n.proxyPort, n.proxyUser,
                       n.proxyPassword, n.userAgent),
              std::make_tuple(Mode::Manual, vantrel::feeds::NetworkSettings::ProxyKind::Socks5,
                              QString("proxy.example.org"), 1080, QString("ann"), QString("secret"),
                              QString("Reader/2")));
    EXPECT_EQ(engine()->fetchTimeoutMs(), 20000);

    GlobalOptionsDialog again;
    EXPECT_EQ(again.shownOptions().network.proxyHost, "proxy.example.org");
    EXPECT_EQ(child<QSpinBox>(&again, "keepCountSpin")->value(), 250);
    EXPECT_TRUE(child<QLineEdit>(&again, "proxyHostEdit")->isEnabled());
}

TEST_F(OptionsDialogTest, AValueThatCannotBeUsedKeepsTheDialogOpenOnItsField)
{
    const struct {
        const char* host;
        const char* port;
        const char* said;
    } cases[] = {{"", "8080", "Proxy host"},
                 {"proxy.example.org", "port", "Proxy port"},
                 {"proxy.example.org", "70000", "Proxy port"},
                 {"two words", "8080", "Proxy host"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.said);
        GlobalOptionsDialog dialog;
        dialog.show();
        child<QSpinBox>(&dialog, "parallelSpin")->setValue(5);
        child<QRadioButton>(&dialog, "proxyManualButton")->setChecked(true);
        child<QLineEdit>(&dialog, "proxyHostEdit")->setText(c.host);
        child<QLineEdit>(&dialog, "proxyPortEdit")->setText(c.port);
        child<QTabWidget>(&dialog, "pages")->setCurrentIndex(0);
        child<QPushButton>(&dialog, "okButton")->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.message().startsWith(QLatin1String(c.said)))
            << dialog.message().toStdString();
        EXPECT_EQ(child<QTabWidget>(&dialog, "pages")->currentIndex(), 3); // Network
        EXPECT_EQ(engine()->options().network.proxyMode, Mode::System);
        EXPECT_NE(engine()->options().parallelDownloads, 5);
    }
}

TEST_F(OptionsDialogTest, CompactNowRunsOnTheWorkerAndSaysWhenItIsDone)
{
    GlobalOptionsDialog dialog;
    dialog.show();
    child<QTabWidget>(&dialog, "pages")->setCurrentIndex(1);
    auto* button = child<QPushButton>(&dialog, "compactButton");
    button->click();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(child<QProgressBar>(&dialog, "compactProgress")->isVisible());
    ASSERT_TRUE(rhtest::waitFor([&] { return !dialog.isCompacting(); }));
    EXPECT_TRUE(button->isEnabled());
    EXPECT_FALSE(child<QProgressBar>(&dialog, "compactProgress")->isVisible());
    EXPECT_TRUE(dialog.message().startsWith(QLatin1String("The store was compacted")))
        << dialog.message().toStdString();
}

} // namespace
