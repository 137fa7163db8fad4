#pragma once
// Pictures and strings of the program's resources.
// Bitmap resources live in Qt resources as ":/bitmaps/<id>.png"; the string table is
// ":/strings/strings.tsv", one string a line: the decimal id, a TAB, the text, in which "\n",
// "\t" and "\\" stand for a line break, a tab and a backslash.

#include "src/platform/wintypes.h"

#include <QByteArray>
#include <QPixmap>
#include <QSize>
#include <QString>

// The bitmap resource with the id; a null pixmap when there is none.
QPixmap LoadBitmapResource(UINT id);
// A picture file (.bmp or any format Qt reads); a null pixmap when it cannot be read.
QPixmap LoadPictureFile(const QString& path);
// The size of a picture; an empty size for a null one.
QSize GetBitmapSize(const QPixmap& picture);
// The string with the id; an empty text for an unknown id.
QString LoadString(UINT id);
// The string with the id, or the fallback when the table has none, so that a program whose
// string table is missing still shows words.
QString LoadStringOr(UINT id, const char* fallback);

namespace platform
{
// Replaces the string table with one read from text in the table's format (tests, tools).
// Returns the number of strings read; lines that are not "<id>\t<text>" are skipped with a
// warning.
int loadStringTable(const QByteArray& data);
int loadStringTableFile(const QString& path);
// Goes back to the table of the program's resources (read at the next LoadString).
void resetStringTable();
} // namespace platform
