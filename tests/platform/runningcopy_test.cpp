// The running copy: the named mutex and the local socket a second copy talks to.

#include "src/platform/messagewindow.h"
#include "src/platform/runningcopy.h"
#include "tests/support/testenv.h"

#include <QFile>
#include <QSignalSpy>
#include <QWidget>
#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using platform::NamedMutex;
using platform::RunningCopyServer;

namespace
{

class MainFrame : public QWidget, public MessageWindow
{
public:
    explicit MainFrame(const QString& className) : QWidget(nullptr), MessageWindow(className, this)
    {
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.emplace_back(message, wParam, lParam);
        return 0;
    }
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> received;
};

} // namespace

TEST(NamedMutex, ASecondHolderLearnsThatItAlreadyExists)
{
    auto first = std::make_unique<NamedMutex>("VantrelReadhallMutex");
    EXPECT_TRUE(first->owned());
    EXPECT_FALSE(first->alreadyExists());
    EXPECT_TRUE(first->lockFilePath().startsWith(rhtest::testRoot()));

    NamedMutex second("VantrelReadhallMutex");
    EXPECT_FALSE(second.owned());
    EXPECT_TRUE(second.alreadyExists());
    NamedMutex other("AnotherMutex");
    EXPECT_TRUE(other.owned());

    first.reset(); // the first copy ends
    NamedMutex third("VantrelReadhallMutex");
    EXPECT_TRUE(third.owned());
}

TEST(RunningCopy, ASecondCopyPostsAnAcceptedCommandAndNothingElse)
{
    MainFrame frame("RhTestReadhallClass");
    RunningCopyServer server("RhTestReadhallClass", {{WM_COMMAND, 32786}, {WM_COMMAND, 32780}});
    ASSERT_TRUE(server.listen());
    EXPECT_TRUE(platform::isCopyRunning("RhTestReadhallClass"));
    EXPECT_FALSE(platform::isCopyRunning("RhTestOtherClass"));
    EXPECT_FALSE(platform::postToRunningCopy("RhTestOtherClass", WM_COMMAND, 1, 0));

    QSignalSpy handled(&server, &RunningCopyServer::requestHandled);
    ASSERT_TRUE(platform::postToRunningCopy("RhTestReadhallClass", WM_COMMAND, 32786, 0));
    ASSERT_TRUE(rhtest::waitFor([&] { return !frame.received.empty(); }));
    EXPECT_EQ(frame.received[0], std::tuple(UINT(WM_COMMAND), WPARAM(32786), LPARAM(0)));

    // Crafted requests reach no window: the status text message (its parameter once was a
    // pointer), a command not accepted, and an accepted command with a second parameter.
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } crafted[] = {{2025, 0x7fff0000, 0}, {WM_COMMAND, 57665, 0}, {WM_COMMAND, 32780, 0x1234}};
    for (const auto& request : crafted)
        ASSERT_TRUE(platform::postToRunningCopy("RhTestReadhallClass", request.message,
                                                request.wParam, request.lParam));
    ASSERT_TRUE(rhtest::waitFor([&] { return handled.count() == 4; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.received.size(), 1u);
}

TEST(RunningCopy, BringingTheRunningCopyForwardRestoresItsMinimisedWindow)
{
    MainFrame frame("RhTestReadhallClass");
    frame.show();
    frame.showMinimized();
    ASSERT_TRUE(frame.isMinimized());
    RunningCopyServer server("RhTestReadhallClass", {});
    ASSERT_TRUE(server.listen());
    QSignalSpy handled(&server, &RunningCopyServer::requestHandled);
    ASSERT_TRUE(platform::bringRunningCopyForward("RhTestReadhallClass"));
    ASSERT_TRUE(rhtest::waitFor([&] { return handled.count() == 1; }));
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(frame.isVisible());
}

TEST(RunningCopy, OnlyOneCopyListensAndADeadCopysSocketIsTakenOver)
{
    RunningCopyServer first("RhTestReadhallClass", {});
    ASSERT_TRUE(first.listen());
    RunningCopyServer second("RhTestReadhallClass", {});
    EXPECT_FALSE(second.listen());

    // A socket file left behind by a copy that died without cleaning up.
    const QString name = platform::runningCopySocketName("RhTestStaleClass");
    ASSERT_TRUE(name.startsWith(rhtest::testRoot()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(name);
    ASSERT_LT(size_t(path.size()), sizeof(address.sun_path));
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(name));
    EXPECT_FALSE(platform::isCopyRunning("RhTestStaleClass"));

    RunningCopyServer revived("RhTestStaleClass", {});
    EXPECT_TRUE(revived.listen());
    EXPECT_TRUE(platform::isCopyRunning("RhTestStaleClass"));
}

TEST(RunningCopy, AHandedOverAddressArrivesOnlyWhenItIsAFeedAddress)
{
    RunningCopyServer server("RhTestReadhallClass", {});
    ASSERT_TRUE(server.listen());
    QSignalSpy arrived(&server, &RunningCopyServer::addressHandedOver);
    QSignalSpy handled(&server, &RunningCopyServer::requestHandled);
    const struct {
        QString address;
        bool arrives;
    } cases[] = {
        {"feed://example.org/news.rss", true},   {"  https://example.org/atom.xml ", true},
        {"file:///home/someone/news.xml", true}, {"javascript:alert(1)", false},
        {"smb://server/share/feed.xml", false},  {"http://example.org/\x01news", false},
        {"example.org/news.rss", false},
    };
    for (const auto& c : cases) {
        const int before = handled.count();
        ASSERT_TRUE(platform::handAddressToRunningCopy("RhTestReadhallClass", c.address));
        ASSERT_TRUE(rhtest::waitFor([&] { return handled.count() == before + 1; }))
            << c.address.toStdString();
        EXPECT_EQ(arrived.isEmpty() ? QString() : arrived.takeFirst().at(0).toString(),
                  c.arrives ? c.address.trimmed() : QString())
            << c.address.toStdString();
    }
    // An address longer than the limit is not even sent; nothing reaches the copy.
    EXPECT_FALSE(platform::handAddressToRunningCopy(
        "RhTestReadhallClass", "http://example.org/" + QString(9000, QLatin1Char('a'))));
    EXPECT_FALSE(platform::handAddressToRunningCopy("RhTestOtherClass", "http://example.org/"));
}
