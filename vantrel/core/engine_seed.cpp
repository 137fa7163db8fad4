// Demo content: where it is found, and seeding a data directory from it (the first start).

#include "vantrel/core/engine.h"
#include "vantrel/core/programfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#ifndef VANTREL_SOURCE_DEMO_DIR
#define VANTREL_SOURCE_DEMO_DIR ""
#endif

namespace vantrel
{
namespace
{

// Copies a folder with everything below it; false when something was not copied.
bool copyTree(const QString& from, const QString& to)
{
    QDir source(from);
    if (!source.exists())
        return false;
    bool ok = QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = source.relativeFilePath(path);
        const QString target = to + QLatin1Char('/') + rel;
        if (it.fileInfo().isDir()) {
            ok = QDir().mkpath(target) && ok;
        } else {
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::remove(target);
            ok = QFile::copy(path, target) && ok;
        }
    }
    return ok;
}

} // namespace

QString Engine::demoDirectory()
{
    const QString explicitDir = qEnvironmentVariable("VANTREL_DEMO_DIR");
    if (!explicitDir.isEmpty())
        return QFileInfo(explicitDir).isDir() ? explicitDir : QString();
    if (QCoreApplication::instance()) {
        const QString beside =
            programFilesDirectory(QCoreApplication::applicationDirPath()) + QStringLiteral("/demo");
        if (QFileInfo(beside).isDir())
            return beside;
    }
    const QString source = QString::fromUtf8(VANTREL_SOURCE_DEMO_DIR);
    if (!source.isEmpty() && QFileInfo(source).isDir())
        return source;
    return QString();
}

bool Engine::seedDemo(const QString& demoDir, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (demoDir.isEmpty() || !QFileInfo(demoDir).isDir())
        return fail(QStringLiteral("no demo folder"));
    const QString copy = m_dataDir + QStringLiteral("/demo");
    if (QFileInfo(demoDir).canonicalFilePath() != QFileInfo(copy).canonicalFilePath()) {
        QDir(copy).removeRecursively();
        if (!copyTree(demoDir, copy))
            return fail(QStringLiteral("the demo folder could not be copied to %1").arg(copy));
    }
    // Files the program reads from the data directory itself (start pages and the like).
    if (QFileInfo(copy + QStringLiteral("/datadir")).isDir() &&
        !copyTree(copy + QStringLiteral("/datadir"), m_dataDir))
        return fail(QStringLiteral("the demo start pages could not be copied"));
    const QString opml = copy + QStringLiteral("/directory.opml");
    if (QFileInfo::exists(opml)) {
        QString why;
        if (!addCatalogue(opml, &why))
            return fail(why);
    }
    QFile seedFile(copy + QStringLiteral("/seed.json"));
    if (!seedFile.open(QIODevice::ReadOnly))
        return true; // a catalogue without subscriptions
    QJsonParseError parseError;
    const QJsonObject seed = QJsonDocument::fromJson(seedFile.readAll(), &parseError).object();
    if (parseError.error != QJsonParseError::NoError)
        return fail(QStringLiteral("seed.json: %1").arg(parseError.errorString()));
    auto entryFor = [&](const QString& relative) -> uint32_t {
        const QString wanted =
            QUrl::fromLocalFile(QDir::cleanPath(copy + QLatin1Char('/') + relative)).toString();
        for (const DirEntry& e : directoryEntries()) {
            if (QUrl(e.url).toString() == wanted)
                return e.id;
        }
        return 0;
    };
    // The worker waits until the seeding is complete, so a channel listed as disabled is never
    // downloaded and every rule is in place for the first download.
    std::lock_guard<std::recursive_mutex> seeding(m_mutex);
    bool ok = true;
    // Rules first: the first download of the new channels already raises alerts.
    for (const QJsonValue v : seed.value(QStringLiteral("alertRules")).toArray()) {
        const QJsonObject r = v.toObject();
        QStringList words;
        for (const QJsonValue w : r.value(QStringLiteral("words")).toArray())
            words << w.toString();
        ok = addAlertRule(r.value(QStringLiteral("name")).toString(), words,
                          r.value(QStringLiteral("category")).toString()) != 0 &&
             ok;
    }
    for (const QJsonValue v : seed.value(QStringLiteral("subscribe")).toArray()) {
        const uint32_t entry = entryFor(v.toString());
        ok = entry != 0 && subscribe(entry) && ok;
    }
    for (const QJsonValue v : seed.value(QStringLiteral("disabled")).toArray()) {
        const uint32_t entry = entryFor(v.toString());
        uint32_t channel = 0;
        if (entry != 0 && (lookupSubscribedChannel(entry, channel) || subscribe(entry, &channel)))
            ok = enableChannel(channel, false) && ok;
        else
            ok = false;
    }
    wake();
    if (!ok)
        return fail(QStringLiteral("seed.json names feeds or rules the catalogue does not have"));
    return true;
}

} // namespace vantrel
