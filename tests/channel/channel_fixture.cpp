#include "tests/channel/channel_fixture.h"

#include "resources/readhall_resources.h"
#include "src/shared/programstate.h"
#include "src/shared/startupchecks.h"
#include "vantrel/chandir.h"
#include "vantrel/core/engine.h"
#include "vantrel/core/model.h"
#include "vantrel/engctl.h"

namespace channeltest
{

void EngineTest::SetUp()
{
    readhallInitResources();
    startupchecks::setWebBrowserProbe([] { return true; });
    ASSERT_TRUE(rhtest::engine::start());
}

void EngineTest::TearDown()
{
    rhtest::engine::waitForIdle();
    startupchecks::resetForTests();
}

uint32_t EngineTest::addChannel(const QString& name, const QString& category, int unread,
                                uint32_t flags)
{
    const uint32_t id = rhtest::engine::addChannel(name, category, flags);
    for (int i = 0; i < unread; ++i)
        addStory(id, QStringLiteral("Story %1").arg(i + 1), false);
    return id;
}

uint32_t EngineTest::addStory(uint32_t channel, const QString& headline, bool read,
                              const QString& category)
{
    rhtest::engine::StorySeed story;
    story.headline = headline;
    story.category = category;
    story.attributes[QStringLiteral("Read")] = read ? 1 : 0;
    return rhtest::engine::addStory(channel, story);
}

void EngineTest::markAllRead(uint32_t channel)
{
    std::vector<uint32_t> numbers;
    if (CServices* services = GetCServices()) {
        if (CService* service = services->GetServiceByID(channel)) {
            for (int i = 0; i < service->GetNoStories(); ++i) {
                uint32_t id = 0;
                uint32_t number = 0;
                if (CService::ParseStoryID(service->GetStoryID(i), id, number))
                    numbers.push_back(number);
            }
        }
        ReleaseCServices();
    }
    ASSERT_EQ(VTMarkStoriesRead(channel, numbers, 1), 1);
    rhtest::engine::waitForIdle();
}

void EngineTest::setChannelCategory(uint32_t channel, const QString& category)
{
    ASSERT_TRUE(rhtest::engine::setChannelCategory(channel, category));
    rhtest::engine::waitForIdle();
}

void EngineTest::setRestrictions(uint32_t mask)
{
    vantrel::Engine* engine = vantrel::Engine::instance();
    ASSERT_NE(engine, nullptr);
    engine->setWorkgroupRestrictions(mask);
    SetWorkgroupRestrictions(mask);
}

QStringList childLabels(QTreeWidget* tree, QTreeWidgetItem* parent)
{
    QStringList labels;
    QTreeWidgetItem* box = treeitems::container(tree, parent);
    for (int i = 0; box && i < box->childCount(); ++i)
        labels << box->child(i)->text(0);
    return labels;
}

QTreeWidgetItem* itemAt(QTreeWidget* tree, const QStringList& labels)
{
    QTreeWidgetItem* item = nullptr;
    for (const QString& label : labels) {
        const int i = int(childLabels(tree, item).indexOf(label));
        if (i < 0)
            return nullptr;
        item = treeitems::container(tree, item)->child(i);
    }
    return item;
}

} // namespace channeltest

void CRecordingPlaceholderView::OnUpdate(CView*, LPARAM hint, CObject* hintObject)
{
    const auto* update = dynamic_cast<const CUpdateHint*>(hintObject);
    m_hints.push_back(update ? RecordedHint{hint, update->m_number, update->m_array, update->m_text}
                             : RecordedHint{hint, 0, {}, {}});
}
