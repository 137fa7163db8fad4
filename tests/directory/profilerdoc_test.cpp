// The directory document and its entries, against the real engine.

#include "src/directory/directoryids.h"
#include "tests/directory/directory_fixture.h"
#include "vantrel/chandir.h"

using namespace directorytest;
namespace eb = rhtest::engine;

namespace
{

class ProfilerDocTest : public DirectoryTest
{
protected:
    const CSiteMain* entryNamed(const QString& name) const
    {
        for (const auto& entry : doc.GetEntries())
            if (entry->GetName() == name)
                return entry.get();
        return nullptr;
    }
    CProfilerDoc doc;
};

TEST_F(ProfilerDocTest, AnEntryIsNewForSevenDaysCountedUnsigned)
{
    constexpr uint32_t now = 2000000000u;
    CProfilerDoc::SetTimeSource([] { return now; });
    const struct {
        const char* name;
        qint64 date; // 0: no date
        bool isNew;
    } cases[] = {
        {"a week old", now - 604800, false},
        {"a second less", now - 604799, true},
        {"today", now, true},
        {"from the future", now + 60, false},
        {"undated", 0, false},
    };
    for (const auto& c : cases)
        addEntry(c.name, QString(), 0,
                 c.date ? QDateTime::fromSecsSinceEpoch(c.date) : QDateTime());
    ASSERT_EQ(doc.Load(0), 1);
    for (const auto& c : cases) {
        const CSiteMain* entry = entryNamed(c.name);
        ASSERT_NE(entry, nullptr) << c.name;
        EXPECT_EQ(entry->IsNew() != 0, c.isNew) << c.name;
        EXPECT_EQ((entry->ImageIndex() & DIRIMG_NEW) != 0, c.isNew) << c.name;
    }
}

TEST_F(ProfilerDocTest, TheDisplayCategoryIsTheFirstLevelOfTheFirstPath)
{
    const struct {
        const char* categories;
        const char* shown;
    } cases[] = {
        {"News; Sport", "News"},
        {"Business/Finance;Tech", "Business"},
        {"", "Miscellaneous"},
        {";x", "Miscellaneous"},
        {"  Arts  /Film", "Arts"},
        {"/Local", "Miscellaneous"},
        {"Film&slash;TV;News", "Film/TV"},
    };
    for (const auto& c : cases)
        addEntry(QString::fromLatin1(c.categories) + "|", c.categories);
    ASSERT_EQ(doc.Load(0), 1);
    for (const auto& c : cases) {
        const CSiteMain* entry = entryNamed(QString::fromLatin1(c.categories) + "|");
        ASSERT_NE(entry, nullptr) << c.categories;
        EXPECT_EQ(entry->GetDisplayCategory(), c.shown) << c.categories;
        EXPECT_EQ(entry->GetColumnText(2), c.shown) << c.categories;
    }
}

TEST_F(ProfilerDocTest, EntriesComeInTheEnginesOrderWithTheirCategoryTree)
{
    const uint32_t sport = addEntry("Scores", "Sport;News/Local");
    addSubscribed("Daily", "News");
    ASSERT_EQ(doc.Load(0), 1);
    ASSERT_EQ(doc.GetEntries().size(), 2u);
    EXPECT_EQ(doc.GetEntries()[0]->GetName(), "Scores");
    EXPECT_EQ(std::make_pair(doc.GetEntries()[0]->IsSubscribed() != 0,
                             doc.GetEntries()[1]->IsSubscribed() != 0),
              std::make_pair(false, true));
    EXPECT_EQ(doc.FindEntry(sport), doc.GetEntries()[0].get());
    EXPECT_EQ(doc.FindEntry(987654), nullptr);
    QStringList top;
    for (const auto& node : doc.GetFirstCategory()->GetItems())
        top << node->GetName();
    EXPECT_EQ(top, (QStringList{"Sport", "News"}));
}

TEST_F(ProfilerDocTest, ARecordThatSaysSubscribedButHasNoChannelEndsUnsubscribed)
{
    VTDirectoryRecord record;
    record.entryId = 4242; // no entry of the engine
    record.subscribed = 1;
    CSiteMain entry(record);
    ASSERT_TRUE(entry.IsSubscribed());
    int changed = 0;
    EXPECT_EQ(entry.RefreshState(&changed), 0);
    EXPECT_EQ(std::make_pair(entry.IsSubscribed() != 0, changed), std::make_pair(false, 1));

    record.entryId = addSubscribed("Real");
    CSiteMain real(record);
    EXPECT_EQ(real.RefreshState(&changed), 1);
    EXPECT_EQ(std::make_pair(real.IsSubscribed() != 0, changed), std::make_pair(true, 0));
    EXPECT_FALSE(real.GetChannelState()); // not being brought up to date
}

TEST_F(ProfilerDocTest, SetSubscribedTakesWhatTheEngineDidAndAlwaysAnswersOne)
{
    const uint32_t plain = addEntry("Plain");
    const uint32_t required = addSubscribed("Required", QString(), VTDIRENTRY_REQUIRED);
    ASSERT_EQ(doc.Load(0), 1);
    CSiteMain* entry = doc.FindEntry(plain);
    EXPECT_EQ(entry->SetSubscribed(1), 1);
    EXPECT_TRUE(entry->IsSubscribed());
    EXPECT_NE(channelOf(plain), 0u);

    // The engine refuses to let a required channel go: nothing changes.
    CSiteMain* kept = doc.FindEntry(required);
    EXPECT_EQ(kept->SetSubscribed(0), 1);
    EXPECT_TRUE(kept->IsSubscribed());
    EXPECT_NE(channelOf(required), 0u);
}

TEST_F(ProfilerDocTest, TheViewsHearOfAChangedStateAndOfANotifiedReload)
{
    const uint32_t id = addEntry("Weather");
    CHintRecorder recorder;
    doc.AddView(&recorder);
    ASSERT_EQ(doc.Load(0), 1);
    doc.OnEntryChanged(id);
    doc.OnEntryChanged(0);
    doc.OnEntryChanged(777777);
    EXPECT_TRUE(recorder.hints.empty());

    ASSERT_EQ(VTSubscribeToChannel(nullptr, id), 1);
    EXPECT_FALSE(doc.FindEntry(id)->IsSubscribed()); // not until it is told
    doc.OnEntryChanged(id);
    EXPECT_EQ(recorder.hints, std::vector<LPARAM>{APPHINT_DIRECTORY_CHANGED});
    EXPECT_TRUE(doc.FindEntry(id)->IsSubscribed());
    EXPECT_EQ(doc.CheckDirectoryChanged(), 0);
    ASSERT_EQ(VTUnsubscribeToChannel(nullptr, id), 1);
    EXPECT_EQ(doc.CheckDirectoryChanged(), 1);

    addEntry("Later");
    ASSERT_EQ(doc.Load(1), 1);
    EXPECT_EQ(recorder.hints.back(), CATHINT_RELOAD);
    EXPECT_EQ(doc.GetEntries().size(), 2u);
    doc.RemoveView(&recorder);
}

TEST_F(ProfilerDocTest, WithoutTheEngineTheDocumentIsEmpty)
{
    addEntry("Gone", "News");
    ASSERT_EQ(doc.Load(0), 1);
    eb::stop();
    EXPECT_EQ(doc.Load(0), 0);
    EXPECT_TRUE(doc.GetEntries().empty());
    EXPECT_TRUE(doc.GetFirstCategory()->GetItems().empty());
}

TEST_F(ProfilerDocTest, OnlyDirectoryChangesRaiseTheChangedFlag)
{
    ASSERT_TRUE(CProfilerDoc::IsCallbackRegistered());
    const struct {
        uint32_t type;
        bool raises;
    } cases[] = {{VTNOTIFY_DIRECTORY_ENTRY_ADDED, true},
                 {VTNOTIFY_DIRECTORY_REFRESHED, true},
                 {VTNOTIFY_DIRECTORY_ENTRY_CHANGED, true},
                 {VTNOTIFY_ENGINE_EVENT, false},
                 {VTNOTIFY_SHUTDOWN, false}};
    for (const auto& c : cases) {
        CProfilerDoc::TakeDirectoryChanged();
        CProfilerDoc::NotificationCallback(c.type, "", 0, "", 0, 0, 0);
        EXPECT_EQ(CProfilerDoc::TakeDirectoryChanged(), c.raises) << c.type;
    }
    // The engine's own report arrives through the registered callback.
    const uint32_t id = addEntry("Fresh");
    EXPECT_TRUE(CProfilerDoc::TakeDirectoryChanged());
    ASSERT_EQ(VTSubscribeToChannel(nullptr, id), 1);
    EXPECT_TRUE(CProfilerDoc::TakeDirectoryChanged());
}

} // namespace
