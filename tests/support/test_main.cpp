// The main function of every test program: a QApplication on the offscreen platform and a
// fresh private environment for every test.

#include <QApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace rhtest {
void installFreshEnvironment();
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("READHALL_TESTING", "1");
    // The embedded browser runs headless: no GPU, and no sandbox (which refuses to run as
    // root, as CI does).
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    rhtest::installFreshEnvironment();
    return RUN_ALL_TESTS();
}
