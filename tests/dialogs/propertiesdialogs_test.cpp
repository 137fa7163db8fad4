// Channel properties: what the dialog shows, OK applying every change at once, Cancel
// changing nothing, a new address checked as when adding, and a directory entry subscribed
// with its settings.

#include "tests/dialogs/dialogs_fixture.h"
#include "vantrel/dialogs/channelpropertiesdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <tuple>

using namespace dialogstest;
using vantrel::dialogs::ChannelPropertiesDialog;

namespace
{

class PropertiesTest : public DialogTest
{
protected:
    uint32_t addChannel(const QString& path, const QString& name)
    {
        vantrel::NewChannel c;
        c.address = serveFeed(path, name, 4);
        c.name = name;
        c.categories = "News";
        uint32_t id = 0;
        EXPECT_TRUE(engine()->subscribeAddress(c, &id));
        EXPECT_TRUE(rhtest::engine::waitForIdle());
        return id;
    }
    vantrel::ChannelFacts facts(uint32_t id)
    {
        vantrel::ChannelFacts f;
        engine()->channelFacts(id, f);
        return f;
    }
};

TEST_F(PropertiesTest, ShowsTheChannelCancelChangesNothingAndOkAppliesEveryChange)
{
    const uint32_t id = addChannel("/a.xml", "Alpha");
    {
        ChannelPropertiesDialog cancelled(ChannelPropertiesDialog::Target::Channel, id);
        child<QLineEdit>(&cancelled, "nameEdit")->setText("Other");
        child<QCheckBox>(&cancelled, "keepBox")->setChecked(true);
        child<QSpinBox>(&cancelled, "keepSpin")->setValue(1);
        cancelled.reject();
    }
    EXPECT_EQ(facts(id).stories, 4);
    ChannelPropertiesDialog dialog(ChannelPropertiesDialog::Target::Channel, id);
    ASSERT_TRUE(dialog.isValid());
    EXPECT_EQ(QStringList({child<QLineEdit>(&dialog, "nameEdit")->text(),
                           child<QLabel>(&dialog, "storiesLabel")->text(),
                           child<QLabel>(&dialog, "lastErrorLabel")->text()}),
              QStringList({"Alpha", "4 (4 unread)", "None"}));

    child<QLineEdit>(&dialog, "nameEdit")->setText("Alpha Two");
    child<QComboBox>(&dialog, "categoryBox")->setEditText("World/Europe");
    child<QCheckBox>(&dialog, "enabledBox")->setChecked(false);
    auto* interval = child<QComboBox>(&dialog, "intervalBox");
    interval->setCurrentIndex(interval->findData(4 * 3600));
    child<QCheckBox>(&dialog, "keepBox")->setChecked(true);
    child<QSpinBox>(&dialog, "keepSpin")->setValue(2);
    EXPECT_EQ(facts(id).name, "Alpha"); // nothing before OK
    child<QPushButton>(&dialog, "okButton")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << dialog.message().toStdString();
    const vantrel::ChannelFacts f = facts(id);
    EXPECT_EQ(
        std::tie(f.name, f.categories, f.enabled, f.updateIntervalSecs, f.keepStories, f.stories),
        std::make_tuple(QString("Alpha Two"), QString("World/Europe"), false, 4 * 3600, 2, 2));
}

TEST_F(PropertiesTest, ANewAddressMustLeadToAFeedThatIsNotSubscribedYet)
{
    const uint32_t id = addChannel("/a.xml", "Alpha");
    const QString other = facts(addChannel("/b.xml", "Beta")).address;
    server.setRoute("/gone.xml", "", "text/plain", 404);
    const QString moved = serveFeed("/moved.xml", "Alpha");
    ChannelPropertiesDialog dialog(ChannelPropertiesDialog::Target::Channel, id);
    dialog.show();
    auto* address = child<QLineEdit>(&dialog, "addressEdit");
    const struct {
        QString address;
        const char* said;
    } refused[] = {{"javascript:void(0)", "refused"},
                   {server.url("/gone.xml").toString(), "404"},
                   {other, "\"Beta\""}};
    for (const auto& c : refused) {
        address->setText(c.address);
        child<QPushButton>(&dialog, "okButton")->click();
        ASSERT_TRUE(rhtest::waitFor([&] { return !dialog.isChecking(); }));
        EXPECT_TRUE(dialog.message().contains(QLatin1String(c.said)))
            << dialog.message().toStdString();
        EXPECT_TRUE(dialog.isVisible());
    }
    address->setText(moved);
    child<QPushButton>(&dialog, "okButton")->click();
    ASSERT_TRUE(rhtest::waitFor([&] { return !dialog.isVisible(); }));
    EXPECT_EQ(facts(id).address, moved);
}

TEST_F(PropertiesTest, ADirectoryEntryIsSubscribedWithTheSettingsChosen)
{
    const uint32_t entry = rhtest::engine::addDirectoryEntry("Offered", "Sport", "", 0, QDateTime(),
                                                             serveFeed("/o.xml", "Offered"));
    ChannelPropertiesDialog dialog(ChannelPropertiesDialog::Target::DirectoryEntry, entry);
    ASSERT_TRUE(dialog.isValid());
    EXPECT_TRUE(child<QLineEdit>(&dialog, "addressEdit")->isReadOnly());
    child<QComboBox>(&dialog, "categoryBox")->setEditText("Sport/Tennis");
    child<QPushButton>(&dialog, "okButton")->click();
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << dialog.message().toStdString();
    uint32_t channel = 0;
    ASSERT_TRUE(engine()->lookupSubscribedChannel(entry, channel));
    EXPECT_EQ(dialog.channelId(), channel);
    EXPECT_EQ(facts(channel).categories, "Sport/Tennis");
    EXPECT_FALSE(ChannelPropertiesDialog(ChannelPropertiesDialog::Target::Channel, 999).isValid());
}

} // namespace
