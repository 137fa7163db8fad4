#include "src/shared/headerview.h"

#include "resources/readhall_resources.h"
#include "src/framework/cmdtarget.h"
#include "src/shared/settingsfunctions.h"
#include "tests/shared/shared_fixture.h"
#include "tests/support/engine_builder.h"
#include "tests/support/testenv.h"
#include "vantrel/qkcoolbutton.h"

#include <QFile>
#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

using namespace sharedtest;

namespace
{

// The strips read the engine's data folder and the program's pictures.
class HeaderViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        ASSERT_TRUE(rhtest::engine::start());
    }
};

// A 40 by 20 area picture: column x has the colour (x * 6, 100, 50).
void writeAreaPicture(const QString& dir)
{
    QImage image(40, 20, QImage::Format_RGB32);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 20; ++y)
            image.setPixel(x, y, qRgb(x * 6, 100, 50));
    ASSERT_TRUE(image.save(dir + "/channelarea.bmp", "BMP"));
}

TEST_F(HeaderViewTest, ColoursAreWhiteTextOnBlackUnlessTheSettingsSayOtherwise)
{
    CSearchHeaderView header;
    EXPECT_EQ(storedNumber(layoutKey(), "ChannelTextColorG"), 255u);
    EXPECT_EQ(storedNumber(layoutKey(), "ChannelBackgroundColorB"), 0u);
    EXPECT_EQ(storedNumber(layoutKey(), "UseChannelAreaFromFile"), 0u);

    header.resize(400, 70);
    header.OnInitialUpdate();
    const QImage image = render(&header);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0)); // the black frame
    EXPECT_EQ(image.pixel(399, 35), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(200, 35), qRgb(0, 0, 0)); // the band between text and picture
    EXPECT_EQ(header.GetButton(IDC_HEADER_TITLE)->GetTextColor(), QColor(255, 255, 255));

    setNumber(layoutKey(), "ChannelBackgroundColorR", 10);
    setNumber(layoutKey(), "ChannelBackgroundColorG", 20);
    setNumber(layoutKey(), "ChannelBackgroundColorB", 200);
    setNumber(layoutKey(), "ChannelTextColorR", 255);
    setNumber(layoutKey(), "ChannelTextColorG", 255);
    setNumber(layoutKey(), "ChannelTextColorB", 0);
    CBrowserHeaderView browser;
    browser.resize(300, 60);
    browser.OnInitialUpdate();
    EXPECT_EQ(browser.GetTextColor(), QColor(255, 255, 0));
    const QImage set = render(&browser);
    // Inside the frame and the raised edge, away from title and picture: the band colour.
    EXPECT_EQ(set.pixel(150, 5), qRgb(10, 20, 200));
    EXPECT_EQ(set.pixel(0, 30), qRgb(0, 0, 0));
    EXPECT_TRUE(browser.lastTileGrid().isEmpty());
}

TEST_F(HeaderViewTest, TheAreaPictureTilesTheBandAndTheButtonsElseTheBandColourFillsIt)
{
    writeAreaPicture(rhtest::engineDataDir());
    setNumber(layoutKey(), "UseChannelAreaFromFile", 1);
    CBaseHeaderView header; // no title, no picture: the band alone
    ASSERT_EQ(header.GetAreaPicture().size(), QSize(40, 20));
    header.resize(100, 30);
    header.OnInitialUpdate();
    const QImage image = render(&header);
    EXPECT_EQ(header.lastTileGrid(), QSize(3, 2));
    // Column 3 starts at x = 80 and is cut at the band's edge: x = 85 shows tile column 5.
    EXPECT_EQ(image.pixel(85, 10), qRgb(5 * 6, 100, 50));
    EXPECT_EQ(image.pixel(45, 25), qRgb(5 * 6, 100, 50)); // second row, second column

    // The buttons' tiles continue the band.
    CDirectoryHeaderView directory;
    directory.resize(600, 90);
    directory.OnInitialUpdate();
    for (UINT id = IDC_HEADER_TITLE; id <= IDC_HEADER_PICTURE; ++id) {
        QKCoolButton* button = directory.GetButton(id);
        EXPECT_FALSE(button->GetTileBitmap().isNull());
        EXPECT_EQ(button->GetTileOffset(), button->pos());
    }

    // Without the picture file the band is filled with its colour.
    QFile::remove(rhtest::engineDataDir() + "/channelarea.bmp");
    setNumber(layoutKey(), "ChannelBackgroundColorR", 90);
    CStatusHeaderView missing;
    EXPECT_TRUE(missing.GetAreaPicture().isNull());
    missing.resize(200, 40);
    missing.OnInitialUpdate();
    const QImage plain = render(&missing);
    EXPECT_TRUE(missing.lastTileGrid().isEmpty());
    EXPECT_EQ(plain.pixel(100, 4), qRgb(90, 0, 0));
}

TEST_F(HeaderViewTest, TextsAndLineCountsOfTheWindowKinds)
{
    CSearchHeaderView search;
    CDirectoryHeaderView directory;
    CPublishingWizardHeaderView publishing;
    CBrowserHeaderView browser;
    CStatusHeaderView status;
    EXPECT_EQ(
        (QStringList{search.GetTitle(), directory.GetTitle(), publishing.GetTitle(),
                     browser.GetTitle(), status.GetTitle()}),
        (QStringList{"Search", "Channel Directory", "Publishing Wizard", "Browser", "Status"}));
    EXPECT_EQ(search.GetSecondLine(),
              "Enter a word to search for and then click the 'Find Now' button.");
    EXPECT_EQ(directory.GetThirdLine(), "Double click a subscribed channel to view its contents.");
    EXPECT_EQ((std::vector<int>{search.GetLineCount(), directory.GetLineCount(),
                                publishing.GetLineCount()}),
              (std::vector<int>{1, 2, 0}));
    EXPECT_FALSE(browser.GetPicture().isNull() || status.GetPicture().isNull());
}

