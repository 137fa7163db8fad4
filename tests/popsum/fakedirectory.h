#pragma once
// A stand-in for the directory library's reading calls, used while the real one is not part
// of the build: one channel with a few stories whose texts the test sets.

#include "vantrel/chandir.h"

#include <map>

namespace popsumtest
{

struct FakeStory {
    QString headline;
    QString summary;
    bool summaryAvailable = true;
    QString header;
    QString footer;
};

// The stories of the fake directory, by channel id and story number; cleared before every
// test.
std::map<std::pair<uint32_t, uint32_t>, FakeStory>& fakeStories();
// How often the directory was taken and given back.
int fakeTakeCount();
int fakeReleaseCount();

} // namespace popsumtest
