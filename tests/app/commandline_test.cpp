#include "src/app/commandline.h"
#include "src/app/readhallapp.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{

using Action = ReadhallCommandLine::Action;

struct Case {
    const char* name;
    QStringList arguments; // "@ROOT@" stands for the test's private folder
    Action action;
    UINT command;          // the window the switches ask for, 0 for none
    QStringList addresses; // "@ROOT@" as above
    int warnings;
};

QStringList withRoot(QStringList texts)
{
    for (QString& text : texts)
        text.replace(QLatin1String("@ROOT@"), rhtest::testRoot());
    return texts;
}

class CommandLineTest : public ::testing::TestWithParam<Case>
{
};

TEST_P(CommandLineTest, ClassifiesEveryArgument)
{
    const Case& c = GetParam();
    QDir().mkpath(rhtest::testRoot() + "/channelview");
    QFile feed(rhtest::testRoot() + "/channelview/news.rss");
    ASSERT_TRUE(feed.open(QIODevice::WriteOnly));
    feed.write("<rss version=\"2.0\"><channel/></rss>");
    feed.close();

    const ReadhallCommandLine line = ParseReadhallCommandLine(withRoot(c.arguments));
    EXPECT_EQ(line.action, c.action) << qPrintable(line.error);
    if (c.action == Action::Fail) {
        EXPECT_FALSE(line.error.isEmpty());
        return;
    }
    EXPECT_EQ(CReadhallApp::CommandFromCommandLine(line.switchText), c.command)
        << qPrintable(line.switchText);
    QStringList addresses;
    for (const QUrl& url : line.addresses)
        addresses << url.toString();
    EXPECT_EQ(addresses, withRoot(c.addresses));
    EXPECT_EQ(line.warnings.size(), c.warnings) << qPrintable(line.warnings.join('\n'));
}

const Case CASES[] = {
    {"SlashSwitch", {"/channelview"}, Action::Run, 32780, {}, 0},
    {"SwitchInsideAWord", {"x/channelviewer"}, Action::Run, 32780, {}, 0},
    {"DoubleDashSwitch", {"--alertview"}, Action::Run, 32782, {}, 0},
    {"FeedLinkIsNoSwitch",
     {"feed://example.com/channelview/rss"},
     Action::Run,
     0,
     {"http://example.com/channelview/rss"},
     0},
    {"SecureFeedLink",
     {"feeds://example.com/searchview"},
     Action::Run,
     0,
     {"https://example.com/searchview"},
     0},
    {"WrappedFeedLink",
     {"feed:https://example.com/a/alertview.xml"},
     Action::Run,
     0,
     {"https://example.com/a/alertview.xml"},
     0},
    {"WebAddressBesideASwitch",
     {"https://example.com/directoryview/x", "/alertview"},
     Action::Run,
     32782,
     {"https://example.com/directoryview/x"},
     0},
    {"FeedLinkToALocalFile", {"feed:file:///etc/passwd"}, Action::Run, 0, {}, 1},
    {"OtherSchemeIsNeitherSwitchNorAddress", {"javascript:/channelview"}, Action::Run, 0, {}, 1},
    {"WebAddressWithoutHost", {"http:///channelview"}, Action::Run, 0, {}, 1},
    {"FeedFileWhosePathHoldsASwitch",
     {"@ROOT@/channelview/news.rss"},
     Action::Run,
     0,
     {"file://@ROOT@/channelview/news.rss"},
     0},
    {"FileAddress",
     {"file://@ROOT@/channelview/news.rss"},
     Action::Run,
     0,
     {"file://@ROOT@/channelview/news.rss"},
     0},
    {"MissingFileAddress", {"file://@ROOT@/channelview/gone.rss"}, Action::Run, 0, {}, 1},
    {"UnknownWord", {"hello"}, Action::Run, 0, {}, 1},
    {"QtOptionsAndTheirValues",
     {"-platform", "offscreen", "--style=Fusion", "-reverse", "--qwindowtitle", "/alertview",
      "-searchview"},
     Action::Run,
     32781,
     {},
     0},
    {"AfterTheEndOfOptions", {"--", "--help"}, Action::Run, 0, {}, 1},
    {"UnknownLongOption", {"/alertview", "--bogus"}, Action::Fail, 0, {}, 0},
    {"ScreenshotWithoutFile", {"--screenshot"}, Action::Fail, 0, {}, 0},
    {"Help", {"/alertview", "--help", "--bogus"}, Action::ShowHelp, 0, {}, 0},
    {"ShortHelp", {"-h"}, Action::ShowHelp, 0, {}, 0},
    {"Version", {"--version"}, Action::ShowVersion, 0, {}, 0},
};

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineTest, ::testing::ValuesIn(CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, TheScreenshotFileIsMadeAbsoluteAndLeavesTheSwitchesAlone)
{
    for (const QStringList& arguments : {QStringList{"--screenshot", "shot.png", "/searchview"},
                                         QStringList{"/searchview", "--screenshot=shot.png"}}) {
        const ReadhallCommandLine line = ParseReadhallCommandLine(arguments);
        EXPECT_EQ(line.action, Action::Run);
        EXPECT_EQ(line.screenshotFile, QDir::current().absoluteFilePath("shot.png"));
        EXPECT_EQ(CReadhallApp::CommandFromCommandLine(line.switchText), 32781u);
    }
}

} // namespace
