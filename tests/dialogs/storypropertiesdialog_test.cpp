// Story properties: what the window shows of a story and of an alert, and a link opened only
// when it is a web address.

#include "tests/dialogs/dialogs_fixture.h"
#include "vantrel/dialogs/storypropertiesdialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace dialogstest;
using vantrel::dialogs::StoryPropertiesDialog;

namespace
{

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
