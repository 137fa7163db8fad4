#include "icons.h"

#include "paint.h"

#include <QtMath>

namespace art::glyph
{

using namespace art;

namespace
{

// A page with a folded top-right corner inside (l, t, r, b).
QPainterPath pagePath(qreal l, qreal t, qreal r, qreal b, qreal fold)
{
    QPainterPath path;
    path.moveTo(l, t);
    path.lineTo(r - fold, t);
    path.lineTo(r, t + fold);
    path.lineTo(r, b);
    path.lineTo(l, b);
    path.closeSubpath();
    return path;
}

void foldMark(QPainter& p, qreal r, qreal t, qreal fold)
{
    QPainterPath f;
    f.moveTo(r - fold, t);
    f.lineTo(r - fold, t + fold);
    f.lineTo(r, t + fold);
    shape(p, f, pal::paperShade, pal::ink);
}

void line(QPainter& p, qreal x1, qreal y1, qreal x2, qreal y2, const QColor& c, qreal w)
{
    p.save();
    p.setPen(outline(c, w));
    p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    p.restore();
}

} // namespace

void newsPage(QPainter& p)
{
    shape(p, pagePath(2.5, 1.5, 12.5, 14.5, 3), pal::paper, pal::ink);
    foldMark(p, 12.5, 1.5, 3);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::blue);
    p.drawRect(QRectF(4, 3.5, 5, 2)); // headline
    p.setBrush(pal::sky);
    p.drawRect(QRectF(4, 7, 3, 3)); // photo
    p.restore();
    line(p, 8, 7.5, 11, 7.5, pal::grey, 1);
    line(p, 8, 9.5, 11, 9.5, pal::grey, 1);
    line(p, 4, 11.5, 11, 11.5, pal::grey, 1);
    line(p, 4, 13, 9, 13, pal::grey, 1);
}

void filmStrip(QPainter& p)
{
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 1.5, 11, 13), 1, 1);
    shape(p, body, pal::navy, pal::ink);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    for (int i = 0; i < 5; ++i) {
        p.drawRect(QRectF(3.5, 2.5 + i * 2.6, 1.2, 1.3));
        p.drawRect(QRectF(11.3, 2.5 + i * 2.6, 1.2, 1.3));
    }
    p.setBrush(pal::sky);
    p.drawRect(QRectF(5.5, 2.5, 5, 5));
    p.setBrush(pal::orange);
    p.drawRect(QRectF(5.5, 8.5, 5, 5));
    p.restore();
}

void pictureSheet(QPainter& p)
{
    QPainterPath frame;
    frame.addRect(QRectF(1.5, 2.5, 13, 11));
    shape(p, frame, pal::paper, pal::ink);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xDD, 0xEE, 0xFF));
    p.drawRect(QRectF(3, 4, 10, 8));
    p.setBrush(pal::gold);
    p.drawEllipse(QPointF(10.5, 6), 1.5, 1.5);
    QPainterPath hills;
    hills.moveTo(3, 12);
    hills.lineTo(6.5, 7);
    hills.lineTo(9, 10);
    hills.lineTo(10.5, 8.5);
    hills.lineTo(13, 12);
    hills.closeSubpath();
    p.setBrush(pal::green);
    p.drawPath(hills);
    p.restore();
}

void loudspeaker(QPainter& p)
{
    QPainterPath cone;
    cone.moveTo(1.5, 5.5);
    cone.lineTo(4.5, 5.5);
    cone.lineTo(8.5, 2);
    cone.lineTo(8.5, 14);
    cone.lineTo(4.5, 10.5);
    cone.lineTo(1.5, 10.5);
    cone.closeSubpath();
    shape(p, cone, pal::greyDark, pal::ink);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::blue, 1.3));
    p.drawArc(QRectF(6.5, 5, 6, 6), -50 * 16, 100 * 16);
    p.drawArc(QRectF(5, 2.5, 10, 11), -50 * 16, 100 * 16);
    p.restore();
}

