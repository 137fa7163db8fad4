// What the engine reports reaches the person: status text, animation state for Content > Stop,
// and new alerts as one desktop notification (through a private session bus).

#include "src/app/alertnotifier.h"
#include "src/app/mainframe.h"
#include "src/engine/enginewindowhost.h"
#include "src/framework/doctemplate.h"
#include "src/framework/statusbar.h"
#include "src/platform/desktopnotifications.h"
#include "src/shared/ids.h"
#include "src/shared/settings.h"
#include "tests/app/app_fixture.h"
#include "tests/support/feeds_httpserver.h"
#include "tests/support/testenv.h"
#include "vantrel/core/engine.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace mftest;

namespace
{

QByteArray rss(const QString& title, const QStringList& headlines = {"Storm warning"})
{
    QString items;
    for (const QString& headline : headlines)
        items += QStringLiteral("<item><guid>%1</guid><title>%1</title></item>").arg(headline);
    return QStringLiteral("<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>%1</title>"
                          "<link>http://example.invalid/</link><description>d</description>%2"
                          "</channel></rss>")
        .arg(title, items)
        .toUtf8();
}

// A session bus of the test's own, ended with the test.
class PrivateSessionBus
{
public:
    PrivateSessionBus()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {"--session", "--nofork", "--nosyslog", "--print-address=1"});
        if (!m_daemon.waitForStarted(5000))
            return;
        while (m_address.isEmpty() && m_daemon.waitForReadyRead(5000))
            m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    }
    ~PrivateSessionBus()
    {
        for (const QString& name : m_connections)
            QDBusConnection::disconnectFromBus(name);
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }
    bool running() const { return !m_address.isEmpty(); }
    QDBusConnection connect(const QString& name)
    {
        m_connections << name;
        return QDBusConnection::connectToBus(m_address, name);
    }

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_connections;
};

// The desktop's notification service as far as Readhall uses it: it records each Notify
// call and answers with a new number.
class FakeNotificationService : public QDBusVirtualObject
{
public:
    struct Shown {
        uint id = 0;
        uint replaces = 0;
        QString summary;
        QString body;
        QStringList actions;
    };
    std::vector<Shown> shown;

    QString introspect(const QString&) const override { return {}; } // calls need none
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("Notify") || message.arguments().size() != 8)
            return false;
        const QVariantList a = message.arguments();
        Shown s;
        s.replaces = a[1].toUInt();
        s.id = s.replaces != 0 ? s.replaces : uint(shown.size() + 1);
        s.summary = a[3].toString();
        s.body = a[4].toString();
        s.actions = a[5].toStringList();
        shown.push_back(s);
        connection.send(message.createReply(QVariant::fromValue(s.id)));
        return true;
    }
};

class EngineStatus : public MainFrameTest
{
protected:
    void SetUp() override
    {
        MainFrameTest::SetUp();
        ASSERT_TRUE(InstallEngineWindowHost());
    }
    void TearDown() override
    {
        RemoveEngineWindowHost();
        MainFrameTest::TearDown();
    }

    // The engine again, with its worker downloading.
    vantrel::Engine* restartWithWorker()
    {
        vantrel::Engine::stop();
        EXPECT_TRUE(startEngine(true));
        return vantrel::Engine::instance();
    }
};

TEST_F(EngineStatus, StopIsEnabledWhileTheEnginePlays)
{
    CMainFrame* frame = createFrame();
    vantrel::Engine* engine = vantrel::Engine::instance();
    EXPECT_FALSE(evaluate(frame, ID_ANIMATION_STOP)->isEnabled());
    engine->setPlaying(true);
    EXPECT_TRUE(rhtest::waitFor([&] { return evaluate(frame, ID_ANIMATION_STOP)->isEnabled(); }));
    ASSERT_TRUE(frame->ExecuteCommand(ID_ANIMATION_STOP));
    EXPECT_FALSE(engine->isPlaying());
    EXPECT_TRUE(rhtest::waitFor([&] { return !evaluate(frame, ID_ANIMATION_STOP)->isEnabled(); }));
}

