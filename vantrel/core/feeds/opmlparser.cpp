// OPML catalogues: folders of outlines become category paths of the channels inside them.

#include "vantrel/core/feeds/feeds.h"
#include "vantrel/core/feeds/feedtext_p.h"
#include "vantrel/core/feeds/xmlinput_p.h"

#include <QHash>

namespace vantrel::feeds
{

namespace
{

constexpr int kMaxFolderDepth = 64;

// One level name in the category text form.
QString levelForm(const QString& name)
{
    QString level = name.simplified();
    level.replace('/', QLatin1String("&slash;"));
    return level;
}

class OpmlParser
{
public:
    OpmlParser(const XmlInput& input, const ParseOptions& options)
        : m_input(input), m_xml(input, options.cancelled), m_reader(m_xml.reader()),
          m_base(options.documentUrl), m_allowFiles(options.documentUrl.isLocalFile())
    {
    }

    OpmlResult parse()
    {
        if (!m_xml.nextStartElement()) {
            if (!m_reader.hasError())
                m_reader.raiseError(QStringLiteral("the document has no root element"));
            return fail();
        }
        if (m_reader.name() != QLatin1String("opml")) {
            m_reader.raiseError(
                QStringLiteral("not an OPML catalogue: the root element is <%1>, expected <opml>")
                    .arg(m_reader.qualifiedName()));
            return fail();
        }
        while (m_xml.nextStartElement()) {
            if (m_reader.name() == QLatin1String("head"))
                parseHead();
            else if (m_reader.name() == QLatin1String("body"))
                parseOutlines(QStringList());
            else
                m_xml.skipElement();
        }
        while (!m_reader.atEnd() && !m_reader.hasError())
            m_xml.next();
        if (m_reader.hasError() || !m_input.fault.isEmpty())
            return fail();
        m_result.ok = true;
        return std::move(m_result);
    }

private:
    OpmlResult fail()
    {
        OpmlResult result;
        if (m_xml.cancelled()) {
            result.cancelled = true;
            result.error = QStringLiteral("cancelled");
        } else if (!m_input.fault.isEmpty() &&
                   (!m_reader.hasError() ||
                    m_reader.error() == QXmlStreamReader::PrematureEndOfDocumentError)) {
            result.error = m_input.fault;
        } else {
            result.error = m_xml.errorText();
        }
        return result;
    }

    void parseHead()
    {
        while (m_xml.nextStartElement()) {
            if (m_reader.name() == QLatin1String("title")) {
                QString title;
                while (!m_reader.atEnd()) {
                    const QXmlStreamReader::TokenType token = m_xml.next();
                    if (token == QXmlStreamReader::Characters ||
                        token == QXmlStreamReader::EntityReference) {
                        if (title.size() < kMaxTextChars)
                            title += m_reader.text();
                    } else if (token == QXmlStreamReader::StartElement) {
                        m_xml.skipElement();
                    } else if (token == QXmlStreamReader::EndElement ||
                               token == QXmlStreamReader::Invalid) {
                        break;
                    }
                }
                m_result.title = cleanFeedText(title).simplified();
            } else {
                m_xml.skipElement();
            }
        }
    }

    // Attribute names are matched without regard to case: catalogues in the wild write
    // "xmlurl" and "XMLURL" as often as "xmlUrl".
    static QString value(const QMap<QString, QString>& attributes, const char* name)
    {
        const QString wanted = QLatin1String(name);
        const auto exact = attributes.constFind(wanted);
        if (exact != attributes.constEnd())
            return exact.value();
        for (auto it = attributes.constBegin(); it != attributes.constEnd(); ++it) {
            if (it.key().compare(wanted, Qt::CaseInsensitive) == 0)
                return it.value();
        }
        return QString();
    }

    void parseOutlines(const QStringList& folders)
    {
        if (folders.size() > kMaxFolderDepth) {
            m_reader.raiseError(
                QStringLiteral("folders are nested deeper than %1 levels").arg(kMaxFolderDepth));
            return;
        }
        while (m_xml.nextStartElement()) {
            if (m_reader.name() != QLatin1String("outline")) {
                m_xml.skipElement();
                continue;
            }
            QMap<QString, QString> attributes;
            for (const QXmlStreamAttribute& a : m_reader.attributes())
                attributes.insert(a.qualifiedName().toString(), a.value().toString());
            QString feedUrl = value(attributes, "xmlUrl");
            if (feedUrl.trimmed().isEmpty())
                feedUrl = value(attributes, "url");
            if (feedUrl.trimmed().isEmpty()) {
                QString name = value(attributes, "text");
                if (name.trimmed().isEmpty())
                    name = value(attributes, "title");
                QStringList inner = folders;
                // A folder without a name groups nothing: its outlines stay where they are.
                if (!name.trimmed().isEmpty())
                    inner << levelForm(name);
                parseOutlines(inner);
            } else {
                // An address in a scheme a reader does not follow makes no entry; what the
                // outline holds is read all the same.
                const QString url = resolveUrl(m_base, feedUrl, m_allowFiles);
                if (!url.isEmpty())
                    addEntry(attributes, url, folders);
                else
                    refuse(attributes, feedUrl);
                if (m_result.entries.size() > size_t(kMaxItems)) {
                    m_reader.raiseError(
                        QStringLiteral("the catalogue has more than %1 channels").arg(kMaxItems));
                    return;
                }
                // Outlines below a channel belong to the same folder.
                parseOutlines(folders);
            }
            if (m_reader.hasError())
                return;
        }
    }