void diskette(QPainter& p)
{
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    shape(p, body, pal::blueDark, pal::ink);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paperShade);
    p.drawRect(QRectF(4, 2, 7, 4.5));
    p.setBrush(pal::blueDark);
    p.drawRect(QRectF(8.5, 2.7, 1.5, 3));
    p.setBrush(pal::paper);
    p.drawRect(QRectF(3.5, 8.5, 9, 5.5));
    p.restore();
    line(p, 5, 10.5, 11, 10.5, pal::grey, 0.8);
    line(p, 5, 12.3, 11, 12.3, pal::grey, 0.8);
}

void folder(QPainter& p, bool open)
{
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(14.5, 5);
    back.lineTo(14.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    shape(p, back, open ? pal::folderDark : pal::folder, pal::folderDark);
    if (open) {
        QPainterPath sheet;
        sheet.addRect(QRectF(3.5, 6, 9, 5));
        shape(p, sheet, pal::paper, pal::grey, 0.8);
        QPainterPath flap;
        flap.moveTo(3.5, 7.5);
        flap.lineTo(15.5, 7.5);
        flap.lineTo(13.5, 13.5);
        flap.lineTo(1.5, 13.5);
        flap.closeSubpath();
        shape(p, flap, pal::folder, pal::folderDark);
    } else {
        line(p, 2, 6.5, 14, 6.5, pal::gold.lighter(115), 1);
    }
}

void broadcast(QPainter& p, const QRectF& b)
{
    // an antenna mast sending waves to both sides
    const qreal s = b.width() / 16.0;
    p.save();
    p.translate(b.topLeft());
    p.scale(s, s);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal::paper, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath mast;
    mast.moveTo(5.2, 14);
    mast.lineTo(8, 7);
    mast.lineTo(10.8, 14);
    p.drawPath(mast);
    p.drawLine(QPointF(6.4, 11.3), QPointF(9.6, 11.3));
    p.setPen(QPen(pal::paper, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(8 - 3.6, 6.5 - 3.6, 7.2, 7.2), 125 * 16, 110 * 16);
    p.drawArc(QRectF(8 - 3.6, 6.5 - 3.6, 7.2, 7.2), -55 * 16, 110 * 16);
    p.drawArc(QRectF(8 - 6.2, 6.5 - 6.2, 12.4, 12.4), 130 * 16, 100 * 16);
    p.drawArc(QRectF(8 - 6.2, 6.5 - 6.2, 12.4, 12.4), -50 * 16, 100 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawEllipse(QPointF(8, 6.5), 1.6, 1.6);
    p.restore();
}

void channel(QPainter& p, bool enabled)
{
    QPainterPath t;
    t.addRoundedRect(QRectF(1.5, 1.5, 13, 13), 3, 3);
    if (enabled)
        shape(p, t, pal::blue, pal::blueDark);
    else
        shape(p, t, pal::grey, pal::greyDark);
    // a point sending waves to both sides: "(( . ))"
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawEllipse(QPointF(8, 8), 1.7, 1.7);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal::paper, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(8 - 3.6, 8 - 3.6, 7.2, 7.2), 130 * 16, 100 * 16);
    p.drawArc(QRectF(8 - 3.6, 8 - 3.6, 7.2, 7.2), -50 * 16, 100 * 16);
    p.drawArc(QRectF(8 - 5.6, 8 - 5.6, 11.2, 11.2), 135 * 16, 90 * 16);
    p.drawArc(QRectF(8 - 5.6, 8 - 5.6, 11.2, 11.2), -45 * 16, 90 * 16);
    p.restore();
}

void gem(QPainter& p)
{
    QPainterPath g;
    g.moveTo(4, 3.5);
    g.lineTo(12, 3.5);
    g.lineTo(14.5, 6.5);
    g.lineTo(8, 14);
    g.lineTo(1.5, 6.5);
    g.closeSubpath();
    shape(p, g, pal::blue, pal::blueDark);
    QPainterPath top;
    top.moveTo(4, 3.5);
    top.lineTo(12, 3.5);
    top.lineTo(14.5, 6.5);
    top.lineTo(1.5, 6.5);
    top.closeSubpath();
    shape(p, top, pal::sky, pal::blueDark);
    line(p, 6, 6.5, 8, 13, pal::sky, 0.8);
    line(p, 10, 6.5, 8, 13, pal::blueDark, 0.8);
}

void dot(QPainter& p)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::greyDark);
    p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
    p.restore();
}

