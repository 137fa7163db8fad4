#include "src/platform/atoms.h"

#include "src/platform/internal/testreset.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace
{

constexpr int kMaxAtomLength = 255;
constexpr UINT kFirstAtom = 0xC000;
constexpr UINT kLastAtom = 0xFFFF;

struct Entry {
    QString text;
    int references = 0;
};

struct AtomTable {
    QMutex mutex;
    QHash<QString, ATOM> byText; // by case-folded text
    QHash<ATOM, Entry> entries;
    UINT next = kFirstAtom; // where the search for a free atom starts
};

AtomTable& atoms()
{
    // Never destroyed: windows and objects of static lifetime may use it during exit.
    static AtomTable* t = new AtomTable;
    return *t;
}

} // namespace

ATOM GlobalAddAtom(const QString& text)
{
    if (text.isEmpty() || text.size() > kMaxAtomLength)
        return 0;
    AtomTable& t = atoms();
    const QString key = text.toCaseFolded();
    QMutexLocker lock(&t.mutex);
    const ATOM existing = t.byText.value(key, 0);
    if (existing != 0) {
        ++t.entries[existing].references;
        return existing;
    }
    const UINT size = kLastAtom - kFirstAtom + 1;
    if (UINT(t.entries.size()) >= size)
        return 0;
    // The next free number, going round the range, so that a deleted atom's number is not
    // handed out again at once.
    UINT candidate = t.next;
    while (t.entries.contains(ATOM(candidate)))
        candidate = candidate == kLastAtom ? kFirstAtom : candidate + 1;
    t.next = candidate == kLastAtom ? kFirstAtom : candidate + 1;
    const ATOM atom = ATOM(candidate);
    t.entries.insert(atom, Entry{text, 1});
    t.byText.insert(key, atom);
    return atom;
}

ATOM GlobalFindAtom(const QString& text)
{
    AtomTable& t = atoms();
    QMutexLocker lock(&t.mutex);
    return t.byText.value(text.toCaseFolded(), 0);
}

UINT GlobalGetAtomName(ATOM atom, QString& out, int maxChars)
{
    out.clear();
    if (maxChars < 2)
        return 0;
    AtomTable& t = atoms();
    QMutexLocker lock(&t.mutex);
    const auto it = t.entries.constFind(atom);
    if (it == t.entries.constEnd())
        return 0;
    out = it->text.left(maxChars - 1);
    return UINT(out.size());
}

ATOM GlobalDeleteAtom(ATOM atom)
{
    AtomTable& t = atoms();
    QMutexLocker lock(&t.mutex);
    const auto it = t.entries.find(atom);
    if (it == t.entries.end())
        return atom;
    if (--it->references <= 0) {
        t.byText.remove(it->text.toCaseFolded());
        t.entries.erase(it);
    }
    return 0;
}

namespace platform
{

int globalAtomCount()
{
    AtomTable& t = atoms();
    QMutexLocker lock(&t.mutex);
    return int(t.entries.size());
}

int globalAtomReferences(ATOM atom)
{
    AtomTable& t = atoms();
    QMutexLocker lock(&t.mutex);
    return t.entries.value(atom).references;
}

void resetGlobalAtoms()
{
    AtomTable& t = atoms();
    QMutexLocker lock(&t.mutex);
    t.byText.clear();
    t.entries.clear();
    t.next = kFirstAtom;
}

namespace
{
const detail::PerTestReset registerReset(&resetGlobalAtoms);
}

} // namespace platform
