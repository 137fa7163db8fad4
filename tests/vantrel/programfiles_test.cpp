#include "tests/support/testenv.h"
#include "vantrel/core/programfiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{

TEST(ProgramFiles, InstalledFilesBesideBinWinOverTheProgramsOwnFolder)
{
    const QString root = rhtest::testRoot();
    const QString bin = root + "/usr/bin";
    QDir().mkpath(bin);
    // A build folder: nothing installed, the files are beside the program.
    EXPECT_EQ(vantrel::programFilesDirectory(bin), bin);
    EXPECT_EQ(vantrel::programFilesDirectory(bin + "/"), bin);

    // A file where the folder would be is not the installed folder.
    QDir().mkpath(root + "/usr/share");
    QFile blocker(root + "/usr/share/readhall");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(vantrel::programFilesDirectory(bin), bin);

    ASSERT_TRUE(blocker.remove());
    QDir().mkpath(root + "/usr/share/readhall");
    EXPECT_EQ(vantrel::programFilesDirectory(bin), root + "/usr/share/readhall");

    EXPECT_EQ(vantrel::programFilesDirectory(QString()), QString());
}

} // namespace
