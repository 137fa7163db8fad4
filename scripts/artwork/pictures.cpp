#include "pictures.h"

#include "icons.h"
#include "paint.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QRadialGradient>
#include <QtMath>

namespace art::picture
{

using namespace art;

namespace
{

const QString kWordFont = QStringLiteral("URW Gothic");

QFont wordFont(qreal pixels, int weight = QFont::DemiBold)
{
    QFont f(kWordFont);
    f.setPixelSize(qRound(pixels));
    f.setWeight(static_cast<QFont::Weight>(weight));
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

QFont bodyFont(qreal pixels, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(qRound(pixels));
    f.setBold(bold);
    return f;
}

QPen whitePen(qreal w)
{
    return outline(pal::paper, w);
}

// Every motif is drawn on a 24-unit grid.
void drawMotif(QPainter& p, Motif motif)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(whitePen(2));
    switch (motif) {
    case Motif::Broadcast:
        glyph::broadcast(p, QRectF(2, 2.5, 20, 20));
        break;
    case Motif::Bell:
    case Motif::BellBadge: {
        QPainterPath bell;
        bell.moveTo(5, 17);
        bell.cubicTo(7, 15, 6.5, 12, 7, 9.5);
        bell.cubicTo(7.6, 6.2, 9.8, 4.8, 12, 4.8);
        bell.cubicTo(14.2, 4.8, 16.4, 6.2, 17, 9.5);
        bell.cubicTo(17.5, 12, 17, 15, 19, 17);
        bell.closeSubpath();
        p.setBrush(pal::paper);
        p.setPen(whitePen(1.5));
        p.drawPath(bell);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(12, 19.2), 2, 2);
        p.drawEllipse(QPointF(12, 4), 1.3, 1.3);
        if (motif == Motif::BellBadge) {
            p.setBrush(pal::red);
            p.setPen(whitePen(1.2));
            p.drawEllipse(QPointF(18.5, 6), 3.6, 3.6);
            p.setPen(whitePen(1.4));
            p.drawLine(QPointF(18.5, 4.2), QPointF(18.5, 6.6));
            p.drawPoint(QPointF(18.5, 8.2));
        }
        break;
    }
    case Motif::Magnifier: {
        p.setPen(whitePen(2.6));
        p.drawEllipse(QPointF(10, 10), 5.5, 5.5);
        p.setPen(whitePen(3.4));
        p.drawLine(QPointF(14.2, 14.2), QPointF(19, 19));
        p.setPen(outline(QColor(255, 255, 255, 150), 1.2));
        p.drawArc(QRectF(6.5, 6.5, 7, 7), 100 * 16, 70 * 16);
        break;
    }
    case Motif::Checklist: {
        for (int i = 0; i < 3; ++i) {
            const qreal y = 5.5 + i * 6;
            p.setPen(whitePen(1.4));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(4, y, 4.5, 4.5), 0.8, 0.8);
            p.setPen(whitePen(1.8));
            p.drawLine(QPointF(11, y + 2.25), QPointF(20, y + 2.25));
            if (i != 1) {
                p.setPen(whitePen(1.6));
                QPainterPath t;
                t.moveTo(4.8, y + 2);
                t.lineTo(6.2, y + 3.6);
                t.lineTo(9.2, y - 0.6);
                p.drawPath(t);
            }
        }
        break;
    }
    case Motif::Globe: {
        p.setPen(whitePen(1.8));
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.drawEllipse(QRectF(8, 4, 8, 16));
        p.drawLine(QPointF(12, 4), QPointF(12, 20));
        p.drawLine(QPointF(4.5, 9), QPointF(19.5, 9));
        p.drawLine(QPointF(4.5, 15), QPointF(19.5, 15));
        break;
    }
    case Motif::Pulse: {
        QPainterPath l;
        l.moveTo(3, 13);
        l.lineTo(7.5, 13);
        l.lineTo(9.5, 7);
        l.lineTo(12.5, 18);
        l.lineTo(15, 10);
        l.lineTo(16.5, 13);
        l.lineTo(21, 13);
        p.setPen(whitePen(2.2));
        p.drawPath(l);
        break;
    }
    case Motif::Quill: {
        QPainterPath feather;
        feather.moveTo(6, 19);
        feather.cubicTo(8, 12, 12, 6, 20, 3.5);
        feather.cubicTo(19, 9, 15, 14.5, 8.5, 16.5);
        feather.closeSubpath();
        p.setBrush(pal::paper);
        p.setPen(whitePen(1));
        p.drawPath(feather);
        p.setPen(outline(QColor(0, 0, 0, 60), 0.9));
        p.drawLine(QPointF(7, 17.5), QPointF(17, 7));
        p.setPen(whitePen(1.6));
        p.drawLine(QPointF(4, 21), QPointF(7, 17.5));
        p.drawLine(QPointF(10, 21), QPointF(20, 21));
        // sparkle
        p.setPen(whitePen(1.2));
        p.drawLine(QPointF(5, 5), QPointF(5, 10));
        p.drawLine(QPointF(2.5, 7.5), QPointF(7.5, 7.5));
        break;
    }
    }
}