void blackCross(QPainter& p)
{
    line(p, 4, 4, 12, 12, pal::black, 2.2);
    line(p, 12, 4, 4, 12, pal::black, 2.2);
}

void redFlag(QPainter& p)
{
    line(p, 4, 2, 4, 14.5, pal::greyDark, 1.4);
    QPainterPath f;
    f.moveTo(4.5, 2.5);
    f.cubicTo(7, 1.5, 9, 4, 13.5, 2.8);
    f.lineTo(13.5, 9);
    f.cubicTo(9, 10.2, 7, 7.8, 4.5, 8.8);
    f.closeSubpath();
    shape(p, f, pal::red, pal::darkRed);
}

void plusBadge(QPainter& p, const QRectF& b)
{
    const QPointF c = b.center();
    const qreal r = b.width() / 2 - 0.5;
    QPainterPath circle;
    circle.addEllipse(c, r, r);
    halo(p, circle, 0.7);
    shape(p, circle, pal::green, pal::greenDark, 0.8);
    line(p, c.x() - r * 0.55, c.y(), c.x() + r * 0.55, c.y(), pal::paper, 1.3);
    line(p, c.x(), c.y() - r * 0.55, c.x(), c.y() + r * 0.55, pal::paper, 1.3);
}

void downArrowBadge(QPainter& p, const QRectF& b)
{
    const qreal w = b.width(), h = b.height();
    QPainterPath a;
    a.moveTo(b.left() + w * 0.3, b.top());
    a.lineTo(b.left() + w * 0.7, b.top());
    a.lineTo(b.left() + w * 0.7, b.top() + h * 0.45);
    a.lineTo(b.right(), b.top() + h * 0.45);
    a.lineTo(b.left() + w * 0.5, b.bottom());
    a.lineTo(b.left(), b.top() + h * 0.45);
    a.lineTo(b.left() + w * 0.3, b.top() + h * 0.45);
    a.closeSubpath();
    halo(p, a, 0.7);
    shape(p, a, pal::blue, pal::blueDark, 0.8);
}

void redCross(QPainter& p, const QRectF& b)
{
    const qreal in = b.width() * 0.18;
    const QRectF r = b.adjusted(in, in, -in, -in);
    QPainterPath x;
    x.moveTo(r.topLeft());
    x.lineTo(r.bottomRight());
    x.moveTo(r.topRight());
    x.lineTo(r.bottomLeft());
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::paper, b.width() * 0.42));
    p.drawPath(x);
    p.setPen(outline(pal::red, b.width() * 0.24));
    p.drawPath(x);
    p.restore();
}

void funnel(QPainter& p, const QRectF& b)
{
    const qreal w = b.width(), h = b.height();
    QPainterPath f;
    f.moveTo(b.left(), b.top());
    f.lineTo(b.right(), b.top());
    f.lineTo(b.left() + w * 0.62, b.top() + h * 0.5);
    f.lineTo(b.left() + w * 0.62, b.bottom());
    f.lineTo(b.left() + w * 0.38, b.bottom() - h * 0.15);
    f.lineTo(b.left() + w * 0.38, b.top() + h * 0.5);
    f.closeSubpath();
    halo(p, f, 0.7);
    shape(p, f, pal::orange, pal::goldDark, 0.8);
}

