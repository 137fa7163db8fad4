// The channel document: what it names for a channel, a category or nothing.

#include "src/channel/channeldoc.h"
#include "tests/channel/channel_fixture.h"
#include "vantrel/engctl.h"

#include <tuple>

using namespace channeltest;

namespace
{

class ChannelDocTest : public EngineTest
{
protected:
    CChannelDoc doc;
};

TEST_F(ChannelDocTest, AChannelFillsEveryField)
{
    const uint32_t id = rhtest::engine::addChannel("Daily", "News", rhtest::engine::Enabled,
                                                   "https://daily.example/");
    EXPECT_EQ(doc.SetChannel(id, "Sports/Golf"), 1);
    EXPECT_EQ(std::make_tuple(doc.GetMode(), doc.GetName(), doc.GetHomePage(), doc.GetChannelIds(),
                              doc.GetSubChannelPath()),
              std::make_tuple(CChannelDoc::ModeChannel, QString("Daily"),
                              QString("https://daily.example/"), std::vector<uint32_t>{id},
                              QString("Sports/Golf")));
    EXPECT_TRUE(doc.ShowsOneChannel());
    EXPECT_TRUE(doc.IsShown(id));
    EXPECT_FALSE(doc.IsShown(id + 1));
    EXPECT_FALSE(doc.IsAlertMode());
}

TEST_F(ChannelDocTest, CategoriesKeepTheirNameAndIdsAcrossRefresh)
{
    const uint32_t a = addChannel("A", "News");
    const uint32_t b = addChannel("B", "News");
    EXPECT_EQ(doc.SetCategory({a, b}, "News"), 1);
    EXPECT_EQ(doc.GetMode(), CChannelDoc::ModeCategory);
    EXPECT_FALSE(doc.ShowsOneChannel());
    // A channel deleted meanwhile stays listed until the category is chosen again.
    ASSERT_EQ(VTUnsubscribeToChannel(nullptr, rhtest::engine::directoryEntryOf(b)), 1);
    rhtest::engine::waitForIdle();
    doc.Refresh();
    EXPECT_EQ(doc.GetName(), "News");
    EXPECT_EQ(doc.GetChannelIds(), (std::vector<uint32_t>{a, b}));
    // Passing its own list leaves it unchanged.
    doc.SetCategory(doc.GetChannelIds(), doc.GetName());
    EXPECT_EQ(doc.GetChannelIds(), (std::vector<uint32_t>{a, b}));
}

TEST_F(ChannelDocTest, AnUnknownChannelAnEmptyCategoryOrADeletedChannelEmptiesTheDocument)
{
    const uint32_t id = addChannel("Daily", "News");
    ASSERT_EQ(doc.SetChannel(id), 1);
    EXPECT_EQ(doc.SetChannel(987654), 0);
    EXPECT_EQ(doc.GetMode(), CChannelDoc::ModeNothing);
    EXPECT_TRUE(doc.GetChannelIds().empty());
    ASSERT_EQ(doc.SetChannel(id), 1);
    EXPECT_EQ(doc.SetCategory({}, "Nothing"), 0);
    EXPECT_EQ(doc.GetMode(), CChannelDoc::ModeNothing);
    EXPECT_EQ(
        QStringList({doc.GetName(), doc.GetHomePage(), doc.GetLastUpdated(), doc.GetLogoFile()}),
        QStringList(4, QString()));

    ASSERT_EQ(doc.SetChannel(id), 1);
    ASSERT_EQ(VTUnsubscribeToChannel(nullptr, rhtest::engine::directoryEntryOf(id)), 1);
    rhtest::engine::waitForIdle();
    doc.Refresh();
    EXPECT_EQ(doc.GetMode(), CChannelDoc::ModeNothing);
}

TEST_F(ChannelDocTest, WithoutTheDirectoryTheTargetStays)
{
    const uint32_t id = addChannel("Daily", "News");
    ASSERT_EQ(doc.SetChannel(id), 1);
    rhtest::engine::stop();
    EXPECT_EQ(doc.SetChannel(id + 1), 0);
    EXPECT_EQ(doc.GetChannelIds(), std::vector<uint32_t>{id});
    EXPECT_EQ(doc.GetName(), "Daily");
    ASSERT_TRUE(rhtest::engine::start());
}

} // namespace
