// The channel status window: every channel live while downloads run, buttons and pause.

#include "tests/dialogs/dialogs_fixture.h"
#include "vantrel/dialogs/channelstatuswindow.h"
#include "vantrel/dialogs/windowhost.h"
#include "vantrel/engctl.h"

#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>

using namespace dialogstest;
using vantrel::dialogs::ChannelStatusWindow;

namespace
{

class StatusWindowTest : public DialogTest
{
protected:
    QTreeWidgetItem* row(ChannelStatusWindow& w, const QString& name)
    {
        const auto found =
            w.list()->findItems(name, Qt::MatchExactly, ChannelStatusWindow::Channel);
        return found.isEmpty() ? nullptr : found.first();
    }
};

TEST_F(StatusWindowTest, ListsEveryChannelAndFollowsDownloadsLive)
{
    engine()->setFetchTimeoutMs(2000);
    ASSERT_NE(subscribe(serveFeed("/good.xml", "Good", 5), "Good"), 0u);
    server.setStall("/slow.xml");
    vantrel::NewChannel slow;
    slow.address = server.url("/slow.xml").toString();
    slow.name = "Slow";

    ChannelStatusWindow window;
    window.show();
    ASSERT_NE(row(window, "Good"), nullptr);
    EXPECT_EQ(row(window, "Good")->text(ChannelStatusWindow::Stories), "5");
    EXPECT_EQ(row(window, "Good")->text(ChannelStatusWindow::Unread), "5");
    EXPECT_TRUE(row(window, "Good")->text(ChannelStatusWindow::LastError).isEmpty());

    // A channel added meanwhile shows up, updating, then with the error it met.
    ASSERT_TRUE(engine()->subscribeAddress(slow));
    ASSERT_TRUE(rhtest::waitFor([&] {
        QTreeWidgetItem* r = row(window, "Slow");
        return r && r->text(ChannelStatusWindow::Status).contains("Updating");
    }));
    EXPECT_TRUE(window.findChild<QWidget*>("overallProgress")->isVisible());
    ASSERT_TRUE(rhtest::waitFor(
        [&] { return !row(window, "Slow")->text(ChannelStatusWindow::LastError).isEmpty(); },
        8000));
    EXPECT_TRUE(row(window, "Slow")->text(ChannelStatusWindow::LastError).contains("timed out"));

    // The pause switch is the engine's download switch, both ways.
    auto* pause = window.findChild<QCheckBox*>("pauseBox");
    pause->click();
    EXPECT_FALSE(engine()->downloadEnabled());
    ASSERT_TRUE(engine()->setDownloadEnabled(true));
    ASSERT_TRUE(rhtest::waitFor([&] { return !pause->isChecked(); }));

    // Update Now asks for the selected channel.
    const int before = server.requestCount("/good.xml");
    row(window, "Good")->setSelected(true);
    window.findChild<QPushButton*>("updateNowButton")->click();
    ASSERT_TRUE(rhtest::waitFor([&] { return server.requestCount("/good.xml") > before; }));
}

TEST_F(StatusWindowTest, TheEngineWindowIsRegisteredUnderItsClassAndGoesWithTheEngine)
{
    QStringList registered;
    VTSetWindowRegistrar([&](QWidget* window, const QString& className) {
        registered << className + (window->isWindow() ? " window" : " child");
    });
    EXPECT_EQ(VTEngineNotification(24, QString(), 0), 0);
    ASSERT_EQ(VTEngineNotification(VTENGINE_NOTIFICATION_SHOW_CHANNEL_STATUS, QString(), 0), 1);
    QPointer<ChannelStatusWindow> window = vantrel::dialogs::channelStatusWindow(false);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(registered, QStringList{"QSENGINE_NOTIFICATIONS window"});
    ASSERT_EQ(VTShowChannelStatusWindow(), 1); // the same window again
    EXPECT_EQ(vantrel::dialogs::channelStatusWindow(false), window.data());
    VTSetWindowRegistrar({});
    rhtest::engine::stop();
    EXPECT_TRUE(window.isNull());
}

} // namespace
