// Opening documents, starting programs, file checks.

#include "src/platform/shell.h"
#include "tests/support/testenv.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(StartProgram, ArgumentsWithShellCharactersArriveVerbatimAndAMissingProgramFails)
{
    const QString dir = rhtest::testRoot();
    // Were a shell to see it, the text would create "pwned" in the working folder.
    const QString tricky = dir + "/a; $(touch pwned) `touch pwned` 'b' \"c\" * & d";
    const QString plain = dir + "/plain";
    qint64 pid = 0;
    ASSERT_EQ(StartProgram("/usr/bin/touch", {tricky, plain}, dir, &pid), 1);
    EXPECT_GT(pid, 0);
    ASSERT_TRUE(rhtest::waitFor([&] { return QFile::exists(plain) && QFile::exists(tricky); }));
    EXPECT_FALSE(QFile::exists(dir + "/pwned"));
    EXPECT_FALSE(QFile::exists(dir + "/a"));
    // A missing program does not start.
    EXPECT_EQ(StartProgram(dir + "/crawler.exe", {}), 0);
    EXPECT_EQ(StartProgram("", {"x"}), 0);
}

TEST(ShellOpen, DocumentsAndWebAddressesGoToTheDesktopHandler)
{
    std::vector<QUrl> opened;
    bool answer = true;
    platform::setShellOpenHook([&](const QUrl& url) {
        opened.push_back(url);
        return answer;
    });
    const QString page = rhtest::testRoot() + "/start page.html";
    EXPECT_EQ(ShellOpen(page), 1);
    EXPECT_EQ(ShellOpen("https://example.com/a?b=c d"), 1);
    answer = false;
    EXPECT_EQ(ShellOpen("http://example.com/"), 0);
    EXPECT_EQ(ShellOpen("   "), 0);

    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(page));
    EXPECT_EQ(opened[1].host(), "example.com");
    EXPECT_EQ(opened[1].query(), "b=c d");
}

TEST(ShellOpen, OtherSchemesNeverReachTheDesktop)
{
    int opened = 0;
    platform::setShellOpenHook([&](const QUrl&) { return ++opened > 0; });
    for (const char* address :
         {"javascript:alert(document.cookie)", "JavaScript:void(0)", "data:text/html,<b>x</b>",
          "mailto:someone@example.com", "vbscript:msgbox(1)", "ms-settings:", "smb://host/share",
          "http:relative-without-host"}) {
        EXPECT_EQ(ShellOpen(address), 0) << address;
        EXPECT_FALSE(IsOpenableAddress(QUrl(address))) << address;
    }
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(RefusedAddressText("javascript:alert(1)").startsWith("\"javascript:alert(1)\""));
}

TEST(FileAttributes, FilesFoldersHiddenAndMissing)
{
    const QString dir = rhtest::testRoot();
    const QString file = dir + "/rdhall.hlp", hidden = dir + "/.hidden";
    for (const QString& path : {file, hidden})
        ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    EXPECT_EQ(GetFileAttributes(file), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(GetFileAttributes(dir) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(GetFileAttributes(hidden) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(GetFileAttributes(dir + "/missing"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributes(""), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(FileExists(file), 1);
    EXPECT_EQ(FileExists(dir), 1);
    EXPECT_EQ(FileExists(dir + "/missing"), 0);
}
