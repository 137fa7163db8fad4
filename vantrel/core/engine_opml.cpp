// Subscriptions exported to and imported from OPML catalogues, the form every feed reader
// reads and writes: folders of outlines are category paths.

#include "vantrel/core/engine.h"

#include "vantrel/core/engine_p.h"
#include "vantrel/core/feedaddress.h"
#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/store.h"
#include "vantrel/core/textrules.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamWriter>
#include <algorithm>
#include <map>

namespace vantrel
{
using namespace detail;

namespace
{

struct ExportedChannel {
    QString name;
    QString url;
    QString homePage;
    QString description;
};

// One folder of the exported catalogue: its folders by name (sorted without regard to case)
// and its channels.
struct Folder {
    QString name;
    std::map<QString, Folder> folders; // by case-folded name
    std::vector<ExportedChannel> channels;

    Folder& child(const QString& level)
    {
        Folder& f = folders[level.toCaseFolded()];
        if (f.name.isEmpty())
            f.name = level;
        return f;
    }
};

void writeFolder(QXmlStreamWriter& xml, const Folder& folder)
{
    for (const auto& [key, inner] : folder.folders) {
        xml.writeStartElement(QStringLiteral("outline"));
        xml.writeAttribute(QStringLiteral("text"), inner.name);
        xml.writeAttribute(QStringLiteral("title"), inner.name);
        writeFolder(xml, inner);
        xml.writeEndElement();
    }
    std::vector<ExportedChannel> channels = folder.channels;
    std::stable_sort(channels.begin(), channels.end(),
                     [](const ExportedChannel& a, const ExportedChannel& b) {
                         return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
                     });
    for (const ExportedChannel& c : channels) {
        xml.writeEmptyElement(QStringLiteral("outline"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("rss"));
        xml.writeAttribute(QStringLiteral("text"), c.name);
        xml.writeAttribute(QStringLiteral("title"), c.name);
        xml.writeAttribute(QStringLiteral("xmlUrl"), c.url);
        if (!c.homePage.isEmpty())
            xml.writeAttribute(QStringLiteral("htmlUrl"), c.homePage);
        if (!c.description.isEmpty())
            xml.writeAttribute(QStringLiteral("description"), c.description);
    }
}

QString countText(int n, const char* one, const char* many)
{
    return n == 1 ? QString::fromLatin1(one) : QString::fromLatin1(many).arg(n);
}

} // namespace

QString OpmlImportReport::summary() const
{
    if (!ok)
        return error;
    QStringList parts;
    parts << countText(added, "1 channel added", "%1 channels added");
    if (!skipped.isEmpty())
        parts << countText(int(skipped.size()), "1 already subscribed", "%1 already subscribed");
    if (!refused.empty())
        parts << countText(int(refused.size()), "1 refused", "%1 refused");
    return parts.join(QStringLiteral(", ")) + QLatin1Char('.');
}

QByteArray Engine::exportOpml()
{
    Folder top;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        for (const auto& c : m_channels) {
            if (c->url.isEmpty())
                continue; // nothing another reader could subscribe to
            const ExportedChannel exported{c->name, c->url, c->homePage, c->description};
            const QStringList paths = tidyCategoryPaths(c->categories);
            if (paths.isEmpty())
                top.channels.push_back(exported);
            for (const QString& path : paths) {
                Folder* folder = &top;
                for (const QString& level : path.split(QLatin1Char('/')))
                    folder = &folder->child(categoryLevelName(level));
                folder->channels.push_back(exported);
            }
        }
    }
    QByteArray data;
    QXmlStreamWriter xml(&data);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("opml"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    xml.writeStartElement(QStringLiteral("head"));
    xml.writeTextElement(QStringLiteral("title"), QStringLiteral("Readhall subscriptions"));
    xml.writeTextElement(QStringLiteral("dateCreated"),
                         QLocale::c().toString(QDateTime::currentDateTimeUtc(),
                                               QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'")));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("body"));
    writeFolder(xml, top);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return data;
}

bool Engine::exportOpml(const QString& path, QString* error)
{
    const QByteArray data = exportOpml();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

OpmlImportReport Engine::importOpml(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        OpmlImportReport report;
        report.error = QStringLiteral("%1 cannot be opened: %2").arg(path, file.errorString());
        return report;
    }
    if (file.size() > feeds::kMaxDocumentBytes) {
        OpmlImportReport report;
        report.error = QStringLiteral("%1 is too large for a list of channels.").arg(path);
        return report;
    }
    return importOpml(file.readAll(), QUrl::fromLocalFile(path));
}

OpmlImportReport Engine::importOpml(const QByteArray& data, const QUrl& source)
{
    OpmlImportReport report;
    const feeds::OpmlResult parsed = feeds::parseOpml(data, source);
    if (!parsed.ok) {
        report.error =
            QStringLiteral("The file is not a list of channels (OPML): %1").arg(parsed.error);
        return report;
    }
    for (const feeds::OpmlRefusal& r : parsed.refused)
        report.refused.push_back({r.title.isEmpty() ? r.address : r.title, r.address, r.reason});

    std::vector<uint32_t> newEntries;
    std::vector<std::pair<uint32_t, uint32_t>> added; // channel, entry
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        if (!m_open) {
            report.error = QStringLiteral("The engine's store is not open.");
            return report;
        }
        QSet<QString> subscribed;
        for (const auto& c : m_channels) {
            if (!c->url.isEmpty())
                subscribed.insert(feedAddressKey(c->url));
        }
        QHash<QString, size_t> entryByKey; // unsubscribed entries that can be taken
        for (size_t i = 0; i < m_entries.size(); ++i) {
            const DirEntry& e = m_entries[i];
            if (!e.url.isEmpty() && !channelByEntry(e.id))
                entryByKey.insert(feedAddressKey(e.url), i);
        }
        std::vector<DirEntry> entries;     // new entries of one's own
        std::vector<DirEntry> usedEntries; // the catalogue's entries subscribed to
        std::vector<std::unique_ptr<Channel>> channels;
        uint32_t nextEntry = m_nextEntryId;
        uint32_t nextChannel = m_nextChannelId;
        auto freeChannelId = [&] {
            while (nextChannel == 0 || nextChannel == VT_ALERTS_CHANNEL_ID ||
                   findChannel(nextChannel))
                ++nextChannel;
            return nextChannel++;
        };
        for (const feeds::OpmlEntry& o : parsed.entries) {
            const FeedAddress address = readFeedAddress(o.feedUrl);
            if (!address.ok()) {
                report.refused.push_back({o.title, o.feedUrl, address.error});
                continue;
            }
            const QString url = address.url.toString();
            const QString key = feedAddressKey(url);
            if (subscribed.contains(key)) {
                report.skipped << o.title;
                continue;
            }
            subscribed.insert(key);
            DirEntry e;
            const auto known = entryByKey.constFind(key);
            if (known != entryByKey.constEnd()) {
                e = m_entries[known.value()];
                usedEntries.push_back(e);
            } else {
                e.id = nextEntry++;
                e.name = o.title;
                e.url = url;
                e.categories = o.categoryPaths.join(QLatin1Char(';'));
                e.description = o.description;
                e.homePage = o.homePage;
                e.date = uint32_t(nowSecs());
                e.catalogue = QStringLiteral("user");
                if (url.startsWith(QLatin1String("https:"), Qt::CaseInsensitive))
                    e.flags |= VTDIRENTRY_SECURE;
                entries.push_back(e);
            }
            std::unique_ptr<Channel> c = channelFromEntry(e);
            c->id = freeChannelId();
            // The file's names and folders are the person's own choice.
            c->name = o.title;
            c->url = url;
            c->categories = tidyCategories(o.categoryPaths.join(QLatin1Char(';')));
            if (!o.homePage.isEmpty())
                c->homePage = o.homePage;
            if (!o.description.isEmpty())
                c->description = o.description;
            channels.push_back(std::move(c));
        }
        if (!channels.empty()) {
            Store::Transaction t(*m_store);
            for (const DirEntry& e : entries)
                m_store->saveEntry(t, e);
            for (const auto& c : channels)
                m_store->saveChannel(t, *c);
            m_store->saveMeta(t, kMetaNextEntry, QString::number(nextEntry));
            m_store->saveMeta(t, kMetaNextChannel, QString::number(nextChannel));
            if (!t.commit()) {
                report.error = QStringLiteral("The store refused the new channels: %1")
                                   .arg(m_store->lastError());
                return report;
            }
            m_nextEntryId = nextEntry;
            m_nextChannelId = nextChannel;
            for (DirEntry& e : entries) {
                newEntries.push_back(e.id);
                m_entries.push_back(std::move(e));
            }
            for (auto& c : channels) {
                added.emplace_back(c->id, c->entryId);
                report.channels.push_back(c->id);
                m_channels.push_back(std::move(c));
            }
        }
    }
    report.ok = true;
    report.added = int(added.size());
    for (uint32_t id : newEntries)
        fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_ADDED, QByteArray(), id);
    for (const auto& [channelId, entryId] : added) {
        post(refresh::kChannelAdded, channelId, entryId);
        fireCallbacks(VTNOTIFY_DIRECTORY_ENTRY_CHANGED, QByteArray(), entryId);
        fireEngineEvent(channelId);
    }
    wake();
    return report;
}

} // namespace vantrel