void key(QPainter& p, const QRectF& b)
{
    // a key lying on the diagonal: ring at the top left, bit at the bottom right
    const qreal w = b.width();
    auto at = [&](qreal x, qreal y) { return QPointF(b.left() + x * w, b.top() + y * w); };
    QPainterPath blade;
    blade.moveTo(at(0.42, 0.42));
    blade.lineTo(at(0.94, 0.94));
    blade.moveTo(at(0.7, 0.7));
    blade.lineTo(at(0.56, 0.84));
    blade.moveTo(at(0.84, 0.84));
    blade.lineTo(at(0.72, 0.96));
    QPainterPath ring;
    ring.addEllipse(at(0.3, 0.3), w * 0.27, w * 0.27);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::paper, w * 0.42));
    p.drawPath(blade);
    p.setBrush(pal::paper);
    p.drawPath(ring);
    p.setPen(outline(pal::goldDark, w * 0.22));
    p.setBrush(Qt::NoBrush);
    p.drawPath(blade);
    p.setPen(outline(pal::goldDark, w * 0.08));
    p.setBrush(pal::gold);
    p.drawPath(ring);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::goldDark);
    p.drawEllipse(at(0.26, 0.26), w * 0.09, w * 0.09);
    p.restore();
}

void padlock(QPainter& p, const QRectF& b, bool closed, bool muted)
{
    const qreal w = b.width(), h = b.height();
    const QColor body = muted ? pal::grey : pal::gold;
    const QColor edge = muted ? pal::greyDark : pal::goldDark;
    QPainterPath shackle;
    const QRectF arc(b.left() + w * 0.22, b.top(), w * 0.56, h * 0.62);
    shackle.moveTo(arc.left(), b.top() + h * 0.48);
    shackle.arcTo(arc, 180, -180);
    if (closed)
        shackle.lineTo(arc.right(), b.top() + h * 0.48);
    else
        shackle.lineTo(arc.right(), b.top() + h * 0.3);
    if (!closed)
        shackle.translate(w * 0.18, -h * 0.06);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::paper, w * 0.34));
    p.drawPath(shackle);
    p.setPen(outline(edge, w * 0.15));
    p.drawPath(shackle);
    p.restore();
    QPainterPath lock;
    lock.addRoundedRect(QRectF(b.left() + w * 0.08, b.top() + h * 0.45, w * 0.84, h * 0.55),
                        w * 0.1, w * 0.1);
    halo(p, lock, 0.6);
    shape(p, lock, body, edge, 0.8);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(edge);
    p.drawEllipse(QPointF(b.center().x(), b.top() + h * 0.7), w * 0.09, w * 0.09);
    p.restore();
}

void tick(QPainter& p, const QRectF& b, const QColor& c)
{
    QPainterPath t;
    t.moveTo(b.left() + b.width() * 0.1, b.top() + b.height() * 0.55);
    t.lineTo(b.left() + b.width() * 0.4, b.top() + b.height() * 0.85);
    t.lineTo(b.left() + b.width() * 0.92, b.top() + b.height() * 0.15);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::paper, b.width() * 0.38));
    p.drawPath(t);
    p.setPen(outline(c, b.width() * 0.2));
    p.drawPath(t);
    p.restore();
}

void clock(QPainter& p, const QRectF& b)
{
    const QPointF c = b.center();
    const qreal r = b.width() / 2 - 0.5;
    QPainterPath face;
    face.addEllipse(c, r, r);
    shape(p, face, pal::paper, pal::greyDark, 1);
    line(p, c.x(), c.y(), c.x(), c.y() - r * 0.65, pal::ink, 1);
    line(p, c.x(), c.y(), c.x() + r * 0.5, c.y(), pal::ink, 1);
}

void star(QPainter& p, const QRectF& b)
{
    QPainterPath s;
    const QPointF c = b.center();
    const qreal ro = b.width() / 2, ri = ro * 0.45;
    for (int i = 0; i < 10; ++i) {
        const qreal a = qDegreesToRadians(-90.0 + i * 36.0);
        const qreal r = (i % 2) ? ri : ro;
        const QPointF pt(c.x() + r * qCos(a), c.y() + r * qSin(a));
        if (i == 0)
            s.moveTo(pt);
        else
            s.lineTo(pt);
    }
    s.closeSubpath();
    halo(p, s, 0.6);
    shape(p, s, pal::gold, pal::goldDark, 0.7);
}

