// Bitmap resources, picture files, the string table and the tick count.

#include "src/platform/resources.h"
#include "src/platform/tickcount.h"
#include "tests/support/testenv.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace
{
bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}
} // namespace

TEST(Pictures, BitmapResourcesLoadByIdAndMissingOnesAreNull)
{
    // platform_tests.qrc carries one picture as ":/bitmaps/65001.png" (5 x 3 pixels).
    const QPixmap picture = LoadBitmapResource(65001);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(GetBitmapSize(picture), QSize(5, 3));
    EXPECT_EQ(picture.toImage().pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_TRUE(LoadBitmapResource(65002).isNull());
    EXPECT_EQ(GetBitmapSize(QPixmap()), QSize());
}

TEST(Pictures, PictureFilesLoadInAnyFormatAndBadFilesGiveNull)
{
    QImage image(7, 4, QImage::Format_RGB32);
    image.fill(QColor(0, 128, 255));
    const QString bmp = rhtest::testRoot() + "/splash.bmp";
    const QString png = rhtest::testRoot() + "/logo.png";
    ASSERT_TRUE(image.save(bmp, "BMP"));
    ASSERT_TRUE(image.save(png, "PNG"));
    EXPECT_EQ(GetBitmapSize(LoadPictureFile(bmp)), QSize(7, 4));
    EXPECT_EQ(LoadPictureFile(bmp).toImage().pixelColor(6, 3), QColor(0, 128, 255));
    EXPECT_EQ(GetBitmapSize(LoadPictureFile(png)), QSize(7, 4));

    const QString broken = rhtest::testRoot() + "/broken.bmp";
    ASSERT_TRUE(writeFile(broken, "BM not really a bitmap"));
    EXPECT_TRUE(LoadPictureFile(broken).isNull());
    EXPECT_TRUE(LoadPictureFile(rhtest::testRoot() + "/missing.bmp").isNull());
    EXPECT_TRUE(LoadPictureFile("").isNull());
}

TEST(StringTable, StringsLoadByIdWithTheirEscapes)
{
    EXPECT_EQ(platform::loadStringTable("57344\tReadhall\n"
                                        "61307\tError launching Vantrel.exe\r\n"
                                        "# a comment\n"
                                        "100\tTwo\\nlines\\tand a tab, c:\\\\dir\n"
                                        "not a number\tskipped\n"
                                        "\n"
                                        "101\t\n"),
              4);
    EXPECT_EQ(LoadString(57344), "Readhall");
    EXPECT_EQ(LoadString(61307), "Error launching Vantrel.exe");
    EXPECT_EQ(LoadString(100), "Two\nlines\tand a tab, c:\\dir");
    EXPECT_EQ(LoadString(101), "");
    EXPECT_EQ(LoadString(424242), "");

    const QString file = rhtest::testRoot() + "/strings.tsv";
    ASSERT_TRUE(writeFile(file, "7\tSeven\n"));
    EXPECT_EQ(platform::loadStringTableFile(file), 1);
    EXPECT_EQ(LoadString(7), "Seven");
    EXPECT_EQ(LoadString(57344), "");
}

TEST(TickCount, TheTestClockIsSetAdvancedAndWraps)
{
    const DWORD before = GetTickCount();
    const DWORD after = GetTickCount();
    EXPECT_LE(DWORD(after - before), 1000u); // the real clock runs forward

    platform::setTickCountForTesting(1000);
    EXPECT_EQ(GetTickCount(), 1000u);
    EXPECT_EQ(GetTickCount(), 1000u);
    platform::advanceTickCount(250);
    EXPECT_EQ(GetTickCount(), 1250u);
    platform::setTickCountForTesting(0xFFFFFFF0u);
    platform::advanceTickCount(0x20);
    EXPECT_EQ(GetTickCount(), 0x10u);
    // Elapsed time across the wrap is still right in 32-bit arithmetic.
    EXPECT_EQ(DWORD(GetTickCount() - 0xFFFFFFF0u), 0x20u);
}