TEST_F(HeaderViewTest, AtItsIdealHeightTheLinesStackBesideTheWholePicture)
{
    CDirectoryHeaderView header;
    header.resize(700, header.idealHeight());
    header.show();
    QKCoolButton* picture = header.GetButton(IDC_HEADER_PICTURE);
    EXPECT_EQ(picture->size(), header.GetPicture().deviceIndependentSize().toSize());
    EXPECT_TRUE(header.rect().contains(picture->geometry()));
    int below = -1;
    for (UINT id = IDC_HEADER_TITLE; id <= IDC_HEADER_LINE3; ++id) {
        QKCoolButton* line = header.GetButton(id);
        EXPECT_EQ(line->size(), line->GetRequiredSize()) << id;
        EXPECT_TRUE(header.rect().contains(line->geometry())) << id;
        EXPECT_LT(line->geometry().right(), picture->x()) << id;
        EXPECT_GT(line->y(), below) << id;
        below = line->geometry().bottom();
    }
    // A header of fewer lines leaves the others out.
    CSearchHeaderView search;
    search.resize(700, 80);
    search.OnInitialUpdate();
    EXPECT_TRUE(search.GetButton(IDC_HEADER_LINE3)->geometry().isEmpty());
    EXPECT_FALSE(search.GetButton(IDC_HEADER_LINE2)->geometry().isEmpty());

    // Too low for every line: the lower lines give way, none is cut, the title stays.
    QKCoolButton* title = header.GetButton(IDC_HEADER_TITLE);
    header.resize(700, title->height() + header.GetButton(IDC_HEADER_LINE2)->height() + 2);
    EXPECT_TRUE(header.GetButton(IDC_HEADER_LINE3)->geometry().isEmpty());
    EXPECT_TRUE(header.rect().contains(header.GetButton(IDC_HEADER_LINE2)->geometry()));
    header.resize(700, title->height() / 2);
    EXPECT_TRUE(header.GetButton(IDC_HEADER_LINE2)->geometry().isEmpty());
    EXPECT_FALSE(title->geometry().isEmpty());
}

TEST_F(HeaderViewTest, ANarrowHeaderCutsTheTitleAndKeepsThePictureWhole)
{
    CSearchHeaderView header;
    header.resize(120, 80);
    header.show();
    QKCoolButton* picture = header.GetButton(IDC_HEADER_PICTURE);
    QKCoolButton* title = header.GetButton(IDC_HEADER_TITLE);
    const QSize pictureSize = header.GetPicture().deviceIndependentSize().toSize();
    EXPECT_EQ(picture->size(), pictureSize);
    EXPECT_TRUE(header.rect().contains(picture->geometry()));
    ASSERT_GT(title->GetRequiredSize().width(), picture->x() - title->x());
    EXPECT_LT(title->geometry().right(), picture->x());

    // Narrower than the margins and the picture: nothing text-wide is left, no negative sizes.
    header.resize(40, 80);
    EXPECT_EQ(title->width(), 0);
    EXPECT_EQ(picture->size(), pictureSize);
}

TEST_F(HeaderViewTest, PictureFileSettingsNameTheHeaderPicture)
{
    // Missing file: no picture at all (not the resource).
    setText(settings::navigationBarKeyPath(), "Search Bitmap", rhtest::testRoot() + "/no-such.bmp");
    CSearchHeaderView missing;
    missing.resize(500, 80);
    missing.OnInitialUpdate();
    EXPECT_TRUE(missing.GetPicture().isNull());
    EXPECT_EQ(missing.GetButton(IDC_HEADER_PICTURE)->size(), QSize(0, 0));

    // A readable file: that picture.
    QImage image(33, 21, QImage::Format_RGB32);
    image.fill(Qt::yellow);
    const QString file = rhtest::testRoot() + "/dir.bmp";
    ASSERT_TRUE(image.save(file, "BMP"));
    setText(settings::navigationBarKeyPath(), "Directory Bitmap", file);
    CDirectoryHeaderView directory;
    EXPECT_EQ(directory.GetPicture().size(), QSize(33, 21));

    // Empty setting: the resource picture; the setting exists afterwards.
    CPublishingWizardHeaderView publishing;
    EXPECT_FALSE(publishing.GetPicture().isNull());
    EXPECT_TRUE(hasValue(settings::navigationBarKeyPath(), "Publishing Wizard Bitmap"));
}

TEST_F(HeaderViewTest, AClickableTitleSendsItsCommandToTheView)
{
    CBaseHeaderView header;
    header.SetTitle("Channels");
    header.SetButtonClickable(0, true);
    int clicks = 0;
    header.onCommand(IDC_HEADER_TITLE, [&] { ++clicks; });
    header.resize(400, 60);
    header.show();
    QKCoolButton* title = header.GetButton(IDC_HEADER_TITLE);
    EXPECT_EQ(title->GetMode(), 18u);
    EXPECT_EQ(header.GetButton(IDC_HEADER_LINE2)->GetMode(), 2u);
    QTest::mouseClick(title, Qt::LeftButton, {}, QPoint(5, title->height() / 2));
    EXPECT_EQ(clicks, 1);
}

} // namespace