    void refuse(const QMap<QString, QString>& attributes, const QString& feedUrl)
    {
        if (m_result.refused.size() >= size_t(kMaxItems))
            return;
        OpmlRefusal refusal;
        refusal.address = feedUrl.trimmed();
        refusal.title = value(attributes, "text").simplified();
        if (refusal.title.isEmpty())
            refusal.title = value(attributes, "title").simplified();
        const QString scheme = QUrl(refusal.address).scheme().toLower();
        if (scheme == QLatin1String("file"))
            refusal.reason = QStringLiteral("a catalogue from the network may not name files of "
                                            "this computer");
        else if (!scheme.isEmpty() && scheme != QLatin1String("http") &&
                 scheme != QLatin1String("https"))
            refusal.reason = QStringLiteral("\"%1:\" addresses are not feed addresses").arg(scheme);
        else
            refusal.reason = QStringLiteral("not a valid address");
        m_result.refused.push_back(std::move(refusal));
    }

    void addEntry(const QMap<QString, QString>& attributes, const QString& feedUrl,
                  const QStringList& folders)
    {
        QStringList paths;
        if (!folders.isEmpty())
            paths << folders.join('/');
        for (const QString& part : value(attributes, "category").split(',')) {
            const QString path = categoryPath(part);
            if (!path.isEmpty() && !paths.contains(path))
                paths << path;
        }

        const auto known = m_byUrl.constFind(feedUrl);
        if (known != m_byUrl.constEnd()) {
            OpmlEntry& entry = m_result.entries[known.value()];
            for (const QString& path : paths) {
                if (!entry.categoryPaths.contains(path))
                    entry.categoryPaths << path;
            }
            return;
        }

        OpmlEntry entry;
        entry.feedUrl = feedUrl;
        entry.title = value(attributes, "text").simplified();
        if (entry.title.isEmpty())
            entry.title = value(attributes, "title").simplified();
        if (entry.title.isEmpty())
            entry.title = feedUrl;
        entry.homePage = resolveUrl(m_base, value(attributes, "htmlUrl"), m_allowFiles);
        entry.description = value(attributes, "description").trimmed();
        const QString created = value(attributes, "created");
        entry.created = parseFeedDate(created);
        entry.categoryPaths = paths;
        entry.attributes = attributes;
        m_byUrl.insert(feedUrl, int(m_result.entries.size()));
        m_result.entries.push_back(std::move(entry));
    }

    const XmlInput& m_input;
    XmlReader m_xml;
    QXmlStreamReader& m_reader;
    QUrl m_base;
    bool m_allowFiles;
    OpmlResult m_result;
    QHash<QString, int> m_byUrl;
};

} // namespace

OpmlResult parseOpml(const QByteArray& data, const ParseOptions& options)
{
    if (data.size() > kMaxDocumentBytes) {
        OpmlResult result;
        result.error = QStringLiteral("line 1, column 1: the document is larger than %1 bytes")
                           .arg(kMaxDocumentBytes);
        return result;
    }
    if (data.trimmed().isEmpty()) {
        OpmlResult result;
        result.error = QStringLiteral("line 1, column 1: the document is empty");
        return result;
    }
    const XmlInput input = prepareXml(data, options.contentType, options.cancelled);
    if (input.cancelled || !input.fatal.isEmpty()) {
        OpmlResult result;
        result.cancelled = input.cancelled;
        result.error = input.cancelled ? QStringLiteral("cancelled") : input.fatal;
        return result;
    }
    return OpmlParser(input, options).parse();
}

OpmlResult parseOpml(const QByteArray& data, const QUrl& documentUrl)
{
    ParseOptions options;
    options.documentUrl = documentUrl;
    return parseOpml(data, options);
}

} // namespace vantrel::feeds
