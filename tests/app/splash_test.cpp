#include "src/app/readhallapp.h"
#include "src/app/splash.h"
#include "src/platform/settingsstore.h"
#include "src/shared/settingsfunctions.h"
#include "tests/app/app_fixture.h"
#include "tests/support/testenv.h"

#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using platform::SettingsKey;

namespace
{

TEST(Splash, ShowsTheBuiltInPictureOnceEnabled)
{
    EXPECT_EQ(ShowSplash(), 0);
    EXPECT_EQ(CSplashWindow::current(), nullptr);
    EnableSplash(1);
    ASSERT_EQ(ShowSplash(), 1);
    CSplashWindow* splash = CSplashWindow::current();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_FALSE(splash->picture().isNull());
    EXPECT_TRUE(splash->pictureFile().isEmpty());
    EXPECT_EQ(splash->size(), splash->picture().size());
    EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
    // The setting exists afterwards with its default.
    EXPECT_EQ(sharedtest::storedNumber(LAYOUT_KEY_PATH, "UseSplashFromFile"), 0u);
    // A second request keeps the one splash.
    EXPECT_EQ(ShowSplash(), 1);
    EXPECT_EQ(CSplashWindow::current(), splash);

    QPointer<CSplashWindow> guard(splash);
    HideSplash();
    EXPECT_EQ(CSplashWindow::current(), nullptr);
    EXPECT_TRUE(rhtest::waitFor([&] { return guard.isNull(); }));
}

TEST(Splash, ThePictureComesFromTheDataPathWhenAskedElseTheBuiltInOne)
{
    // Without a trailing separator: one is added before "data".
    const QString dataRoot = rhtest::testRoot() + "/engine";
    SettingsKey::create(HKEY_CURRENT_USER, "SOFTWARE\\Vantrel\\Vantrel")
        .writeText("Data Path", dataRoot);
    WriteLayoutFlag(HKEY_CURRENT_USER, LAYOUT_KEY_PATH, "UseSplashFromFile", DWORD(1));
    EnableSplash(1);
    // Missing, then damaged: the built-in picture.
    ASSERT_EQ(ShowSplash(), 1);
    EXPECT_TRUE(CSplashWindow::current()->pictureFile().isEmpty());
    EXPECT_FALSE(CSplashWindow::current()->picture().isNull());
    HideSplash();
    ASSERT_TRUE(apptest::writeFile(dataRoot + "/data/splash.bmp", "BM not really a bitmap"));
    ASSERT_EQ(ShowSplash(), 1);
    EXPECT_TRUE(CSplashWindow::current()->pictureFile().isEmpty());
    HideSplash();

    QImage picture(QSize(40, 30), QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    ASSERT_TRUE(picture.save(dataRoot + "/data/splash.bmp", "BMP"));
    ASSERT_EQ(ShowSplash(), 1);
    EXPECT_EQ(CSplashWindow::current()->pictureFile(), dataRoot + "/data/splash.bmp");
    EXPECT_EQ(CSplashWindow::current()->size(), QSize(40, 30));
    HideSplash();
}

TEST(Splash, AClickOrKeyPressOnlyHidesTheSplashAndOtherInputPasses)
{
    CReadhallApp app; // its early look at input asks the splash first
    QPushButton button("Press");
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    // Clicks enter through the button's window, as a person's do.
    QWindow* window = button.windowHandle();
    const QPoint centre = button.rect().center();
    EnableSplash(1);
    ASSERT_EQ(ShowSplash(), 1);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(CSplashWindow::current(), nullptr);
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre);
    EXPECT_EQ(clicks, 1);

    QLineEdit edit;
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    ASSERT_EQ(ShowSplash(), 1);
    QTest::keyClick(edit.windowHandle(), Qt::Key_A);
    EXPECT_EQ(CSplashWindow::current(), nullptr);
    EXPECT_TRUE(edit.text().isEmpty());
    QTest::keyClick(edit.windowHandle(), Qt::Key_B);
    EXPECT_EQ(edit.text(), QStringLiteral("b"));

    // Moves and the back button pass while it shows.
    ASSERT_EQ(ShowSplash(), 1);
    QMouseEvent move(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    EXPECT_EQ(PreTranslateSplashMessage(&move), 0);
    QMouseEvent back(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::BackButton,
                     Qt::BackButton, Qt::NoModifier);
    EXPECT_EQ(PreTranslateSplashMessage(&back), 0);
    EXPECT_NE(CSplashWindow::current(), nullptr);
    HideSplash();
}

} // namespace
