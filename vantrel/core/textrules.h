#pragma once
// Text rules of the engine: how feed categories become story categories and sub-channel
// paths, and how alert and filter words match a story.

#include <QString>
#include <QStringList>

namespace vantrel
{

// A feed category ("a/b", levels separated by "/") as the story's "Category" attribute:
// surrounding blanks and empty levels are dropped.
QString storyCategoryFromFeed(const QString& feedCategory);

// A story "Category" ("//" for a slash inside a level) as a sub-channel path ("&slash;").
QString subChannelPathFromStoryCategory(const QString& category);

// The paths of a category text ("Sport;News/Local"): cut at every ";" except the one that ends
// a "&slash;" (any case), which belongs to the level name it is written in. Empty pieces are
// kept, so that the position of a path in the text is its index.
QStringList splitCategoryPaths(const QString& categories);

// A level of a category path as its name is shown: "&slash;" (any case) turned back into "/".
QString categoryLevelName(const QString& level);

// The paths of a category text as a person may type them, tidied: levels trimmed, empty
// levels and paths dropped, each path once ("News / Local;;news/Local" gives "News/Local").
QStringList tidyCategoryPaths(const QString& categories);
QString tidyCategories(const QString& categories);

// Words of a rule written as one text: split at blanks, commas and semicolons.
QStringList splitWords(const QString& text);

// True when one of the words occurs in the text as a whole word, without regard to case.
// Markup is removed from the text first, so tag and attribute names never match.
bool matchesAnyWord(const QString& text, const QStringList& words);

// True when the phrase occurs in the plain text: as a whole word (not touching letters or
// digits on either side) or anywhere, with or without regard to case.
bool containsPhrase(const QString& plain, const QString& phrase, bool wholeWord,
                    Qt::CaseSensitivity cs);

// Plain text of a summary that may hold HTML.
QString plainText(const QString& maybeHtml);

// A text value of an OPML attribute read as a switch ("1", "true", "yes", "on").
bool isTrueText(const QString& text);

} // namespace vantrel
