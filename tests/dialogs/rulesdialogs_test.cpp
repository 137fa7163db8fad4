// The alert and filter rule dialogs: rules act on the next download, bad rules are refused.

#include "tests/dialogs/dialogs_fixture.h"
#include "vantrel/chandir.h"
#include "vantrel/dialogs/alertsettingsdialog.h"
#include "vantrel/dialogs/filtersettingsdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace dialogstest;
using vantrel::dialogs::AlertSettingsDialog;
using vantrel::dialogs::FilterSettingsDialog;
using Field = vantrel::FilterCondition::Field;
using Check = vantrel::FilterCondition::Test;

namespace
{

class RulesDialogTest : public DialogTest
{
protected:
    uint32_t subscribeCoast(const QStringList& headlines)
    {
        server.setRoute("/coast.xml", feed("Coast", headlines), "application/rss+xml");
        return subscribe(server.url("/coast.xml").toString());
    }
    void download(uint32_t id, const QStringList& headlines)
    {
        server.setRoute("/coast.xml", feed("Coast", headlines), "application/rss+xml");
        ASSERT_TRUE(engine()->forceUpdate(id));
        ASSERT_TRUE(rhtest::engine::waitForIdle());
    }
    QStringList stories(uint32_t channelId)
    {
        QStringList out;
        engine()->lock();
        const vantrel::Channel* c = engine()->channelById(channelId);
        if (c && c->ensureLoaded())
            for (const vantrel::Story& s : c->stories)
                out << s.headline + (s.alertName.isEmpty() ? "" : " [" + s.alertName + "]");
        engine()->unlock();
        out.sort();
        return out;
    }
};

} // namespace

TEST_F(RulesDialogTest, AnAlertMadeInTheDialogRaisesAlertsOnTheNextDownloadOnly)
{
    const uint32_t id = subscribeCoast({"High tide warning", "Calm seas"});
    AlertSettingsDialog dialog;
    child<QPushButton>(&dialog, "addButton")->click();
    child<QLineEdit>(&dialog, "nameEdit")->setText("Tides");
    child<QLineEdit>(&dialog, "wordsEdit")->setText("high tide, spring tide");
    child<QRadioButton>(&dialog, "headlinesOnlyButton")->setChecked(true);
    child<QPushButton>(&dialog, "testButton")->click();
    EXPECT_EQ(child<QLabel>(&dialog, "testLabel")->text(), "1 stored story matches.");
    child<QPushButton>(&dialog, "okButton")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << dialog.message().toStdString();
    EXPECT_TRUE(stories(VT_ALERTS_CHANNEL_ID).isEmpty()); // stored stories raise nothing

    download(id, {"High tide warning", "Calm seas", "Spring tide tonight", "Higher tides"});
    EXPECT_EQ(stories(VT_ALERTS_CHANNEL_ID), QStringList{"Spring tide tonight [Tides]"});

    // A rule added later joins the first (how two rules share an alert is the merge's).
    AlertSettingsDialog second;
    child<QPushButton>(&second, "addButton")->click();
    child<QLineEdit>(&second, "nameEdit")->setText("Tonight");
    child<QLineEdit>(&second, "wordsEdit")->setText("tonight");
    child<QPushButton>(&second, "okButton")->click();
    ASSERT_EQ(engine()->alertRules().size(), 2u);
    EXPECT_EQ(engine()->alertRules()[0].name, "Tides");
}

TEST_F(RulesDialogTest, CancelAndRefusedRulesLeaveTheRulesAsTheyWere)
{
    ASSERT_NE(engine()->addAlertRule("Storms", {"storm"}, ""), 0u);
    {
        AlertSettingsDialog dialog;
        ASSERT_EQ(child<QListWidget>(&dialog, "ruleList")->count(), 1);
        child<QLineEdit>(&dialog, "wordsEdit")->setText("gale");
        child<QPushButton>(&dialog, "addButton")->click();
        child<QPushButton>(&dialog, "cancelButton")->click();
    }
    {
        AlertSettingsDialog dialog;
        child<QLineEdit>(&dialog, "wordsEdit")->setText(" , ");
        child<QPushButton>(&dialog, "okButton")->click();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.message(), "Alert \"Storms\": Words or phrases: give at least one word "
                                    "or phrase to look for.");
    }
    const auto rules = engine()->alertRules();
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].words, QStringList{"storm"});

    FilterSettingsDialog filters;
    child<QPushButton>(&filters, "addButton")->click();
    ASSERT_EQ(filters.conditionRows().size(), 1u);
    filters.conditionRows()[0]->set(Field::Headline, Check::Matches, "[unclosed");
    child<QPushButton>(&filters, "okButton")->click();
    EXPECT_NE(filters.result(), QDialog::Accepted);
    EXPECT_TRUE(filters.message().startsWith(
        "Filter \"New filter\": Condition 1: the regular expression \"[unclosed\" is not valid:"))
        << filters.message().toStdString();
    EXPECT_TRUE(engine()->filterRules().empty());
}

TEST_F(RulesDialogTest, AFilterDeletesExactlyTheMatchingIncomingStoriesAndAppliesToStoredOnes)
{
    const uint32_t id = subscribeCoast({"Ad: boats", "Harbour news", "Sponsored: tours"});
    FilterSettingsDialog dialog;
    child<QPushButton>(&dialog, "addButton")->click();
    child<QLineEdit>(&dialog, "nameEdit")->setText("Adverts");
    dialog.conditionRows()[0]->set(Field::Headline, Check::Matches, "^(ad|sponsored):");
    auto* action = child<QComboBox>(&dialog, "actionBox");
    action->setCurrentIndex(action->findData(int(vantrel::FilterRule::Action::Delete)));
    child<QPushButton>(&dialog, "testButton")->click();
    EXPECT_EQ(child<QLabel>(&dialog, "resultLabel")->text(),
              "\"Adverts\" would act on 2 stories now stored.");
    dialog.addCondition()->set(Field::Age, Check::OlderThan, {}, 30);
    delete dialog.conditionRows().back();
    child<QPushButton>(&dialog, "okButton")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << dialog.message().toStdString();

    download(id,
             {"Ad: boats", "Harbour news", "Sponsored: tours", "AD: cars", "Adrift", "Road news"});
    EXPECT_EQ(stories(id), (QStringList{"Ad: boats", "Adrift", "Harbour news", "Road news",
                                        "Sponsored: tours"}));

    FilterSettingsDialog again;
    ASSERT_EQ(child<QListWidget>(&again, "ruleList")->count(), 1);
    child<QPushButton>(&again, "applyButton")->click();
    ASSERT_TRUE(rhtest::waitFor([&] { return !again.isApplying(); }));
    EXPECT_EQ(child<QLabel>(&again, "resultLabel")->text().toStdString(),
              "The filters were stored and applied: 2 stories changed.");
    EXPECT_EQ(stories(id).join(" | ").toStdString(), "Adrift | Harbour news | Road news");
    EXPECT_EQ(engine()->filterRules().size(), 1u);
}
