#include "src/app/commandline.h"
#include "src/app/readhallapp.h"
#include "src/shared/ids.h"
#include "tests/app/app_fixture.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <gtest/gtest.h>

namespace
{

constexpr auto Run = ReadhallCommandLine::Action::Run;
constexpr auto Fail = ReadhallCommandLine::Action::Fail;

struct Case {
    const char* name;
    QStringList arguments; // "@" stands for the test's private folder
    ReadhallCommandLine::Action action;
    UINT command;    // the window the switches ask for, 0 for none
    QString address; // the one feed address found, "" for none
    int warnings;
};

using CommandLineTest = ::testing::TestWithParam<Case>;

TEST_P(CommandLineTest, ClassifiesEveryArgument)
{
    const Case& c = GetParam();
    const QString root = rhtest::testRoot();
    ASSERT_TRUE(apptest::writeFile(root + "/channelview/news.rss"));
    QStringList arguments = c.arguments;
    arguments.replaceInStrings("@", root);
    const ReadhallCommandLine line = ParseReadhallCommandLine(arguments);
    ASSERT_EQ(line.action, c.action) << qPrintable(line.error);
    if (c.action == Fail) {
        EXPECT_FALSE(line.error.isEmpty());
        return;
    }
    EXPECT_EQ(CReadhallApp::CommandFromCommandLine(line.switchText), c.command);
    QStringList addresses;
    for (const QUrl& url : line.addresses)
        addresses << url.toString();
    EXPECT_EQ(addresses.join(' '), QString(c.address).replace("@", root));
    EXPECT_EQ(line.warnings.size(), c.warnings) << qPrintable(line.warnings.join('\n'));
}

const Case CASES[] = {
    {"SlashSwitch", {"/channelview"}, Run, ID_VIEW_CHANNEL_CONTENT, "", 0},
    {"DoubleDashSwitch", {"--alertview"}, Run, ID_VIEW_ALERTS, "", 0},
    {"FeedLinkIsNoSwitch", {"feed://x.org/channelview"}, Run, 0, "http://x.org/channelview", 0},
    {"SecureFeedLink", {"feeds://x.org/searchview"}, Run, 0, "https://x.org/searchview", 0},
    {"WrappedFeedLink", {"feed:https://x.org/alertview"}, Run, 0, "https://x.org/alertview", 0},
    {"AddressAndSwitch",
     {"http://x.org/searchview", "/alertview"},
     Run,
     ID_VIEW_ALERTS,
     "http://x.org/searchview",
     0},
    {"FeedLinkWithPort", {"feed://x.org:81/a"}, Run, 0, "http://x.org:81/a", 0},
    {"FeedLinkWrappingAnAddress", {"feed://https://x.org/a"}, Run, 0, "https://x.org/a", 0},
    {"FeedLinkToALocalFile", {"feed:file:///etc/passwd"}, Run, 0, "", 1},
    {"OtherScheme", {"javascript:/channelview"}, Run, 0, "", 1},
    {"WebAddressWithoutHost", {"http:///channelview"}, Run, 0, "", 1},
    {"FeedFileInAFolderNamedLikeASwitch",
     {"@/channelview/news.rss"},
     Run,
     0,
     "file://@/channelview/news.rss",
     0},
    {"FileAddress", {"file://@/channelview/news.rss"}, Run, 0, "file://@/channelview/news.rss", 0},
    {"MissingFile", {"file://@/channelview/gone.rss"}, Run, 0, "", 1},
    {"UnknownWord", {"hello"}, Run, 0, "", 1},
    {"QtOptionsAndTheirValues",
     {"-platform", "offscreen", "--style=Fusion", "-reverse", "--qwindowtitle", "/alertview",
      "-searchview"},
     Run,
     ID_VIEW_SEARCH,
     "",
     0},
    {"AfterTheEndOfOptions", {"--", "--help"}, Run, 0, "", 1},
    {"UnknownLongOption", {"/alertview", "--bogus"}, Fail, 0, "", 0},
    {"ScreenshotWithoutFile", {"--screenshot"}, Fail, 0, "", 0},
    {"Help", {"/alertview", "--help", "--bogus"}, ReadhallCommandLine::Action::ShowHelp, 0, "", 0},
    {"Version", {"--version"}, ReadhallCommandLine::Action::ShowVersion, 0, "", 0},
};

INSTANTIATE_TEST_SUITE_P(Arguments, CommandLineTest, ::testing::ValuesIn(CASES),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, TheScreenshotFileIsMadeAbsoluteAndLeavesTheSwitchesAlone)
{
    for (const QStringList& arguments : {QStringList{"--screenshot", "shot.png", "/searchview"},
                                         QStringList{"/searchview", "--screenshot=shot.png"}}) {
        const ReadhallCommandLine line = ParseReadhallCommandLine(arguments);
        EXPECT_EQ(line.screenshotFile, QDir::current().absoluteFilePath("shot.png"));
        EXPECT_EQ(CReadhallApp::CommandFromCommandLine(line.switchText), ID_VIEW_SEARCH);
    }
}

} // namespace
