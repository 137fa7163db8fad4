#include "vantrel/qkcoolbutton.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace
{

// A picture whose columns are red (x < 20) and blue (x >= 20), 40 by 10 pixels.
QPixmap twoColourTile()
{
    QImage image(40, 10, QImage::Format_RGB32);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 10; ++y)
            image.setPixel(x, y, x < 20 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    return QPixmap::fromImage(image);
}

QImage renderButton(QKCoolButton& button)
{
    QImage image(button.size(), QImage::Format_ARGB32);
    image.fill(Qt::green);
    // Only what the button paints itself: no window background.
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(QKCoolButton, RequiredSizeIsTheTextWithPaddingOrThePicture)
{
    QWidget parent;
    QKCoolButton text;
    text.Create("Channel Directory", QKCoolButton::StyleVisible, 2, QRect(), &parent, 1);
    QFont font = text.font();
    font.setPointSize(14);
    font.setBold(true);
    text.SetFont(font);
    const QFontMetrics metrics(font);
    EXPECT_GE(text.GetRequiredSize().width(), metrics.horizontalAdvance("Channel Directory"));
    EXPECT_GE(text.GetRequiredSize().height(), metrics.height());
    text.SizeToContent();
    EXPECT_EQ(text.size(), text.GetRequiredSize());

    QKCoolButton picture;
    picture.Create(QString(), QKCoolButton::StyleVisible, 2, QRect(), &parent, 4);
    picture.SetBitmaps(QPixmap(48, 32));
    EXPECT_EQ(picture.GetRequiredSize(), QSize(48, 32));
    // Mode bit 0x04 hides the picture: it then takes no room.
    picture.SetMode(2 | QKCoolButton::QKCB_NOBITMAP);
    EXPECT_EQ(picture.GetRequiredSize(), QSize(0, 0));

    QKCoolButton empty;
    empty.Create(QString(), QKCoolButton::StyleVisible, 2, QRect(), &parent, 2);
    EXPECT_EQ(empty.GetRequiredSize(), QSize(0, 0));
    QKCoolButton orphan; // a button needs a parent
    EXPECT_EQ(orphan.Create("x", 0, 2, QRect(), nullptr, 1), 0);
}

TEST(QKCoolButton, ALabelIgnoresClicksAndAHotButtonSendsItsCommand)
{
    QWidget parent;
    parent.resize(200, 100);
    QKCoolButton label;
    label.Create("Label", QKCoolButton::StyleVisible, 2, QRect(0, 0, 80, 20), &parent, 1);
    QKCoolButton hot;
    hot.Create("Hot", QKCoolButton::StyleVisible, 18, QRect(0, 40, 80, 20), &parent, 9);
    parent.show();
    QSignalSpy labelCommands(&label, &QKCoolButton::command);
    QSignalSpy hotCommands(&hot, &QKCoolButton::command);

    EXPECT_FALSE(label.isClickable());
    EXPECT_TRUE(label.testAttribute(Qt::WA_TransparentForMouseEvents));
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(labelCommands.count(), 0);

    EXPECT_TRUE(hot.isClickable());
    QTest::mouseClick(&hot, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(hotCommands.count(), 1);
    EXPECT_EQ(hotCommands.at(0).at(0).value<uint32_t>(), 9u);

    // Mode 18 becomes 2: the button turns into a label.
    hot.SetMode(2);
    QTest::mouseClick(&hot, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(hotCommands.count(), 1);
}

TEST(QKCoolButton, TilesContinueFromTheOffset)
{
    QWidget parent;
    QKCoolButton button;
    button.Create(QString(), QKCoolButton::StyleVisible, 2, QRect(0, 0, 50, 10), &parent, 1);
    button.SetTileBitmap(twoColourTile(), QPoint(30, 0));
    QImage image = renderButton(button);
    // The button starts 30 pixels into the band: its first 10 pixels show the tile's blue
    // part (30..39), then the next tile starts red.
    EXPECT_EQ(image.pixel(0, 5), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(9, 5), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(10, 5), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(30, 5), qRgb(0, 0, 255));

    button.SetTileOffset(QPoint(0, 0));
    image = renderButton(button);
    EXPECT_EQ(image.pixel(0, 5), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(25, 5), qRgb(0, 0, 255));
}

TEST(QKCoolButton, BackgroundIsTransparentUntilAColourIsGivenAndTextTakesItsColour)
{
    QWidget parent;
    QKCoolButton button;
    button.Create("MMMM", QKCoolButton::StyleVisible, 2, QRect(), &parent, 1);
    QFont font = button.font();
    font.setPointSize(20);
    font.setBold(true);
    button.SetFont(font);
    button.SizeToContent();
    EXPECT_EQ(renderButton(button).pixel(0, 0), QColor(Qt::green).rgb());
    button.SetBackColor(Qt::black);
    button.SetTextColor(Qt::white);
    const QImage image = renderButton(button);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    int white = 0;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            white += image.pixel(x, y) == qRgb(255, 255, 255) ? 1 : 0;
    EXPECT_GT(white, 20);
}

TEST(QKCoolButton, TransparentBltLeavesOutTheKeyColour)
{
    QImage source(4, 4, QImage::Format_RGB32);
    source.fill(qRgb(255, 0, 255));
    source.setPixel(2, 2, qRgb(0, 0, 0));
    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(qRgb(255, 255, 255));
    {
        QPainter painter(&target);
        EXPECT_EQ(TransparentBlt(painter, 0, 0, QPixmap::fromImage(source)), 1);
    }
    EXPECT_EQ(target.pixel(0, 0), qRgb(255, 255, 255)); // the key colour (top-left pixel)
    EXPECT_EQ(target.pixel(2, 2), qRgb(0, 0, 0));

    QPainter painter(&target);
    EXPECT_EQ(TransparentBlt(painter, 0, 0, QPixmap()), 0);
}

} // namespace
