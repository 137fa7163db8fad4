#include "paint.h"

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <cstdio>
#include <cstdlib>

namespace art
{

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void begin(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
}

QImage keyed(const QImage& picture, const QColor& key)
{
    const QImage src = picture.convertToFormat(QImage::Format_ARGB32);
    QImage out(src.size(), QImage::Format_RGB32);
    const QRgb keyRgb = key.rgb() | 0xFF000000u;
    for (int y = 0; y < src.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        QRgb* o = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x) {
            const QRgb px = in[x];
            if (qAlpha(px) < 110) {
                o[x] = keyRgb;
                continue;
            }
            QRgb c = qRgb(qRed(px), qGreen(px), qBlue(px));
            if (c == keyRgb) // never let the drawing itself vanish
                c = qRgb(qRed(px) == 255 ? 254 : qRed(px) + 1, qGreen(px), qBlue(px));
            o[x] = c;
        }
    }
    return out;
}

void save(const QImage& image, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray format = path.endsWith(QLatin1String(".bmp")) ? "BMP" : "PNG";
    if (!image.save(path, format.constData())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

QPen outline(const QColor& c, qreal w)
{
    QPen pen(c, w);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void shape(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& line, qreal w)
{
    p.save();
    p.setBrush(fill);
    if (w > 0)
        p.setPen(outline(line, w));
    else
        p.setPen(Qt::NoPen);
    p.drawPath(path);
    p.restore();
}

void halo(QPainter& p, const QPainterPath& path, qreal w)
{
    p.save();
    p.setBrush(pal::paper);
    p.setPen(outline(pal::paper, w * 2));
    p.drawPath(path);
    p.restore();
}

void tile(QPainter& p, const QRectF& r, const QColor& c, qreal radius)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, c.lighter(118));
    g.setColorAt(1, c.darker(112));
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    // a faint highlight along the top edge gives the tile some depth
    p.setPen(QPen(QColor(255, 255, 255, 70), r.width() / 48.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(r.width() / 64, r.width() / 64, -r.width() / 64, -r.width() / 64),
                      radius, radius);
    p.restore();
}

} // namespace art