void refresh(QPainter& p)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::green, 2));
    p.drawArc(QRectF(2.5, 2.5, 11, 10), 30 * 16, 150 * 16);
    p.drawArc(QRectF(2.5, 2.5, 11, 10), 210 * 16, 150 * 16);
    p.restore();
    QPainterPath h1;
    h1.moveTo(15, 5.5);
    h1.lineTo(11, 5.5);
    h1.lineTo(14, 1.5);
    h1.closeSubpath();
    shape(p, h1, pal::green, pal::green, 0.8);
    QPainterPath h2;
    h2.moveTo(1, 9.5);
    h2.lineTo(5, 9.5);
    h2.lineTo(2, 13.5);
    h2.closeSubpath();
    shape(p, h2, pal::green, pal::green, 0.8);
}

void properties(QPainter& p)
{
    QPainterPath card;
    card.addRoundedRect(QRectF(1.5, 1.5, 13, 12), 1.5, 1.5);
    shape(p, card, pal::paper, pal::ink);
    line(p, 4, 4.5, 12, 4.5, pal::grey, 1);
    line(p, 4, 7.5, 12, 7.5, pal::grey, 1);
    line(p, 4, 10.5, 12, 10.5, pal::grey, 1);
    p.save();
    p.setPen(outline(pal::blueDark, 0.8));
    p.setBrush(pal::blue);
    p.drawEllipse(QPointF(9, 4.5), 1.6, 1.6);
    p.drawEllipse(QPointF(6, 7.5), 1.6, 1.6);
    p.drawEllipse(QPointF(10, 10.5), 1.6, 1.6);
    p.restore();
}

void play(QPainter& p)
{
    QPainterPath t;
    t.moveTo(4.5, 2);
    t.lineTo(13.5, 7.5);
    t.lineTo(4.5, 13);
    t.closeSubpath();
    shape(p, t, pal::green, pal::greenDark);
}

void stop(QPainter& p)
{
    QPainterPath s;
    s.addRoundedRect(QRectF(3.5, 3, 9, 9), 1.5, 1.5);
    shape(p, s, pal::red, pal::darkRed);
}

void fullStory(QPainter& p)
{
    shape(p, pagePath(2.5, 0.5, 13.5, 14.5, 3.5), pal::paper, pal::ink);
    foldMark(p, 13.5, 0.5, 3.5);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::blue);
    p.drawRect(QRectF(4, 2.5, 5.5, 2));
    p.restore();
    for (int i = 0; i < 4; ++i)
        line(p, 4, 6.5 + i * 2, 12, 6.5 + i * 2, pal::greyDark, 1);
}

void summary(QPainter& p)
{
    QPainterPath note;
    note.moveTo(1.5, 2.5);
    note.lineTo(14.5, 2.5);
    note.lineTo(14.5, 10.5);
    note.lineTo(7, 10.5);
    note.lineTo(4, 13.5);
    note.lineTo(4, 10.5);
    note.lineTo(1.5, 10.5);
    note.closeSubpath();
    shape(p, note, QColor(0xFF, 0xF1, 0xB8), pal::goldDark);
    line(p, 4, 5, 12, 5, pal::greyDark, 1);
    line(p, 4, 7.5, 10, 7.5, pal::greyDark, 1);
}

void trash(QPainter& p)
{
    QPainterPath lid;
    lid.addRect(QRectF(2.5, 3, 11, 1.5));
    shape(p, lid, pal::greyDark, pal::ink);
    QPainterPath handle;
    handle.addRect(QRectF(6, 1, 4, 2));
    shape(p, handle, Qt::transparent, pal::ink);
    QPainterPath can;
    can.moveTo(3.5, 5);
    can.lineTo(12.5, 5);
    can.lineTo(11.5, 14.5);
    can.lineTo(4.5, 14.5);
    can.closeSubpath();
    shape(p, can, pal::grey, pal::ink);
    line(p, 6.3, 7, 6.6, 12.5, pal::greyDark, 1);
    line(p, 9.7, 7, 9.4, 12.5, pal::greyDark, 1);
}

