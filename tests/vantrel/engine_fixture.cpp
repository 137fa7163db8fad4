#include "tests/vantrel/engine_fixture.h"

#include "vantrel/core/notify.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace enginetest
{

Recorder& Recorder::instance()
{
    static Recorder r;
    return r;
}

void Recorder::install()
{
    clear();
    ChanDir_SetMessageSink(&Recorder::sink);
    CServicesSubscribeNotifications(7);
    VTRegisterNotificationCallback(0xFFFFFFFFu, &Recorder::callback);
}

void Recorder::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_messages.clear();
    m_callbacks.clear();
}

std::vector<Message> Recorder::messages(const QString& name) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Message> out;
    std::copy_if(m_messages.begin(), m_messages.end(), std::back_inserter(out),
                 [&](const Message& m) { return name.isEmpty() || m.name == name; });
    return out;
}

std::vector<Callback> Recorder::callbacks(uint32_t type) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Callback> out;
    std::copy_if(m_callbacks.begin(), m_callbacks.end(), std::back_inserter(out),
                 [&](const Callback& c) { return c.type == type; });
    return out;
}

bool Recorder::hasMessage(const QString& name, uintptr_t first) const
{
    const auto found = messages(name);
    return std::any_of(found.begin(), found.end(),
                       [&](const Message& m) { return m.first == first; });
}

void Recorder::sink(uint32_t window, const char* name, uintptr_t first, intptr_t second)
{
    Message m{window, QString::fromUtf8(name), first, second, {}, QThread::currentThread()};
    if (m.name == "REFRESHCODE_STORIES_DELETED" ||
        m.name == "REFRESHCODE_STORIES_ATTRIBUTE_CHANGED")
        m.stories = *reinterpret_cast<const std::vector<uint32_t>*>(second);
    std::lock_guard<std::mutex> lock(instance().m_mutex);
    instance().m_messages.push_back(std::move(m));
}

void Recorder::callback(uint32_t type, const char*, uint32_t value, const char*, uint32_t, uint32_t,
                        uint32_t)
{
    std::lock_guard<std::mutex> lock(instance().m_mutex);
    instance().m_callbacks.push_back({type, value, QThread::currentThread()});
}

QString writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    EXPECT_EQ(file.write(data), data.size());
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

bool execSql(const std::vector<const char*>& statements)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "older-version");
        db.setDatabaseName(rhtest::engineDataDir() + "/vantrel.db");
        ok = db.open();
        QSqlQuery q(db);
        for (const char* sql : statements) {
            const bool done = ok && q.exec(sql);
            EXPECT_TRUE(done) << sql << " " << q.lastError().text().toStdString();
            ok = ok && done;
        }
        q.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase("older-version");
    return ok;
}

eb::StorySeed seed(const QString& headline, const QString& summary, const QString& category,
                   const QString& url)
{
    eb::StorySeed s;
    s.headline = headline;
    s.summary = summary;
    s.category = category;
    s.url = url;
    return s;
}

QByteArray rss(const std::vector<Item>& items, const QString& title, const QString& imageUrl)
{
    QString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rss version=\"2.0\"><channel>"
                  "<title>" +
                  title.toHtmlEscaped() +
                  "</title><link>http://example.invalid/</link><description>d</description>";
    if (!imageUrl.isEmpty())
        xml += "<image><url>" + imageUrl.toHtmlEscaped() +
               "</url><title>t</title><link>"
               "http://example.invalid/</link></image>";
    const auto element = [](const char* tag, const QString& text) {
        return text.isEmpty() ? QString()
                              : QStringLiteral("<%1>%2</%1>").arg(tag, text.toHtmlEscaped());
    };
    for (const Item& i : items) {
        xml += "<item><guid isPermaLink=\"false\">" + i.guid.toHtmlEscaped() + "</guid><title>" +
               i.title.toHtmlEscaped() + "</title>" + element("description", i.description) +
               element("link", i.link) + element("category", i.category);
        if (!i.enclosureUrl.isEmpty())
            xml += "<enclosure url=\"" + i.enclosureUrl.toHtmlEscaped() + "\" type=\"" +
                   i.enclosureType + "\" length=\"100\"/>";
        xml += "</item>";
    }
    xml += "</channel></rss>\n";
    return xml.toUtf8();
}

void EngineTest::SetUp()
{
    ASSERT_TRUE(rhtest::engine::start());
    recorder().install();
}

void EngineTest::reopen()
{
    rhtest::engine::stop();
    ASSERT_TRUE(rhtest::engine::start());
}

bool EngineTest::loaded(uint32_t channelId)
{
    engine()->lock();
    const bool result = engine()->channelById(channelId)->isLoaded();
    engine()->unlock();
    return result;
}

uint32_t EngineTest::addFeedChannel(const QString& name, const QString& url)
{
    vantrel::ChannelSeed desc;
    desc.name = name;
    desc.url = url;
    desc.category = "Tests";
    return engine()->addChannel(desc);
}

QStringList EngineTest::headlines(uint32_t channelId)
{
    return withChannel(channelId, [](CService* c) {
        QStringList out;
        for (int i = 0; c && i < c->GetNoStories(); ++i)
            out << c->GetStoryHeadline(i);
        return out;
    });
}

QStringList EngineTest::sortedHeadlines(uint32_t channelId)
{
    QStringList out = headlines(channelId);
    out.sort();
    return out;
}

int EngineTest::storyCount(uint32_t channelId)
{
    return headlines(channelId).size();
}

QString EngineTest::status(uint32_t channelId)
{
    QKBuffer buffer;
    return VTGetChannelStatus(channelId, buffer) ? buffer.GetText() : QString();
}

uint32_t EngineTest::numberOf(uint32_t channelId, const QString& headline)
{
    return withChannel(channelId, [&](CService* c) {
        uint32_t ch = 0, number = 0;
        for (int i = 0; c && i < c->GetNoStories(); ++i) {
            if (c->GetStoryHeadline(i) == headline)
                CService::ParseStoryID(c->GetStoryID(i), ch, number);
        }
        return number;
    });
}

template <class T>
static T storyAttribute(uint32_t channelId, uint32_t number, const QString& name, T value)
{
    if (CServices* services = GetCServices())
        services->GetStoryAttribute(CService::MakeStoryID(channelId, number), name, value);
    ReleaseCServices();
    return value;
}

uint32_t EngineTest::attribute(uint32_t channelId, uint32_t number, const QString& name)
{
    return storyAttribute(channelId, number, name, uint32_t(0xDEADBEEF));
}

QString EngineTest::textAttribute(uint32_t channelId, uint32_t number, const QString& name)
{
    return storyAttribute(channelId, number, name, QString("<none>"));
}

tagStoryCaps EngineTest::caps(uint32_t channelId, uint32_t number, uint32_t mask)
{
    tagStoryCaps c;
    c.requestMask = mask;
    EXPECT_EQ(GetStoryCaps(CService::MakeStoryID(channelId, number), &c), 1);
    return c;
}

int EngineTest::unreadCount(uint32_t channelId)
{
    return withChannel(channelId, [](CService* c) { return c ? c->GetNumUnreadStories() : -1; });
}

} // namespace enginetest
