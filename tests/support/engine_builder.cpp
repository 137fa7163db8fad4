#include "tests/support/engine_builder.h"

#include "tests/support/testenv.h"
#include "vantrel/chandir.h"
#include "vantrel/core/engine.h"
#include "vantrel/engctl.h"

#include <QUrl>

namespace rhtest::engine
{
namespace
{

QStringList& opened()
{
    static QStringList list;
    return list;
}

void resetEngine()
{
    opened().clear();
    if (vantrel::Engine::instance()) {
        ChanDir_Uninitialize();
        ENGCTLDeinitialize();
    }
    // Callback registrations, the message sink and window subscriptions belong to the
    // program's objects, which keep their own state across tests: they are left alone.
    VTSetConfirmHook({});
    VTSetOpenUrlHook({});
}

void registerReset()
{
    static bool registered = false;
    if (!registered) {
        registered = true;
        rhtest::addPerTestReset(resetEngine);
    }
}

} // namespace

bool start()
{
    registerReset();
    if (vantrel::Engine::instance())
        return true;
    if (!ENGCTLInitialize(0))
        return false;
    ChanDir_Initialize();
    VTSetOpenUrlHook([](const QUrl& url) {
        opened() << url.toString();
        return true;
    });
    // Placed files stay inside the test's folder.
    vantrel::Engine::instance()->setPlaceFilesDir(rhtest::engineDataDir() + "/files");
    return true;
}

void stop()
{
    if (!vantrel::Engine::instance())
        return;
    ChanDir_Uninitialize();
    ENGCTLDeinitialize();
}

uint32_t addChannel(const QString& name, const QString& category, uint32_t flags,
                    const QString& homePage)
{
    if (!start())
        return 0;
    vantrel::ChannelSeed desc;
    desc.name = name;
    desc.category = category;
    desc.homePage = homePage;
    desc.enabled = (flags & Enabled) != 0;
    desc.secure = (flags & Secure) != 0;
    desc.filtered = (flags & Filtered) != 0;
    desc.homeServer = (flags & HomeServer) != 0;
    return vantrel::Engine::instance()->addChannel(desc);
}

namespace
{
bool channelFacts(uint32_t channelId, QString& name, QString& category)
{
    vantrel::Engine* engine = vantrel::Engine::instance();
    if (!engine)
        return false;
    engine->lock();
    const vantrel::Channel* c = engine->channelById(channelId);
    if (c) {
        name = c->name;
        category = c->categories;
    }
    engine->unlock();
    return c != nullptr;
}
} // namespace

bool setChannelCategory(uint32_t channelId, const QString& category)
{
    QString name;
    QString old;
    return channelFacts(channelId, name, old) &&
           vantrel::Engine::instance()->setChannelNameAndCategory(channelId, name, category);
}

bool renameChannel(uint32_t channelId, const QString& name)
{
    QString oldName;
    QString category;
    return channelFacts(channelId, oldName, category) &&
           vantrel::Engine::instance()->setChannelNameAndCategory(channelId, name, category);
}

uint32_t directoryEntryOf(uint32_t channelId)
{
    vantrel::Engine* engine = vantrel::Engine::instance();
    if (!engine)
        return 0;
    engine->lock();
    const vantrel::Channel* c = engine->channelById(channelId);
    const uint32_t id = c ? c->entryId : 0;
    engine->unlock();
    return id;
}

uint32_t addStory(uint32_t channelId, const StorySeed& desc)
{
    if (!start())
        return 0;
    vantrel::Story s;
    s.headline = desc.headline;
    s.summary = desc.summary;
    s.link = desc.url;
    s.category = desc.category;
    s.published = desc.published.isValid() ? desc.published.toSecsSinceEpoch() : 0;
    s.enclosureUrl = desc.enclosureUrl;
    s.bundletType = desc.bundletType;
    for (auto it = desc.attributes.cbegin(); it != desc.attributes.cend(); ++it) {
        const QString key = it.key().toLower();
        const QVariant& v = it.value();
        if (key == "read")
            s.read = v.toUInt();
        else if (key == "keep")
            s.keep = v.toUInt();
        else if (key == "bundlet signed")
            s.bundletSigned = v.toUInt();
        else if (key == "bundlet type")
            s.bundletType = v.toUInt();
        else if (key == "bundlet id")
            s.bundletId = v.toUInt();
        else if (key == "alerted")
            s.alerted = v.toUInt();
        else if (key == "header")
            s.header = v.toString();
        else if (key == "footer")
            s.footer = v.toString();
        else if (key == "category")
            s.category = v.toString();
        else if (key == "story local")
            s.localPath = v.toString() == "1" ? QStringLiteral("local") : v.toString();
        else
            s.extra.insert(it.key(), v);
    }
    return vantrel::Engine::instance()->addStory(channelId, s);
}

uint32_t addDirectoryEntry(const QString& name, const QString& categories,
                           const QString& description, uint32_t entryFlags, const QDateTime& date,
                           const QString& url)
{
    if (!start())
        return 0;
    vantrel::DirEntry e;
    e.name = name;
    e.categories = categories;
    e.description = description;
    e.flags = entryFlags;
    e.date = date.isValid() ? uint32_t(date.toSecsSinceEpoch()) : 0u;
    e.url = url;
    e.catalogue = "test";
    return vantrel::Engine::instance()->addDirectoryEntry(e);
}

uint32_t addAlert(uint32_t channelId, uint32_t storyNumber, const QString& alertName,
                  const QString& category)
{
    if (!start())
        return 0;
    return vantrel::Engine::instance()->addAlert(channelId, storyNumber, alertName, category);
}

QStringList openedUrls()
{
    return opened();
}

bool waitForIdle(int timeoutMs)
{
    vantrel::Engine* engine = vantrel::Engine::instance();
    return engine ? engine->waitForIdle(timeoutMs) : true;
}

} // namespace rhtest::engine
