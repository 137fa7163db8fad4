#pragma once
// The text form of categories and sub-channels. A path is a sequence of levels separated by
// "/"; a level whose name itself contains "/" writes "&slash;" in its place. A directory
// entry's category text may hold several paths separated by ";".

#include <QString>
#include <QStringList>

// Replaces every occurrence of `from` (matched without regard to case) by `to`.
QString ReplaceNoCase(const QString& text, const QString& from, const QString& to);

// Cuts the text at every occurrence of the delimiter and keeps empty pieces: an empty text
// gives one empty piece, "a;;b" gives "a", "", "b".
QStringList SplitText(const QString& text, const QString& delimiter);

// The paths of a category text: cut at every ";" except the one that ends a "&slash;" (any
// case), which belongs to the name it is written in. Empty pieces are kept.
QStringList SplitCategoryPaths(const QString& text);

// The levels of a path with empty levels left out ("News//Local" gives News, Local).
QStringList SplitPathLevels(const QString& path);

// A name in path form: every "/" written as "&slash;".
QString ToPathForm(const QString& name);
// A level of a path turned back into its name: "&slash;" (any case) becomes "/".
QString FromPathForm(const QString& level);

// "&" doubled, so that a menu shows the text as it is instead of taking an access key.
QString EscapeMenuText(const QString& text);