TEST_F(EngineStatus, TheStatusBarNamesEachChannelAsItUpdatesAndSaysReadyWhenAllAreDone)
{
    vantrel::Engine* engine = restartWithWorker();
    rhtest::LocalHttpServer server;
    ASSERT_TRUE(server.isListening());
    // Both channels wait until downloading is switched on, so they update as one batch, one
    // after the other, and each feed is answered only when the test lets it through.
    vantrel::EngineOptions options = engine->options();
    options.parallelDownloads = 1;
    ASSERT_TRUE(engine->setOptions(options));
    ASSERT_TRUE(engine->setDownloadEnabled(false));
    for (const auto& [name, path] :
         {std::pair{"Meridian Wire", "/slow.xml"}, std::pair{"Harbour Post", "/late.xml"}}) {
        rhtest::LocalHttpServer::Route held;
        held.body = rss(name);
        held.contentType = "application/rss+xml";
        held.held = true;
        server.setRoute(path, held);
        vantrel::ChannelSeed channel;
        channel.name = name;
        channel.url = server.url(path).toString();
        ASSERT_NE(engine->addChannel(channel), 0u);
    }
    CMainFrame* frame = createFrame();
    frame->show();
    ASSERT_TRUE(engine->setDownloadEnabled(true));

    const auto shows = [&](const char* text) {
        return rhtest::waitFor([&] { return statusText(frame) == text; }, 15000);
    };
    EXPECT_TRUE(shows("Updating 1 of 2: Meridian Wire")) << statusText(frame).toStdString();
    server.release("/slow.xml");
    EXPECT_TRUE(shows("Updating 2 of 2: Harbour Post")) << statusText(frame).toStdString();
    server.release("/late.xml");
    EXPECT_TRUE(shows("Ready")) << statusText(frame).toStdString();
}

TEST_F(EngineStatus, AlertsOfOneUpdateMakeOneDesktopNotificationThatOpensTheAlertsWindow)
{
    PrivateSessionBus bus;
    if (!bus.running())
        GTEST_SKIP() << "no session bus could be started (dbus-daemon is missing)";
    QDBusConnection serviceBus = bus.connect("readhall-test-service");
    FakeNotificationService service;
    ASSERT_TRUE(serviceBus.registerService("org.freedesktop.Notifications"));
    ASSERT_TRUE(serviceBus.registerVirtualObject("/org/freedesktop/Notifications", &service));

    vantrel::Engine* engine = restartWithWorker();
    ASSERT_NE(engine->addAlertRule("Storms", {"storm"}, QString()), 0u);
    createFrame(); // the main frame opens the alerts window
    CAlertNotifier notifier(
        std::make_unique<platform::DesktopNotifications>(bus.connect("readhall-test-client")));
    notifier.setGatherMs(100);
    rhtest::LocalHttpServer server;
    auto update = [&](const char* path, const QStringList& headlines) {
        server.setRoute(path, rss("Coast News", headlines), "application/rss+xml");
        vantrel::ChannelSeed channel;
        channel.name = path;
        channel.url = server.url(path).toString();
        ASSERT_NE(engine->addChannel(channel), 0u);
        ASSERT_TRUE(engine->waitForIdle(15000));
        drainEvents();
    };

    // Turned off: an alert raised now is not announced, then or later.
    settings::setDesktopNotifications(false);
    update("/quiet.xml", {"Storm in a teacup"});
    settings::setDesktopNotifications(true);
    update("/coast.xml", {"Storm warning for the coast", "Storm closes the bridge",
                          "Storm season begins", "Calm weekend"});
    ASSERT_TRUE(rhtest::waitFor([&] { return !service.shown.empty(); }, 15000));
    ASSERT_EQ(service.shown.size(), 1u);
    EXPECT_EQ(service.shown[0].summary, "3 new alerts");
    EXPECT_TRUE(service.shown[0].body.startsWith("Storms: Storm "))
        << service.shown[0].body.toStdString();
    EXPECT_TRUE(service.shown[0].body.endsWith("and 2 more"));
    EXPECT_TRUE(service.shown[0].actions.contains("Show alerts"));

    // A later alert replaces the notification rather than adding one.
    ASSERT_TRUE(rhtest::waitFor([&] { return notifier.notifications().lastId() != 0; }));
    update("/harbour.xml", {"Storm &amp; <b>rain</b> reach the harbour"});
    ASSERT_TRUE(rhtest::waitFor([&] { return service.shown.size() == 2; }, 15000));
    EXPECT_EQ(service.shown[1].replaces, service.shown[0].id);
    EXPECT_EQ(service.shown[1].summary, "Alert: Storms");
    // Plain text: a service that reads markup shows the "&" as it stands.
    EXPECT_EQ(service.shown[1].body, "Storm &amp; rain reach the harbour");

    // The action opens the alerts window.
    EXPECT_EQ(app().GetTemplate(TEMPLATE_ALERTS)->GetDocumentCount(), 0u);
    QDBusMessage invoked = QDBusMessage::createSignal(
        "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
    invoked << service.shown[1].id << QString(CAlertNotifier::SHOW_ALERTS_ACTION);
    ASSERT_TRUE(serviceBus.send(invoked));
    EXPECT_TRUE(rhtest::waitFor(
        [&] { return app().GetTemplate(TEMPLATE_ALERTS)->GetDocumentCount() == 1u; }, 15000));
}

} // namespace
