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

// A link of a feed or catalogue made absolute against base (left as it stands when base is
// empty or it is absolute already, trimmed when it is not a valid address); "" for blank text.
QString resolveUrl(const QUrl& base, const QString& reference);

// A category path with each level's white space simplified and empty levels dropped
// ("/Boston//Weather " gives "Boston/Weather").
QString categoryPath(const QString& text);

} // namespace vantrel::feeds