void drawBookMark(QPainter& p, qreal s, const QColor& page)
{
    // an open book with the broadcast arcs rising from it, on a 24-unit grid
    p.save();
    p.scale(s / 24.0, s / 24.0);
    QPainterPath left;
    left.moveTo(12, 11.5);
    left.cubicTo(9, 10, 6, 10, 3.5, 11);
    left.lineTo(3.5, 20);
    left.cubicTo(6, 19, 9, 19, 12, 20.5);
    left.closeSubpath();
    QPainterPath right = left;
    QTransform mirror;
    mirror.translate(24, 0);
    mirror.scale(-1, 1);
    right = mirror.map(left);
    p.setPen(outline(page, 0.6));
    p.setBrush(page);
    p.drawPath(left);
    p.setBrush(page.darker(108));
    p.drawPath(right);
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(page, 1.9));
    p.drawArc(QRectF(12 - 3.5, 9 - 3.5, 7, 7), 30 * 16, 120 * 16);
    p.drawArc(QRectF(12 - 6.5, 9 - 6.5, 13, 13), 35 * 16, 110 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(page);
    p.drawEllipse(QPointF(12, 9), 1.5, 1.5);
    p.restore();
}

} // namespace

QImage windowPicture(Motif motif, const QColor& colour, int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    begin(p);
    const qreal m = size / 24.0;
    tile(p, QRectF(m * 0.5, m * 0.5, size - m, size - m), colour, size * 0.2);
    p.save();
    p.scale(size / 24.0, size / 24.0);
    drawMotif(p, motif);
    p.restore();
    return img;
}

QImage appIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    begin(p);
    const qreal m = size / 32.0;
    tile(p, QRectF(m, m, size - 2 * m, size - 2 * m), pal::blue, size * 0.22);
    drawBookMark(p, size, pal::paper);
    return img;
}

QImage engineEmblem(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    begin(p);
    const qreal m = size / 32.0;
    tile(p, QRectF(m, m, size - 2 * m, size - 2 * m), pal::navy, size * 0.22);
    p.scale(size / 24.0, size / 24.0);
    // a "V" whose arms send out waves: the engine that pushes content
    QPainterPath v;
    v.moveTo(6, 7);
    v.lineTo(12, 19);
    v.lineTo(18, 7);
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::sky, 2.6));
    p.drawPath(v);
    p.setPen(outline(pal::gold, 1.4));
    p.drawArc(QRectF(12 - 4, 5 - 4, 8, 8), 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::gold);
    p.drawEllipse(QPointF(12, 5.5), 1.4, 1.4);
    return img;
}

