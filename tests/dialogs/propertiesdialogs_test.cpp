// Channel and story properties: shown values, OK applies all, Cancel nothing, addresses checked.

#include "tests/dialogs/dialogs_fixture.h"
#include "vantrel/dialogs/channelpropertiesdialog.h"
#include "vantrel/dialogs/storypropertiesdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <tuple>

using namespace dialogstest;
using vantrel::dialogs::ChannelPropertiesDialog;
using vantrel::dialogs::StoryPropertiesDialog;

namespace
{

class PropertiesTest : public DialogTest
{
protected:
    vantrel::ChannelFacts facts(uint32_t id)
    {
        vantrel::ChannelFacts f;
        engine()->channelFacts(id, f);
        return f;
    }
};

TEST_F(PropertiesTest, ShowsTheChannelCancelChangesNothingAndOkAppliesEveryChange)
{
    const uint32_t id = subscribe(serveFeed("/a.xml", "Alpha", 4), "Alpha", "News");
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
    const uint32_t id = subscribe(serveFeed("/a.xml", "Alpha", 4), "Alpha", "News");
    const QString other = facts(subscribe(serveFeed("/b.xml", "Beta"), "Beta")).address;
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

class StoryPropertiesTest : public DialogTest
{
protected:
    void TearDown() override
    {
        StoryPropertiesDialog::setLinkOpener({});
        DialogTest::TearDown();
    }
    static QString text(QWidget* dialog, const char* name)
    {
        const auto* label = dialog->findChild<QLabel*>(QLatin1String(name));
        return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
    }
    uint32_t addStory(uint32_t channel, const QString& link)
    {
        rhtest::engine::StorySeed s;
        s.headline = "Rain tomorrow";
        s.url = link;
        s.category = "Weather/Local";
        s.published = QDateTime(QDate(2024, 3, 4), QTime(9, 15));
        s.enclosureUrl = "http://example.org/forecast.mp3";
        s.attributes["Keep"] = 1;
        s.attributes["Author"] = "Ann Weather";
        return rhtest::engine::addStory(channel, s);
    }
};

TEST_F(StoryPropertiesTest, ShowsTheStoryAndAnAlertAsTheStoryItWasRaisedOn)
{
    const uint32_t channel = rhtest::engine::addChannel("Daily News");
    const uint32_t number = addStory(channel, "https://example.org/rain");
    const uint32_t alert = rhtest::engine::addAlert(channel, number, "Weather watch");
    ASSERT_TRUE(rhtest::engine::waitForIdle());

    for (const uint32_t shown : {channel, uint32_t(VT_ALERTS_CHANNEL_ID)}) {
        SCOPED_TRACE(shown);
        StoryPropertiesDialog dialog(shown, shown == channel ? number : alert);
        ASSERT_TRUE(dialog.isValid());
        EXPECT_EQ(QStringList({text(&dialog, "headlineLabel"), text(&dialog, "channelLabel"),
                               dialog.findChild<QLineEdit*>("linkEdit")->text(),
                               text(&dialog, "categoryLabel"), text(&dialog, "authorLabel")}),
                  QStringList({"Rain tomorrow", "Daily News", "https://example.org/rain",
                               "Weather / Local", "Ann Weather"}));
        EXPECT_TRUE(text(&dialog, "publishedLabel").contains("2024-03-04 09:15"));
        EXPECT_TRUE(text(&dialog, "enclosureLabel").contains("forecast.mp3"));
        EXPECT_TRUE(text(&dialog, "enclosureLabel").contains("No local copy"));
        EXPECT_TRUE(text(&dialog, "stateLabel").contains("Kept: yes"));
        EXPECT_TRUE(text(&dialog, "stateLabel").contains("Read: no"));
        EXPECT_EQ(dialog.findChild<QLabel*>("alertLabel") != nullptr, shown != channel);
    }
    EXPECT_FALSE(StoryPropertiesDialog(channel, 999).isValid());
}

TEST_F(StoryPropertiesTest, OnlyWebAddressesAreOpened)
{
    QStringList opened;
    StoryPropertiesDialog::setLinkOpener([&](const QUrl& url) {
        opened << url.toString();
        return true;
    });
    const uint32_t channel = rhtest::engine::addChannel("Links");
    const struct {
        const char* link;
        bool opens;
    } cases[] = {{"https://example.org/a", true},
                 {"http://example.org/b", true},
                 {"file:///etc/passwd", false},
                 {"javascript:alert(1)", false},
                 {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        opened.clear();
        StoryPropertiesDialog dialog(channel, addStory(channel, c.link));
        ASSERT_TRUE(dialog.isValid());
        EXPECT_EQ(dialog.findChild<QPushButton*>("openLinkButton")->isEnabled(), c.opens);
        EXPECT_EQ(dialog.openLink(), c.opens);
        EXPECT_EQ(opened, c.opens ? QStringList{c.link} : QStringList{});
    }
}

} // namespace
