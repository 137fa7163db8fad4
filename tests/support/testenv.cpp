#include "tests/support/testenv.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace rhtest {
namespace {

std::unique_ptr<QTemporaryDir>& currentDir()
{
    static std::unique_ptr<QTemporaryDir> dir;
    return dir;
}

std::vector<std::function<void()>>& resets()
{
    static std::vector<std::function<void()>> list;
    return list;
}

class FreshEnvironment : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        currentDir() = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/readhall-test-XXXXXX");
        const QString root = currentDir()->path();
        QDir(root).mkpath("config");
        QDir(root).mkpath("data/vantrel");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + "/config"));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root + "/data"));
        qputenv("READHALL_MACHINE_SETTINGS", QFile::encodeName(root + "/machine.reg"));
        // Lock files and local sockets of the running-copy service stay inside the test.
        QDir(root).mkpath("runtime");
        QFile::setPermissions(root + "/runtime",
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + "/runtime"));
        // The engine seeds an empty data directory with the demo content; tests start empty
        // and seed what they need themselves.
        qputenv("VANTREL_NO_DEMO", "1");
        qunsetenv("VANTREL_DATA_DIR");
        for (const auto& reset : resets())
            reset();
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        for (const auto& reset : resets())
            reset();
        currentDir().reset();
    }
};

} // namespace

QString testRoot() { return currentDir() ? currentDir()->path() : QString(); }
QString configHome() { return testRoot() + "/config"; }
QString engineDataDir() { return testRoot() + "/data/vantrel"; }
QString machineSettingsFile() { return testRoot() + "/machine.reg"; }

void addPerTestReset(std::function<void()> reset) { resets().push_back(std::move(reset)); }

} // namespace rhtest

// Libraries that must not depend on the test support (the platform layer) register their
// resets through this plain function, which they reference weakly.
extern "C" void rhtest_add_per_test_reset(void (*reset)()) { rhtest::addPerTestReset(reset); }

namespace rhtest {

bool waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

void installFreshEnvironment()
{
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshEnvironment);
}

} // namespace rhtest
