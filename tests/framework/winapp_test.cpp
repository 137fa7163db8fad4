// The application object: idle processing, the early look at key and mouse presses, profile
// values and the Run structure.

#include "src/platform/settingsstore.h"
#include "tests/framework/framework_fixture.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace fwtest;

namespace
{

class CountingApp : public CWinApp
{
public:
    CountingApp() : CWinApp(QStringLiteral("Readhall")) {}
    BOOL OnIdle(long count) override
    {
        counts.push_back(count);
        CWinApp::OnIdle(count);
        return count < 2 ? 1 : 0; // three passes of work per idle time
    }
    BOOL PreTranslateMessage(QObject* target, QEvent* event) override
    {
        seen.push_back(event->type());
        if (swallowNext &&
            (event->type() == QEvent::KeyPress || event->type() == QEvent::MouseButtonPress)) {
            swallowNext = false;
            swallowedFrom = target;
            return 1;
        }
        return 0;
    }
    std::vector<long> counts;
    std::vector<QEvent::Type> seen;
    bool swallowNext = false;
    QObject* swallowedFrom = nullptr;
};

TEST(Application, IdleRunsAfterEventsWithRisingCountsAndThenStops)
{
    CountingApp app;
    EXPECT_EQ(AfxGetApp(), &app);
    QCoreApplication::postEvent(&app, new QEvent(QEvent::User));
    ASSERT_TRUE(rhtest::waitFor([&] { return app.counts.size() >= 3; }));
    EXPECT_EQ(app.counts, (std::vector<long>{0, 1, 2}));

    // Nothing happens, so nothing runs: no spinning while the program waits.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(app.counts.size(), 3u);

    // The next event starts a new idle time at count 0.
    QCoreApplication::postEvent(&app, new QEvent(QEvent::User));
    ASSERT_TRUE(rhtest::waitFor([&] { return app.counts.size() >= 6; }));
    EXPECT_EQ(app.counts[3], 0);
}

TEST(PreTranslate, ASwallowedPressNeverReachesTheWidgetAndEachPressIsSeenOnce)
{
    CountingApp app;
    auto window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    auto* edit = new QLineEdit;
    auto* button = new QPushButton(QStringLiteral("Go"));
    auto* label = new QLabel(QStringLiteral("passive"));
    for (QWidget* widget : std::initializer_list<QWidget*>{edit, button, label})
        layout->addWidget(widget);
    window->show();
    window->activateWindow();
    ASSERT_TRUE(rhtest::waitFor([&] { return QApplication::activeWindow() == window.get(); }));
    edit->setFocus();
    app.swallowNext = true;
    QTest::keyClick(window->windowHandle(), Qt::Key_A);
    QTest::keyClick(window->windowHandle(), Qt::Key_B);
    EXPECT_EQ(edit->text(), QStringLiteral("b"));
    EXPECT_EQ(app.swallowedFrom, window->windowHandle());

    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    // Mouse input as the window system delivers it: to the window, at the button.
    const QPoint at = button->mapTo(window.get(), button->rect().center());
    app.swallowNext = true;
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(clicks, 1);

    // Each press is seen once, even where a label passes it on to its parents.
    const QPoint onLabel = label->mapTo(window.get(), label->rect().center());
    app.seen.clear();
    QTest::mousePress(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, onLabel);
    QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, onLabel);
    const auto presses = std::count(app.seen.begin(), app.seen.end(), QEvent::MouseButtonPress);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(std::count(app.seen.begin(), app.seen.end(), QEvent::MouseButtonRelease), 1);
}

TEST(Profile, ValuesLiveUnderTheApplicationKey)
{
    CWinApp app(QStringLiteral("Readhall"));
    EXPECT_EQ(app.GetAppRegistryKeyPath(), QStringLiteral("Software\\Readhall"));
    app.SetRegistryKey(QStringLiteral("Vantrel\\Vantrel\\Settings"));
    EXPECT_EQ(app.GetAppRegistryKeyPath(),
              QStringLiteral("Software\\Vantrel\\Vantrel\\Settings\\Readhall"));

    EXPECT_EQ(app.GetProfileInt(QStringLiteral("Window"), QStringLiteral("Width"), 321), 321u);
    ASSERT_TRUE(app.WriteProfileInt(QStringLiteral("Window"), QStringLiteral("Width"), 640));
    EXPECT_EQ(app.GetProfileInt(QStringLiteral("Window"), QStringLiteral("Width"), 321), 640u);
    ASSERT_TRUE(app.WriteProfileString(QString(), QStringLiteral("Name"), QStringLiteral("x\"y")));
    EXPECT_EQ(app.GetProfileString(QString(), QStringLiteral("Name")), QStringLiteral("x\"y"));
    QByteArray bytes("\x00\x01\xff", 3);
    ASSERT_TRUE(app.WriteProfileBinary(QString(), QStringLiteral("Blob"), bytes));
    QByteArray back;
    ASSERT_TRUE(app.GetProfileBinary(QString(), QStringLiteral("Blob"), back));
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(app.GetProfileBinary(QString(), QStringLiteral("Name"), back))
        << "a text is not binary";

    // "ReadHall" and "Readhall" are one key; the section is a sub-key.
    const platform::SettingsKey key = platform::SettingsKey::open(
        HKEY_CURRENT_USER,
        QStringLiteral("Software\\Vantrel\\Vantrel\\Settings\\ReadHall\\Window"));
    DWORD width = 0;
    ASSERT_TRUE(key.readNumber(QStringLiteral("Width"), width));
    EXPECT_EQ(width, 640u);
}

class ShortLivedApp : public CWinApp
{
public:
    explicit ShortLivedApp(bool start) : CWinApp(QStringLiteral("Readhall")), m_start(start) {}
    BOOL InitInstance() override
    {
        if (!m_start)
            return 0;
        auto* frame = new CMDIFrameWnd(QStringLiteral("ShortLivedFrame"));
        m_pMainWnd = frame;
        // The first message the loop delivers asks the main window to close.
        PostMessage(frame->GetSafeHwnd(), WM_CLOSE, 0, 0);
        return 1;
    }
    int ExitInstance() override
    {
        exited = true;
        return CWinApp::ExitInstance() + 5;
    }
    bool exited = false;

private:
    bool m_start;
};

TEST(Application, RunEndsWhenTheMainWindowIsDestroyedAndAFailedStartSkipsTheLoop)
{
    // A safety net so that a fault cannot hang the test program.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    for (const bool starts : {true, false}) {
        ShortLivedApp app(starts);
        EXPECT_EQ(app.Run(), 5);
        EXPECT_TRUE(app.exited);
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        EXPECT_FALSE(app.isRunning());
        flushDeletes();
    }
}

} // namespace
