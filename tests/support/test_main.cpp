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
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    rhtest::installFreshEnvironment();
    return RUN_ALL_TESTS();
}
