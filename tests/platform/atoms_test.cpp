// The global atom table.

#include "src/platform/atoms.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using platform::globalAtomCount;
using platform::globalAtomReferences;

TEST(GlobalAtoms, AddingATextAgainCountsAReferenceWithoutRegardToCase)
{
    const ATOM atom = GlobalAddAtom("Status text");
    EXPECT_GE(atom, 0xC000);
    EXPECT_EQ(GlobalAddAtom("STATUS TEXT"), atom);
    EXPECT_EQ(globalAtomReferences(atom), 2);
    EXPECT_EQ(GlobalFindAtom("status text"), atom);
    EXPECT_EQ(globalAtomReferences(atom), 2); // finding does not count
    QString name;
    EXPECT_EQ(GlobalGetAtomName(atom, name, 256), 11u);
    EXPECT_EQ(name, "Status text"); // the case of the first addition

    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtom("Status text"), atom);
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalFindAtom("Status text"), 0);
    EXPECT_EQ(globalAtomCount(), 0);
    // Deleting an atom that is not there fails by returning it.
    EXPECT_EQ(GlobalDeleteAtom(atom), atom);
}

TEST(GlobalAtoms, NamesAreCutToTheBufferAndBadTextsRefused)
{
    const ATOM atom = GlobalAddAtom("abcdef");
    QString name = "old";
    EXPECT_EQ(GlobalGetAtomName(atom, name, 4), 3u);
    EXPECT_EQ(name, "abc");
    EXPECT_EQ(GlobalGetAtomName(atom, name, 1), 0u);
    EXPECT_EQ(name, "");
    EXPECT_EQ(GlobalGetAtomName(0xC123, name, 64), 0u);

    EXPECT_EQ(GlobalAddAtom(""), 0);
    EXPECT_EQ(GlobalAddAtom(QString(256, 'x')), 0);
    EXPECT_NE(GlobalAddAtom(QString(255, 'x')), 0);
    EXPECT_NE(GlobalAddAtom("other"), atom);
    EXPECT_EQ(globalAtomCount(), 3);
}

TEST(GlobalAtoms, ThreadsAddingAndDeletingLeaveTheTableBalanced)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 500; ++i) {
                const ATOM atom = GlobalAddAtom(QStringLiteral("text %1").arg(i % 7));
                ASSERT_NE(atom, 0);
                GlobalDeleteAtom(atom);
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(globalAtomCount(), 0);
}
