#pragma once
// Helpers of the feeds library that its own sources and the summary pop-up share.

#include "vantrel/core/feeds/feeds.h"

#include <QStringView>

namespace vantrel::feeds
{

// One named character reference of HTML: its name without "&" and ";", the one or two code
// points it stands for (second 0 when one), and whether HTML also accepts it without the ";".
struct HtmlEntity {
    const char* name;
    char32_t first;
    char32_t second;
    bool legacy;
};
extern const HtmlEntity kHtmlEntities[];
extern const int kHtmlEntityCount;

// The entity of that name (case matters: "Aacute" and "aacute" differ); nullptr when none.
const HtmlEntity* findHtmlEntity(QStringView name);

// The text of one HTML entity given without "&" and ";" ("amp", "#38", "#x26"); false when
// it is not one.
bool resolveHtmlEntity(const QString& name, QString& text);

// When html[start] opens a tag or comment, the index just past its end (the text's end for an
// unterminated one); -1 when the "<" there is plain text. A quoted attribute value that never
// closes ends the tag at the first ">" after its quote, so that a stray quote does not swallow
// the rest of the text.
int htmlTagEnd(const QString& html, int start);

// The lower-case name of the tag html[start, end) ("b", "/b", "!--" gives ""), with a leading
// "/" for a closing tag.
QString htmlTagName(const QString& html, int start, int end);

// A link of a feed or catalogue made absolute against base. Only the schemes a reader follows
// are kept: http and https, and file when allowFiles (the document is a local file itself);
// "feed:" addresses become the http or https addresses they wrap. "" for blank text, for an
// invalid address and for any other scheme (javascript:, data:, ...). A relative reference
// stays relative when base is empty.
QString resolveUrl(const QUrl& base, const QString& reference, bool allowFiles);

// HTML with the relative addresses of its href and src attributes made absolute against base
// (what the page showing a story's summary could not know); other addresses are left alone.
QString resolveHtmlLinks(const QString& html, const QUrl& base, bool allowFiles);

// A category path with each level's white space simplified and empty levels dropped
// ("/Boston//Weather " gives "Boston/Weather").
QString categoryPath(const QString& text);

// Whether an HTML fragment shows any text: something besides tags, comments and white space
// (an entity counts). Cheaper than plainTextFromHtml for that question.
bool hasVisibleText(const QString& html);

// Text as a feed's text fields hold it: C1 control characters, which in feeds always stand for
// the Windows-1252 characters of the same number (&#146; for a quote), become those
// characters; other control characters but tab and line breaks become spaces.
QString cleanFeedText(QString text);

} // namespace vantrel::feeds
