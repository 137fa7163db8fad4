#pragma once
// The parts of the summary pop-up that are pure functions: the HTML cleaner and the placement
// rule. Kept apart so that they can be checked without a window.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace popsum
{

// Longest summary text (visible characters) and headline the pop-up shows; longer ones are
// cut at a word boundary with "..." appended.
constexpr int kMaxSummaryChars = 2000;
constexpr int kMaxHeadlineChars = 300;
// Gap between the pop-up and the rectangle it keeps clear of.
constexpr int kExcludeGap = 2;

// Rebuilds a story summary as HTML that is safe to render: only basic formatting survives
// (bold, italics, paragraphs, line breaks, lists, quotes, pre); links only to http:, https:,
// ftp: and mailto: addresses; no images, scripts, styles, frames, forms or attributes.
// Addresses written as plain text become links. A summary without any tag keeps its line
// breaks. Text beyond maxChars visible characters is cut with "...".
QString sanitizeSummaryHtml(const QString& html, int maxChars = kMaxSummaryChars);

// Cuts plain text to at most maxChars characters, at a word boundary when one is near, with
// "..." appended when anything was cut.
QString elideText(const QString& text, int maxChars);

// Top-left corner for a pop-up of the size that wants to open at point: inside the screen
// rectangle, and clear of exclude: below it when there is room, else above, else beside it;
// when nothing fits, the side with more room (overlapping as little as the screen allows).
QPoint placePopup(const QSize& size, const QPoint& point, const QRect& exclude,
                  const QRect& screen);

} // namespace popsum
