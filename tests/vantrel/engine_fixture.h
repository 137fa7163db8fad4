#pragma once
// The engine test fixture, a recorder of change messages and callbacks, and an RSS writer.

#include "tests/support/engine_builder.h"
#include "tests/support/testenv.h"
#include "vantrel/chandir.h"
#include "vantrel/core/engine.h"
#include "vantrel/engctl.h"

#include <QByteArray>
#include <QString>
#include <QThread>
#include <gtest/gtest.h>
#include <mutex>
#include <vector>

namespace eb = rhtest::engine;

namespace enginetest
{

struct Message {
    uint32_t window = 0;
    QString name;
    uintptr_t first = 0;
    intptr_t second = 0;
    std::vector<uint32_t> stories; // copied for the two story messages
    QThread* thread = nullptr;
};

struct Callback {
    uint32_t type = 0;
    uint32_t value = 0;
    QThread* thread = nullptr;
};

// Records every message of subscribed window 7 and every callback.
class Recorder
{
public:
    static Recorder& instance();
    void install(); // sink + window 7 + a callback for every type
    void clear();
    std::vector<Message> messages(const QString& name = QString()) const;
    std::vector<Callback> callbacks(uint32_t type) const;
    bool hasMessage(const QString& name, uintptr_t first) const;

    static void sink(uint32_t window, const char* name, uintptr_t first, intptr_t second);
    static void callback(uint32_t type, const char* text, uint32_t value, const char* text2,
                         uint32_t value2, uint32_t value3, uint32_t value4);

private:
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
    std::vector<Callback> m_callbacks;
};

// One RSS item.
struct Item {
    QString guid;
    QString title;
    QString description;
    QString link;
    QString category;
    QString enclosureUrl;
    QString enclosureType;
};
// Writes the file (and its folder); returns its path.
QString writeFile(const QString& path, const QByteArray& data);
QByteArray readFile(const QString& path);
// Runs statements on the store file of the engine data directory through a connection of its
// own (the engine stopped), as an older program version would have left it; false on failure.
bool execSql(const std::vector<const char*>& statements);
// A story with a headline and what else is given.
eb::StorySeed seed(const QString& headline, const QString& summary = {},
                   const QString& category = {}, const QString& url = {});

QByteArray rss(const std::vector<Item>& items, const QString& title = "Test Feed",
               const QString& imageUrl = QString());

// f(channel) with the channel directory taken (channel is nullptr when unknown).
template <class F> auto withChannel(uint32_t channelId, F f)
{
    CServices* services = GetCServices();
    const auto result = f(services ? services->GetServiceByID(channelId) : nullptr);
    ReleaseCServices();
    return result;
}

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override;
    vantrel::Engine* engine() const { return vantrel::Engine::instance(); }
    // A subscribed channel whose feed is at url (downloaded by the worker).
    uint32_t addFeedChannel(const QString& name, const QString& url);
    // Stories of a channel as (headline) in the engine's order.
    QStringList headlines(uint32_t channelId);
    QStringList sortedHeadlines(uint32_t channelId);
    int storyCount(uint32_t channelId);
    QString status(uint32_t channelId);
    uint32_t numberOf(uint32_t channelId, const QString& headline);
    uint32_t attribute(uint32_t channelId, uint32_t number, const QString& name);
    QString textAttribute(uint32_t channelId, uint32_t number, const QString& name);
    Recorder& recorder() { return Recorder::instance(); }
    // Stops the engine and starts it again on the same data directory.
    void reopen();
    // Whether the channel's stories have been read from the store.
    bool loaded(uint32_t channelId);
    // The capabilities asked for in mask (GetStoryCaps must answer 1).
    tagStoryCaps caps(uint32_t channelId, uint32_t number, uint32_t mask = VTCAPS_ALL);
    bool hasChannel(uint32_t channelId)
    {
        return withChannel(channelId, [](CService* c) { return c != nullptr; });
    }
    // Unread stories of a channel as the channel tree counts them (-1 for an unknown channel).
    int unreadCount(uint32_t channelId);
    // A story added through the builder (see seed()).
    uint32_t addStory(uint32_t channelId, const QString& headline, const QString& summary = {},
                      const QString& category = {}, const QString& url = {})
    {
        return eb::addStory(channelId, seed(headline, summary, category, url));
    }
};

// What an engine getter hands back through its out-parameter; -99 when the call fails.
template <class Call> int answer(Call call)
{
    int value = -1;
    return call(value) == 1 ? value : -99;
}
inline int channelEnabled(uint32_t channelId)
{
    return answer([&](int& v) { return VTIsChannelEnabled(channelId, v); });
}

} // namespace enginetest
