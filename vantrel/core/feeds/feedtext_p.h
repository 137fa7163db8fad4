#pragma once
// Helpers of the feeds library that its own sources and the summary pop-up share.

#include "vantrel/core/feeds/feeds.h"

namespace vantrel::feeds
{

// The text of one HTML entity given without "&" and ";" ("amp", "#38", "#x26"); false when
// it is not one.
bool resolveHtmlEntity(const QString& name, QString& text);

// When html[start] opens a tag or comment, the index just past its end (the text's end for an
// unterminated one); -1 when the "<" there is plain text.
int htmlTagEnd(const QString& html, int start);

// The lower-case name of the tag html[start, end) ("b", "/b", "!--" gives ""), with a leading
// "/" for a closing tag.
QString htmlTagName(const QString& html, int start, int end);

} // namespace vantrel::feeds