void download(QPainter& p)
{
    QPainterPath tray;
    tray.moveTo(1.5, 9.5);
    tray.lineTo(1.5, 13.5);
    tray.lineTo(14.5, 13.5);
    tray.lineTo(14.5, 9.5);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::greyDark, 1.6));
    p.drawPath(tray);
    p.restore();
    downArrowBadge(p, QRectF(4, 1, 8, 10.5));
}

void unreadOnly(QPainter& p)
{
    QPainterPath env;
    env.addRect(QRectF(1.5, 3.5, 12, 9));
    shape(p, env, pal::paper, pal::ink);
    QPainterPath flap;
    flap.moveTo(1.5, 3.5);
    flap.lineTo(7.5, 8.5);
    flap.lineTo(13.5, 3.5);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::ink, 1));
    p.drawPath(flap);
    p.restore();
    QPainterPath badge;
    badge.addEllipse(QPointF(12.5, 3.5), 3, 3);
    halo(p, badge, 0.6);
    shape(p, badge, pal::blue, pal::blueDark, 0.8);
}

void markAllRead(QPainter& p)
{
    QPainterPath env;
    env.moveTo(1.5, 6.5);
    env.lineTo(7.5, 2);
    env.lineTo(13.5, 6.5);
    env.lineTo(13.5, 13.5);
    env.lineTo(1.5, 13.5);
    env.closeSubpath();
    shape(p, env, pal::paperShade, pal::ink);
    QPainterPath letter;
    letter.addRect(QRectF(3.5, 4.5, 8, 6));
    shape(p, letter, pal::paper, pal::grey, 0.8);
    tick(p, QRectF(6, 5, 10, 9), pal::green);
}

void expandBrowser(QPainter& p)
{
    QPainterPath win;
    win.addRoundedRect(QRectF(1.5, 1.5, 13, 12), 1.5, 1.5);
    shape(p, win, pal::paper, pal::ink);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(pal::blue);
    p.drawRect(QRectF(2, 2, 12, 2.5));
    p.restore();
    // a diagonal arrow pointing to both corners
    line(p, 5, 11, 11, 6, pal::blueDark, 1.3);
    QPainterPath a1;
    a1.moveTo(12, 5);
    a1.lineTo(12, 8.5);
    a1.lineTo(8.5, 5);
    a1.closeSubpath();
    shape(p, a1, pal::blueDark, pal::blueDark, 0.6);
    QPainterPath a2;
    a2.moveTo(4, 12);
    a2.lineTo(4, 8.5);
    a2.lineTo(7.5, 12);
    a2.closeSubpath();
    shape(p, a2, pal::blueDark, pal::blueDark, 0.6);
}

void statusBars(QPainter& p)
{
    const QColor colors[] = {pal::teal, pal::blue, pal::orange, pal::green};
    const qreal heights[] = {5, 9, 6.5, 11};
    p.save();
    for (int i = 0; i < 4; ++i) {
        p.setPen(outline(colors[i].darker(130), 0.8));
        p.setBrush(colors[i]);
        p.drawRect(QRectF(2.5 + i * 3, 13.5 - heights[i], 2, heights[i]));
    }
    p.restore();
    line(p, 1, 14, 15, 14, pal::ink, 1);
}

void help(QPainter& p)
{
    QPainterPath c;
    c.addEllipse(QPointF(8, 7.5), 6.5, 6.5);
    shape(p, c, pal::blue, pal::blueDark);
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(outline(pal::paper, 1.8));
    QPainterPath q;
    q.moveTo(5.7, 5.6);
    q.cubicTo(5.7, 2.9, 10.4, 2.9, 10.4, 5.4);
    q.cubicTo(10.4, 7.1, 8, 7.1, 8, 9);
    p.drawPath(q);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    p.drawEllipse(QPointF(8, 11.3), 1.1, 1.1);
    p.restore();
}

} // namespace art::glyph
