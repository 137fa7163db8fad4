#include "tests/popsum/fakedirectory.h"

#include "tests/support/testenv.h"

#include <vector>

namespace popsumtest
{

namespace
{

int g_taken = 0;
int g_released = 0;

class FakeService : public CService
{
public:
    explicit FakeService(uint32_t id) : m_id(id) {}

    std::vector<uint32_t> numbers() const
    {
        std::vector<uint32_t> list;
        for (const auto& entry : fakeStories()) {
            if (entry.first.first == m_id)
                list.push_back(entry.first.second);
        }
        return list;
    }
    const FakeStory* story(int index) const
    {
        const std::vector<uint32_t> list = numbers();
        if (index < 0 || index >= int(list.size()))
            return nullptr;
        return &fakeStories().at({m_id, list[size_t(index)]});
    }

    int GetServiceID(uint32_t& id) const override { return id = m_id, 1; }
    int GetDirectoryEntryId(uint32_t&) const override { return 0; }
    int GetDisplayName(QString& name) const override { return name = "Fake", 1; }
    int GetCategory(QString&, int) const override { return 0; }
    int GetLogoBitmapFile(QString&) const override { return 0; }
    int GetLastUpdatedDateTime(QString&) const override { return 0; }
    int GetServiceDateData(QString&) const override { return 0; }
    int GetServiceInfo(const QString&, QString&) const override { return 0; }
    int IsEnabled() const override { return 1; }
    int IsHomeServer() const override { return 0; }
    int IsSecure() const override { return 0; }
    int IsFiltered() const override { return 0; }
    uint32_t GetFlags() const override { return 0; }
    int ContainsSubChannels() const override { return 0; }
    int GetSubChannels(QStringList&) const override { return 0; }
    int GetSubChannelsCount(const QStringList&, std::vector<long>&,
                            std::vector<long>&) const override
    {
        return 0;
    }
    int GetNumUnreadStories() const override { return 0; }
    int GetNoStories() const override { return int(numbers().size()); }
    int GetStoryIndex(uint32_t storyNumber) const override
    {
        const std::vector<uint32_t> list = numbers();
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i] == storyNumber)
                return int(i);
        }
        return -1;
    }
    QString GetStoryID(int index) const override
    {
        const std::vector<uint32_t> list = numbers();
        return index >= 0 && index < int(list.size()) ? MakeStoryID(m_id, list[size_t(index)])
                                                      : QString();
    }
    QString GetStoryHeadline(int index) const override
    {
        const FakeStory* s = story(index);
        return s ? s->headline : QString();
    }
    QString GetStorySummary(int index) const override
    {
        const FakeStory* s = story(index);
        return s ? s->summary : QString();
    }
    int IsStorySummaryAvailable(int index) const override
    {
        const FakeStory* s = story(index);
        return s && s->summaryAvailable ? 1 : 0;
    }
    int GetStoryUpdatedTime(int, uint32_t&) const override { return 0; }
    int GetStoryUpdatedTime(int, QString&) const override { return 0; }
    int GetStoryAttribute(int, const QString&, uint32_t&) const override { return 0; }
    int GetStoryAttribute(int index, const QString& name, QString& value) const override
    {
        const FakeStory* s = story(index);
        if (!s)
            return 0;
        if (name == "Header")
            return value = s->header, 1;
        if (name == "Footer")
            return value = s->footer, 1;
        return 0;
    }
    int GetStoryField(int, const QString&, QString&) const override { return 0; }

private:
    uint32_t m_id;
};

class FakeServices : public CServices
{
public:
    int GetNoServices() const override { return 0; }
    CService* GetService(int) const override { return nullptr; }
    CService* GetServiceByID(uint32_t channelId) const override
    {
        for (const auto& entry : fakeStories()) {
            if (entry.first.first == channelId) {
                m_service = std::make_unique<FakeService>(channelId);
                return m_service.get();
            }
        }
        return nullptr;
    }
    CService* GetServiceByDirectoryEntryId(uint32_t) const override { return nullptr; }
    int GetStoryAttribute(const QString&, const QString&, uint32_t&) const override { return 0; }
    int GetStoryAttribute(const QString&, const QString&, QString&) const override { return 0; }

private:
    mutable std::unique_ptr<FakeService> m_service;
};

const bool g_registered = [] {
    rhtest::addPerTestReset([] {
        fakeStories().clear();
        g_taken = 0;
        g_released = 0;
    });
    return true;
}();

} // namespace

std::map<std::pair<uint32_t, uint32_t>, FakeStory>& fakeStories()
{
    static std::map<std::pair<uint32_t, uint32_t>, FakeStory> stories;
    return stories;
}

int fakeTakeCount()
{
    return g_taken;
}
int fakeReleaseCount()
{
    return g_released;
}

} // namespace popsumtest

// The directory library's reading entry points, answered by the fake.
CServices* GetCServices()
{
    static popsumtest::FakeServices services;
    ++popsumtest::g_taken;
    return &services;
}

void ReleaseCServices()
{
    ++popsumtest::g_released;
}

int CService::ParseStoryID(const QString& storyId, uint32_t& channelId, uint32_t& storyNumber)
{
    const QStringList parts = storyId.split(':');
    bool ok1 = false;
    bool ok2 = false;
    if (parts.size() != 2)
        return 0;
    channelId = parts[0].toUInt(&ok1);
    storyNumber = parts[1].toUInt(&ok2);
    return ok1 && ok2 ? 1 : 0;
}

QString CService::MakeStoryID(uint32_t channelId, uint32_t storyNumber)
{
    return QStringLiteral("%1:%2").arg(channelId).arg(storyNumber);
}
