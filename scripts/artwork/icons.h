#pragma once
// Small glyphs, each drawn into a 16 by 16 unit box at the painter's current transform, so
// that the same drawing serves a 16-pixel cell and, scaled, a larger picture.

#include <QPainter>
#include <QRectF>

namespace art::glyph
{

// Content kinds.
void newsPage(QPainter& p);
void filmStrip(QPainter& p);
void pictureSheet(QPainter& p);
void loudspeaker(QPainter& p);
void diskette(QPainter& p);

// Folder tree pieces.
void folder(QPainter& p, bool open);
void channel(QPainter& p, bool enabled = true);
void gem(QPainter& p);
void dot(QPainter& p);
void blackCross(QPainter& p);
void redFlag(QPainter& p);

// Badges drawn into a box (with a white halo so that they stand out over another glyph).
void plusBadge(QPainter& p, const QRectF& box);
void downArrowBadge(QPainter& p, const QRectF& box);
void redCross(QPainter& p, const QRectF& box);
void funnel(QPainter& p, const QRectF& box);
void key(QPainter& p, const QRectF& box);
void padlock(QPainter& p, const QRectF& box, bool closed = true, bool muted = false);
void tick(QPainter& p, const QRectF& box, const QColor& c);
void clock(QPainter& p, const QRectF& box);
void star(QPainter& p, const QRectF& box);

// Toolbar glyphs.
void refresh(QPainter& p);
void properties(QPainter& p);
void broadcast(QPainter& p, const QRectF& box);
void play(QPainter& p);
void stop(QPainter& p);
void fullStory(QPainter& p);
void summary(QPainter& p);
void trash(QPainter& p);
void download(QPainter& p);
void unreadOnly(QPainter& p);
void markAllRead(QPainter& p);
void expandBrowser(QPainter& p);
void statusBars(QPainter& p);
void help(QPainter& p);

} // namespace art::glyph
