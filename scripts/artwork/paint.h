#pragma once
// Shared palette and painting helpers of the artwork generator.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace art
{

// The palette every picture draws from.
namespace pal
{
const QColor ink(0x26, 0x32, 0x48);
const QColor navy(0x1B, 0x26, 0x3B);
const QColor blue(0x2F, 0x80, 0xED);
const QColor blueDark(0x1F, 0x5F, 0xBF);
const QColor sky(0x9C, 0xC9, 0xFF);
const QColor teal(0x12, 0xA1, 0x94);
const QColor green(0x27, 0xAE, 0x60);
const QColor greenDark(0x1B, 0x80, 0x46);
const QColor red(0xE0, 0x3E, 0x3E);
const QColor darkRed(0x9B, 0x1C, 0x2C);
const QColor orange(0xF2, 0x8C, 0x28);
const QColor gold(0xF2, 0xC1, 0x4E);
const QColor goldDark(0xB8, 0x80, 0x10);
const QColor paper(0xFF, 0xFF, 0xFF);
const QColor paperShade(0xE6, 0xEB, 0xF2);
const QColor grey(0x9A, 0xA5, 0xB4);
const QColor greyDark(0x5B, 0x67, 0x78);
const QColor purple(0x7B, 0x61, 0xFF);
const QColor rose(0xD9, 0x46, 0x8C);
const QColor folder(0xF5, 0xB9, 0x42);
const QColor folderDark(0xC8, 0x8A, 0x1A);
const QColor black(0x20, 0x20, 0x24);
} // namespace pal

// Transparent colours of the keyed strips.
const QColor keyMagenta(255, 0, 255);
const QColor keyRed(255, 0, 0);

// A transparent image ready to paint on.
QImage canvas(int w, int h);
// A painter with antialiasing on.
void begin(QPainter& p);

// Turns a picture with soft edges into one on a key colour: a pixel that is mostly opaque
// keeps its own colour at full strength, any other pixel becomes the key colour. No pixel
// of the picture itself keeps the key colour.
QImage keyed(const QImage& picture, const QColor& key);

// Writes a picture as PNG (or BMP for a .bmp path); aborts the program on failure.
void save(const QImage& image, const QString& path);

// Common strokes.
QPen outline(const QColor& c, qreal w = 1.0);
// Fills a path with a colour and outlines it.
void shape(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& line,
           qreal w = 1.0);
// Draws a path with a white halo around it, so that a small badge stays readable over
// another drawing.
void halo(QPainter& p, const QPainterPath& path, qreal w = 2.0);

// A rounded "app tile" with a soft vertical gradient.
void tile(QPainter& p, const QRectF& r, const QColor& c, qreal radius);

} // namespace art
