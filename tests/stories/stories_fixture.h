#pragma once
// Story list test helpers: the real engine, an application object, recorders in place of the
// engine commands and main-frame services, and headline views over channel documents.

#include "src/app/readhallapp.h"
#include "src/channel/channeldoc.h"
#include "src/stories/headlineview.h"
#include "src/stories/storycalls.h"
#include "tests/support/engine_builder.h"

#include <QDateTime>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace storiestest
{

// One recorded call: its name and numbers ("markStoriesRead", {channel, read, n1, n2...}).
struct Call {
    QString name;
    std::vector<uint32_t> args;
    bool operator==(const Call& other) const { return name == other.name && args == other.args; }
};
inline void PrintTo(const Call& call, std::ostream* out)
{
    *out << call.name.toStdString() << ::testing::PrintToString(call.args);
}
// The numbers of several calls, in order.
using Args = std::vector<std::vector<uint32_t>>;

class StoriesTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A story with a headline, received at `minutes` past a fixed hour.
    static uint32_t addStory(uint32_t channel, const QString& headline, int minutes,
                             const QVariantMap& attributes = {}, const QString& category = {},
                             const QString& summary = {});
    // A video story with an enclosure (a media address unless `url` is given).
    static uint32_t playable(uint32_t channel, const QString& headline, int minutes,
                             const QString& url = QString());
    // A headline view over the channel (with the sub-channel path) or the category.
    CHeadlineView* viewOfChannel(uint32_t channel, const QString& path = QString());
    CHeadlineView* viewOfCategory(const std::vector<uint32_t>& channels);
    CHeadlineView* viewOfAlerts();
    // The Content column of every row, top to bottom.
    static QStringList headlines(const CHeadlineView* view);
    static QString cell(const CHeadlineView* view, int row, int column);
    static int rowOf(const CHeadlineView* view, const QString& headline);
    // The calls recorded so far with that name.
    std::vector<Call> callsNamed(const QString& name) const;
    // The numbers of the calls recorded so far with that name.
    Args argsOf(const QString& name) const;
    void setUnreadOnly(bool on);
    // The story's "BundLet Id"; 0 when the engine does not answer.
    static uint32_t bundletOf(uint32_t channel, uint32_t number);

    std::unique_ptr<CReadhallApp> m_app;
    std::vector<Call> m_calls;
    std::vector<std::unique_ptr<CChannelDoc>> m_docs;
    std::vector<std::unique_ptr<CHeadlineView>> m_views;

private:
    CHeadlineView* attach(std::unique_ptr<CChannelDoc> doc);
};

} // namespace storiestest