QImage runtimeCup(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    begin(p);
    p.scale(size / 24.0, size / 24.0);
    QPainterPath cup;
    cup.moveTo(4, 10);
    cup.lineTo(17, 10);
    cup.cubicTo(17, 16, 15, 20, 10.5, 20);
    cup.cubicTo(6, 20, 4, 16, 4, 10);
    cup.closeSubpath();
    shape(p, cup, pal::paper, pal::ink, 1.2);
    p.setPen(outline(pal::ink, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(14.5, 11, 5, 5), -90 * 16, 180 * 16);
    p.setPen(outline(pal::blue, 1.2));
    p.drawLine(QPointF(2.5, 21.5), QPointF(18.5, 21.5));
    p.setPen(outline(pal::orange, 1.3));
    for (int i = 0; i < 3; ++i) {
        QPainterPath steam;
        const qreal x = 7 + i * 3.5;
        steam.moveTo(x, 8);
        steam.cubicTo(x - 1.5, 6.5, x + 1.5, 5, x, 3);
        p.drawPath(steam);
    }
    return img;
}

QImage splash()
{
    const int w = 480, h = 300;
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    begin(p);
    QLinearGradient bg(0, 0, w, h);
    bg.setColorAt(0, QColor(0x1E, 0x3A, 0x6E));
    bg.setColorAt(1, pal::navy);
    p.fillRect(img.rect(), bg);
    // soft light behind the emblem
    QRadialGradient glow(QPointF(110, 130), 170);
    glow.setColorAt(0, QColor(0x4F, 0x9B, 0xFF, 90));
    glow.setColorAt(1, QColor(0x4F, 0x9B, 0xFF, 0));
    p.fillRect(img.rect(), glow);
    // broadcast waves sweeping from the lower right corner
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 7; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, 16 + i * 3), 10));
        const qreal r = 90 + i * 48;
        p.drawEllipse(QPointF(w + 20, h + 30), r, r);
    }
    p.drawImage(QPointF(48, 62), appIcon(112));
    p.setPen(pal::paper);
    p.setFont(wordFont(56, QFont::Bold));
    p.drawText(QRectF(184, 70, 280, 66), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Readhall"));
    p.setPen(pal::sky);
    p.setFont(wordFont(19, QFont::Medium));
    p.drawText(QRectF(188, 136, 280, 28), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("for Vantrel"));
    p.setPen(QColor(255, 255, 255, 200));
    p.setFont(bodyFont(12));
    p.drawText(QRectF(188, 166, 270, 40), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Your channels, stories and alerts, delivered."));
    // accent band and footer
    QLinearGradient band(0, 0, w, 0);
    band.setColorAt(0, pal::gold);
    band.setColorAt(0.5, pal::orange);
    band.setColorAt(1, pal::rose);
    p.fillRect(QRectF(0, h - 46, w, 3), band);
    p.setPen(QColor(255, 255, 255, 170));
    p.setFont(bodyFont(11));
    p.drawText(QRectF(24, h - 40, 300, 32), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version 5.0  \u00b7  Starting up\u2026"));
    p.drawImage(QPointF(w - 24 - 28, h - 38), engineEmblem(28));
    p.setFont(bodyFont(11, true));
    p.drawText(QRectF(w - 200, h - 40, 140, 32), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Vantrel"));
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

QImage brandingLogo()
{
    const int w = 176, h = 52;
    QImage img = canvas(w, h);
    QPainter p(&img);
    begin(p);
    QLinearGradient bg(0, 0, 0, h);
    bg.setColorAt(0, QColor(0x25, 0x36, 0x55));
    bg.setColorAt(1, pal::navy);
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(0, 0, w, h), 8, 8);
    p.drawImage(QPointF(8, 8), appIcon(36));
    p.setPen(pal::paper);
    p.setFont(wordFont(25, QFont::Bold));
    p.drawText(QRectF(52, 4, w - 56, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Readhall"));
    p.setPen(pal::sky);
    p.setFont(bodyFont(10));
    p.drawText(QRectF(53, 31, w - 56, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("for Vantrel"));
    return img;
}

QImage channelItem(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    begin(p);
    const qreal m = size / 24.0;
    tile(p, QRectF(m * 0.5, m * 0.5, size - m, size - m), pal::blueDark, size * 0.2);
    p.scale(size / 24.0, size / 24.0);
    QPainterPath page;
    page.addRoundedRect(QRectF(6, 5, 12, 14), 1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawPath(page);
    p.setBrush(pal::blue);
    p.drawRect(QRectF(8, 7, 8, 2));
    p.setBrush(pal::grey);
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(8, 11 + i * 2.4, i == 2 ? 5 : 8, 1));
    return img;
}

QImage dragCursor(bool canDrop)
{
    QImage img = canvas(32, 32);
    QPainter p(&img);
    begin(p);
    QPainterPath arrow;
    arrow.moveTo(1.5, 1.5);
    arrow.lineTo(1.5, 18);
    arrow.lineTo(5.5, 14.2);
    arrow.lineTo(8.4, 20.5);
    arrow.lineTo(11, 19.3);
    arrow.lineTo(8.2, 13.2);
    arrow.lineTo(13.5, 13.2);
    arrow.closeSubpath();
    shape(p, arrow, pal::paper, pal::black, 1.2);
    if (canDrop) {
        // a story page with a plus: the story can be dropped here
        p.save();
        p.translate(13, 13);
        p.scale(1.05, 1.05);
        glyph::newsPage(p);
        glyph::plusBadge(p, QRectF(8, 8, 8, 8));
        p.restore();
    } else {
        QPainterPath ring;
        ring.addEllipse(QPointF(22, 22), 7, 7);
        p.setBrush(Qt::NoBrush);
        p.setPen(outline(pal::paper, 5));
        p.drawPath(ring);
        p.setPen(outline(pal::red, 2.6));
        p.drawPath(ring);
        p.drawLine(QPointF(17.2, 17.2), QPointF(26.8, 26.8));
    }
    return img;
}

QImage browserButton(int kind, int state)
{
    QImage img = canvas(25, 25);
    QPainter p(&img);
    begin(p);
    if (state > 0) {
        const QColor face = state == 1 ? QColor(0xE4, 0xF0, 0xFF) : QColor(0xC6, 0xDC, 0xF8);
        p.setPen(outline(state == 1 ? pal::sky : pal::blue, 1));
        p.setBrush(face);
        p.drawRoundedRect(QRectF(0.5, 0.5, 24, 24), 4, 4);
    }
    p.translate(state == 2 ? 5.0 : 4.5, state == 2 ? 5.0 : 4.5);
    switch (kind) {
    case 0:
    case 1: {
        QPainterPath a;
        a.moveTo(2, 8);
        a.lineTo(8, 2);
        a.lineTo(8, 5.5);
        a.lineTo(14, 5.5);
        a.lineTo(14, 10.5);
        a.lineTo(8, 10.5);
        a.lineTo(8, 14);
        a.closeSubpath();
        if (kind == 1) {
            QTransform m;
            m.translate(16, 0);
            m.scale(-1, 1);
            a = m.map(a);
        }
        shape(p, a, pal::blue, pal::blueDark);
        break;
    }
    case 2: {
        QPainterPath oct;
        for (int i = 0; i < 8; ++i) {
            const qreal ang = qDegreesToRadians(22.5 + i * 45.0);
            const QPointF pt(8 + 6.8 * qCos(ang), 8 + 6.8 * qSin(ang));
            if (i == 0)
                oct.moveTo(pt);
            else
                oct.lineTo(pt);
        }
        oct.closeSubpath();
        shape(p, oct, pal::red, pal::darkRed);
        p.setPen(outline(pal::paper, 1.8));
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
        break;
    }
    case 3:
        glyph::refresh(p);
        break;
    default: {
        QPainterPath sheetIn;
        sheetIn.addRect(QRectF(4.5, 1.5, 7, 5));
        shape(p, sheetIn, pal::paper, pal::ink);
        QPainterPath body;
        body.addRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
        shape(p, body, pal::greyDark, pal::ink);
        QPainterPath sheetOut;
        sheetOut.addRect(QRectF(4.5, 9.5, 7, 5));
        shape(p, sheetOut, pal::paper, pal::ink);
        p.setPen(outline(pal::grey, 0.8));
        p.drawLine(QPointF(6, 11.5), QPointF(10, 11.5));
        p.drawLine(QPointF(6, 13), QPointF(9, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(pal::green);
        p.drawEllipse(QPointF(12.3, 7.6), 0.8, 0.8);
        break;
    }
    }
    return img;
}

QImage busyAnimation(int frames, int frameSize)
{
    QImage img = canvas(frames * frameSize, frameSize);
    QPainter p(&img);
    begin(p);
    const int dots = 8;
    for (int f = 0; f < frames; ++f) {
        const QPointF c(f * frameSize + frameSize / 2.0, frameSize / 2.0);
        const qreal r = frameSize * 0.34;
        for (int d = 0; d < dots; ++d) {
            // the leading dot is the brightest; the trail fades behind it
            const qreal phase = qreal(f) / frames * dots;
            qreal age = phase - d;
            while (age < 0)
                age += dots;
            const int alpha = qBound(40, int(255 - age * 30), 255);
            const qreal ang = qDegreesToRadians(-90.0 + d * 360.0 / dots);
            QColor c2 = pal::blue;
            c2.setAlpha(alpha);
            p.setPen(Qt::NoPen);
            p.setBrush(c2);
            p.drawEllipse(QPointF(c.x() + r * qCos(ang), c.y() + r * qSin(ang)), frameSize * 0.08,
                          frameSize * 0.08);
        }
    }
    return img;
}

QImage securePicture()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    begin(p);
    glyph::padlock(p, QRectF(2, 1, 12, 14), true, false);
    return img;
}

QImage plainPicture()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    begin(p);
    p.setOpacity(0.55);
    glyph::padlock(p, QRectF(2, 1, 12, 14), false, true);
    return img;
}

QImage channelLogo(const QString& initials, const QColor& colour, int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    begin(p);
    tile(p, QRectF(1, 1, size - 2, size - 2), colour, size * 0.2);
    p.setPen(pal::paper);
    QFont f = wordFont(size * (initials.size() > 2 ? 0.34 : 0.44), QFont::Bold);
    p.setFont(f);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, initials);
    return img;
}

QImage headerTile(int size)
{
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(QColor(0xEE, 0xF4, 0xFF));
    QPainter p(&img);
    begin(p);
    // soft arcs that continue from one tile to the next
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xDC, 0xE8, 0xFB), size / 16.0));
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            p.drawEllipse(QPointF(dx * size, dy * size + size), size * 0.55, size * 0.55);
    return img;
}

QImage demoPhoto(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    begin(p);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(0x7F, 0xB8, 0xF0));
    sky.setColorAt(1, QColor(0xF6, 0xD5, 0xA8));
    p.fillRect(img.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xE0, 0x8A));
    p.drawEllipse(QPointF(w * 0.72, h * 0.38), h * 0.12, h * 0.12);
    QPainterPath far;
    far.moveTo(0, h * 0.7);
    far.cubicTo(w * 0.25, h * 0.45, w * 0.45, h * 0.62, w * 0.6, h * 0.55);
    far.cubicTo(w * 0.8, h * 0.48, w * 0.9, h * 0.6, w, h * 0.58);
    far.lineTo(w, h);
    far.lineTo(0, h);
    far.closeSubpath();
    p.setBrush(QColor(0x5C, 0x8A, 0x6B));
    p.drawPath(far);
    QPainterPath nearHill;
    nearHill.moveTo(0, h * 0.85);
    nearHill.cubicTo(w * 0.3, h * 0.7, w * 0.6, h * 0.9, w, h * 0.78);
    nearHill.lineTo(w, h);
    nearHill.lineTo(0, h);
    nearHill.closeSubpath();
    p.setBrush(QColor(0x35, 0x6B, 0x4A));
    p.drawPath(nearHill);
    return img;
}

} // namespace art::picture
