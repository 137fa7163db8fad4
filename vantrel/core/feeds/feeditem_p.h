#pragma once
// Steps that every feed format shares when it turns what it read into stories.

#include "vantrel/core/feeds/feeds.h"

namespace vantrel::feeds
{

// Adds a category path (entities decoded, levels trimmed) unless empty or already there.
void addCategory(QStringList& categories, const QString& text);

// Sets field to value when field is still empty.
inline void fillIn(QString& field, const QString& value)
{
    if (field.isEmpty())
        field = value;
}

// The name of a person as feeds write it: "jane@example.org (Jane Doe)" gives "Jane Doe",
// "Jane Doe <jane@example.org>" gives "Jane Doe"; plain text, white space collapsed.
QString personName(const QString& text);

// A duration as podcasts give it: "3600", "59:30", "1:02:03" (fractions of seconds dropped);
// 0 when the text is none.
int parseDuration(const QString& text);

// Gives the story its headline (from the summary when it has no title) and its identity
// (guid, else the link, else a hash of headline and date).
void finishItem(Item& item, const QString& guid);

// The headline made from a summary, for stories without a title: at most 80 characters, cut
// at a word with "..." when longer.
QString headlineFromSummary(const QString& summaryHtml);

} // namespace vantrel::feeds

namespace vantrel::feeds
{

// JSON Feed 1.0 and 1.1 (jsonfeed.cpp).
ParseResult parseJsonFeed(const QByteArray& data, const ParseOptions& options);

// Whether a document that starts with "{" (after white space and a byte-order mark) is JSON.
bool looksLikeJson(const QByteArray& data);

} // namespace vantrel::feeds
