#pragma once
// The global atom table: a process-wide table of texts with reference counts, used to pass a
// text as a 16-bit message parameter. Texts match without regard to case; atoms lie in
// 0xC000..0xFFFF. All functions are thread-safe.

#include "src/platform/wintypes.h"

#include <QString>

// Adds the text (at most 255 characters) or, when it is already there, counts one more
// reference to it. Returns the atom, 0 for an empty or too long text or a full table.
ATOM GlobalAddAtom(const QString& text);
// The atom of a text, without counting a reference; 0 when absent.
ATOM GlobalFindAtom(const QString& text);
// Copies the atom's text, cut to maxChars - 1 characters as into a buffer of maxChars
// characters with its terminator. Returns the number of characters copied; 0 (and an empty
// out text) for an unknown atom or maxChars < 2.
UINT GlobalGetAtomName(ATOM atom, QString& out, int maxChars);
// Drops one reference; the atom goes when none is left. As on the desktop, returns 0 on
// success and the atom itself when it was not in the table.
ATOM GlobalDeleteAtom(ATOM atom);

namespace platform
{
// The number of atoms in the table and the reference count of one (0 when absent): tests.
int globalAtomCount();
int globalAtomReferences(ATOM atom);
// Empties the table (between tests).
void resetGlobalAtoms();
} // namespace platform
