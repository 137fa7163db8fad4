// The built-in resources as the program reads them: the string table and bitmaps through the
// platform layer, the help file, and the bundled demo content through the engine's own feed
// and catalogue parsers.

#include "resources/readhall_resources.h"
#include "src/platform/resources.h"
#include "vantrel/core/feeds/feeds.h"

#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

const QString kDemo = QStringLiteral(READHALL_SOURCE_DIR "/data/demo");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

class ContentResources : public ::testing::Test
{
protected:
    void SetUp() override
    {
        readhallInitResources();
        platform::resetStringTable();
    }
};

// ---------------------------------------------------------------------------------------
// String table

TEST_F(ContentResources, StringTableLinesAreIdTabTextWithUniqueIds)
{
    const QByteArray data = readAll(QStringLiteral(":/strings/strings.tsv"));
    ASSERT_FALSE(data.isEmpty());
    const QStringList lines = QString::fromUtf8(data).split('\n', Qt::SkipEmptyParts);
    const QRegularExpression shape(QStringLiteral("^[0-9]+\\t[^\\t]+$"));
    const QRegularExpression badEscape(QStringLiteral("\\\\[^nt\\\\]|\\\\$"));
    QSet<uint> ids;
    for (const QString& line : lines) {
        EXPECT_TRUE(shape.match(line).hasMatch()) << qPrintable(line);
        EXPECT_FALSE(badEscape.match(line).hasMatch()) << qPrintable(line);
        const uint id = line.section('\t', 0, 0).toUInt();
        EXPECT_FALSE(ids.contains(id)) << "duplicate id " << id;
        ids.insert(id);
    }
    EXPECT_EQ(platform::loadStringTable(data), lines.size());
}

TEST_F(ContentResources, QuotedTextsReadBackExactly)
{
    EXPECT_EQ(LoadString(61307), QStringLiteral("Error launching Vantrel.exe"));
    EXPECT_EQ(LoadString(57344), QStringLiteral("Readhall"));
    EXPECT_EQ(LoadString(57345), QStringLiteral("Ready"));
    EXPECT_EQ(LoadString(61215), QStringLiteral("Vantrel Readhall 5.0        (Build %s)"));
    EXPECT_EQ(LoadString(61233),
              QStringLiteral("Enter a word to search for and then click the 'Find Now' button."));
    EXPECT_EQ(LoadString(61294), QStringLiteral("All Subscribed Channels"));
    EXPECT_EQ(LoadString(129), QStringLiteral("ChannelDoc"));
    EXPECT_EQ(LoadString(135), QStringLiteral("PublishingWizardDoc"));
    EXPECT_EQ(LoadString(25560), QStringLiteral("Miscellaneous"));
    // Texts of more than one line come back with real line breaks.
    EXPECT_EQ(LoadString(61247).count('\n'), 2);
    EXPECT_TRUE(
        LoadString(61247).startsWith(QStringLiteral("Cannot run attachment.\n\nMake sure")));
    EXPECT_EQ(LoadString(61228).count('\n'), 1);
}

TEST_F(ContentResources, FormatStringsCarryExactlyOnePlaceholder)
{
    for (uint id : {61215u, 61276u, 61284u, 61295u, 61296u})
        EXPECT_EQ(LoadString(id).count(QStringLiteral("%s")), 1) << id;
    EXPECT_FALSE(LoadString(61276).contains(QStringLiteral("%1")));
    EXPECT_EQ(QString(LoadString(61284)).replace(QStringLiteral("%s"), QStringLiteral("net")),
              QStringLiteral("No items containing 'net' found."));
}

TEST_F(ContentResources, EveryCommandHasStatusTextAndToolTip)
{
    const uint commands[] = {32771, 32772, 32773, 32774, 32775, 32776, 32777, 32778, 32779, 32780,
                             32781, 32782, 32784, 32785, 32786, 32788, 32794, 32795, 32798, 32799,
                             32801, 32802, 32803, 32804, 32805, 32806, 32807, 32809, 32816, 32817,
                             32818, 32819, 32820, 32822, 32823, 32824, 32825, 32826, 32827, 32828,
                             32830, 32831, 32833, 32835, 32836, 32839, 32843, 32844, 33045, 33047,
                             33048, 57642, 57664, 57667, 59392, 59393};
    for (uint id : commands) {
        const QStringList parts = LoadString(id).split('\n');
        ASSERT_EQ(parts.size(), 2) << id;
        EXPECT_FALSE(parts[0].trimmed().isEmpty()) << id;
        EXPECT_FALSE(parts[1].trimmed().isEmpty()) << id;
    }
    EXPECT_EQ(LoadString(32775), QStringLiteral("Start/stop auto-player\nStart/Stop Auto-Player"));
    EXPECT_EQ(LoadString(32805), QStringLiteral("Delete selected content\nDelete Item"));
}

TEST_F(ContentResources, UnknownStringIdGivesEmptyText)
{
    EXPECT_TRUE(LoadString(1).isEmpty());
    EXPECT_TRUE(LoadString(65535).isEmpty());
}

// ---------------------------------------------------------------------------------------
// Bitmaps

struct BitmapSize {
    uint id;
    int w;
    int h;
};

TEST_F(ContentResources, EveryBitmapTheProgramNamesExistsAtItsSize)
{
    const BitmapSize sizes[] = {
        {128, 256, 15},  {16075, 768, 16}, {16122, 224, 16}, {16120, 128, 16}, {163, 16, 16},
        {25535, 16, 16}, {16076, 48, 48},  {16077, 48, 48},  {16078, 48, 48},  {16079, 48, 48},
        {25534, 48, 48}, {147, 48, 48},    {149, 48, 48},    {158, 48, 48},    {161, 48, 48},
        {153, 480, 300}, {154, 176, 52},   {157, 56, 56},    {164, 56, 56},    {405, 48, 48},
        {151, 32, 32},   {152, 32, 32},    {156, 324, 27},
    };
    for (const BitmapSize& s : sizes) {
        const QPixmap pm = LoadBitmapResource(s.id);
        ASSERT_FALSE(pm.isNull()) << s.id;
        EXPECT_EQ(pm.width(), s.w) << s.id;
        EXPECT_EQ(pm.height(), s.h) << s.id;
    }
    for (uint id = 131; id <= 145; ++id) {
        const QPixmap pm = LoadBitmapResource(id);
        ASSERT_FALSE(pm.isNull()) << id;
        EXPECT_EQ(pm.size(), QSize(25, 25)) << id;
    }
    EXPECT_TRUE(LoadBitmapResource(7).isNull());
}

// A strip masked by colour: opaque, the key colour around every cell's drawing, and a
// drawing in every cell.
void expectKeyedStrip(uint id, int cellWidth, QRgb key)
{
    const QImage img = QImage(QStringLiteral(":/bitmaps/%1.png").arg(id));
    ASSERT_FALSE(img.isNull()) << id;
    EXPECT_FALSE(img.hasAlphaChannel()) << id;
    ASSERT_EQ(img.width() % cellWidth, 0) << id;
    for (int cell = 0; cell < img.width() / cellWidth; ++cell) {
        EXPECT_EQ(img.pixel(cell * cellWidth, 0) & 0xFFFFFF, key & 0xFFFFFF)
            << id << " cell " << cell;
        int drawn = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = cell * cellWidth; x < (cell + 1) * cellWidth; ++x)
                drawn += (img.pixel(x, y) & 0xFFFFFF) != (key & 0xFFFFFF);
        EXPECT_GT(drawn, 8) << id << " cell " << cell << " is empty";
    }
}

TEST_F(ContentResources, StripsUseTheirTransparentColour)
{
    expectKeyedStrip(128, 16, qRgb(255, 0, 255));
    expectKeyedStrip(16075, 24, qRgb(255, 0, 255));
    expectKeyedStrip(16122, 16, qRgb(255, 0, 255));
    expectKeyedStrip(16120, 16, qRgb(255, 0, 0));
}

TEST_F(ContentResources, MaskingTheKeyColourLeavesTheDrawing)
{
    const QPixmap toolbar = LoadBitmapResource(128);
    const QImage mask = toolbar.toImage().createMaskFromColor(qRgb(255, 0, 255), Qt::MaskOutColor);
    int kept = 0;
    for (int y = 0; y < mask.height(); ++y)
        for (int x = 0; x < mask.width(); ++x)
            kept += mask.pixelIndex(x, y) != 0;
    // Some pixels are drawing and some are background; neither is everything.
    EXPECT_GT(kept, mask.width() * mask.height() / 8);
    EXPECT_LT(kept, mask.width() * mask.height() * 7 / 8);
}

TEST_F(ContentResources, DirectoryListImagesAreThirtyTwoDistinctPictures)
{
    const uint ids[32] = {25028, 25032, 25035, 25040, 25030, 25034, 25038, 25041,
                          25502, 25504, 25506, 25508, 25503, 25505, 25507, 25509,
                          25510, 25514, 25518, 25522, 25512, 25516, 25520, 25524,
                          25511, 25515, 25519, 25523, 25513, 25517, 25521, 25525};
    QSet<QByteArray> seen;
    for (uint id : ids) {
        const QImage img(QStringLiteral(":/bitmaps/%1.png").arg(id));
        ASSERT_FALSE(img.isNull()) << id;
        EXPECT_EQ(img.size(), QSize(56, 16)) << id;
        EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xFF00FFu) << id;
        const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
        seen.insert(QByteArray(reinterpret_cast<const char*>(rgb.constBits()), rgb.sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), 32);
}

// ---------------------------------------------------------------------------------------
// Help and pages

TEST_F(ContentResources, HelpLinksPointAtSectionsThatExist)
{
    const QString help = QString::fromUtf8(readAll(QStringLiteral(":/help/rdhall.html")));
    ASSERT_TRUE(help.contains(QStringLiteral("<html")));
    QSet<QString> anchors;
    const QRegularExpression idAttr(QStringLiteral("id=\"([^\"]+)\""));
    for (auto it = idAttr.globalMatch(help); it.hasNext();)
        anchors.insert(it.next().captured(1));
    const QRegularExpression local(QStringLiteral("href=\"#([^\"]+)\""));
    int links = 0;
    for (auto it = local.globalMatch(help); it.hasNext(); ++links) {
        const QString target = it.next().captured(1);
        EXPECT_TRUE(anchors.contains(target)) << qPrintable(target);
    }
    EXPECT_GE(links, 10);
}

TEST_F(ContentResources, BrowserWindowHomePageIsBuiltIn)
{
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(":/pages/ReadHall.htm")));
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral(":/icons/readhall.png")));
    EXPECT_EQ(QImage(QStringLiteral(":/icons/readhall-32.png")).size(), QSize(32, 32));
}

// ---------------------------------------------------------------------------------------
// Demo content

QString localFile(const QString& url)
{
    return QUrl(url).toLocalFile();
}

vantrel::feeds::OpmlResult demoCatalogue()
{
    const QString path = kDemo + QStringLiteral("/directory.opml");
    return vantrel::feeds::parseOpml(readAll(path), QUrl::fromLocalFile(path));
}

TEST(ContentDemo, CatalogueOffersNestedChannelsWithEveryKindOfEntry)
{
    const auto cat = demoCatalogue();
    ASSERT_TRUE(cat.ok) << qPrintable(cat.error);
    ASSERT_GE(cat.entries.size(), 15u);
    const QDateTime reference(QDate(2026, 12, 6), QTime(12, 0), Qt::UTC);
    int uncategorised = 0, twoCategories = 0, slashInName = 0, nested = 0, recent = 0, old = 0;
    QMap<QString, int> flags;
    QMap<QString, int> pathUse;
    for (const auto& e : cat.entries) {
        EXPECT_TRUE(QFileInfo::exists(localFile(e.feedUrl))) << qPrintable(e.feedUrl);
        EXPECT_TRUE(QFileInfo::exists(localFile(e.homePage))) << qPrintable(e.homePage);
        EXPECT_FALSE(e.description.isEmpty()) << qPrintable(e.title);
        ASSERT_TRUE(e.created.isValid()) << qPrintable(e.title);
        (e.created.secsTo(reference) < 7 * 24 * 3600 ? recent : old)++;
        uncategorised += e.categoryPaths.isEmpty();
        twoCategories += e.categoryPaths.size() == 2;
        for (const QString& p : e.categoryPaths) {
            slashInName += p.contains(QStringLiteral("&slash;"));
            nested += p.contains('/');
            pathUse[p]++;
        }
        for (const char* name :
             {"vantrel:homeServer", "vantrel:secure", "vantrel:filter", "vantrel:premier"}) {
            if (!e.attributes.value(QString::fromLatin1(name)).isEmpty())
                flags[QString::fromLatin1(name)]++;
        }
    }
    EXPECT_EQ(uncategorised, 1);
    EXPECT_EQ(twoCategories, 1);
    EXPECT_GE(slashInName, 1);
    EXPECT_GE(nested, 5);
    EXPECT_GE(recent, 2);
    EXPECT_GE(old, 8);
    EXPECT_GE(std::count_if(pathUse.cbegin(), pathUse.cend(), [](int n) { return n > 1; }), 1);
    for (const char* name :
         {"vantrel:homeServer", "vantrel:secure", "vantrel:filter", "vantrel:premier"})
        EXPECT_EQ(flags.value(QString::fromLatin1(name)), 1) << name;
}

TEST(ContentDemo, EveryFeedParsesWithStoriesPagesAndEnclosures)
{
    const auto cat = demoCatalogue();
    ASSERT_TRUE(cat.ok);
    const QDateTime newest(QDate(2026, 12, 6), QTime(23, 59), Qt::UTC);
    const QDateTime oldest(QDate(2026, 11, 21), QTime(0, 0), Qt::UTC);
    QSet<QString> mimeTypes;
    int rss = 0, atom = 0, withSubChannels = 0;
    for (const auto& e : cat.entries) {
        const QString path = localFile(e.feedUrl);
        const QByteArray data = readAll(path);
        (data.contains("<rss") ? rss : atom)++;
        const auto parsed = vantrel::feeds::parseFeed(data, QUrl::fromLocalFile(path));
        ASSERT_TRUE(parsed.ok) << qPrintable(path) << ": " << qPrintable(parsed.error);
        const auto& items = parsed.feed.items;
        EXPECT_GE(items.size(), 10u) << qPrintable(path);
        EXPECT_LE(items.size(), 40u) << qPrintable(path);
        EXPECT_TRUE(QFileInfo::exists(localFile(parsed.feed.logoUrl))) << qPrintable(path);
        bool sub = false;
        for (const auto& item : items) {
            EXPECT_FALSE(item.headline.isEmpty());
            EXPECT_FALSE(item.summary.isEmpty()) << qPrintable(item.headline);
            EXPECT_TRUE(QFileInfo::exists(localFile(item.link))) << qPrintable(item.link);
            EXPECT_TRUE(item.published >= oldest && item.published <= newest)
                << qPrintable(item.headline);
            sub = sub || !item.categories.isEmpty();
            if (!item.enclosure.url.isEmpty()) {
                const QFileInfo file(localFile(item.enclosure.url));
                EXPECT_TRUE(file.exists()) << qPrintable(item.enclosure.url);
                EXPECT_EQ(item.enclosure.length, file.size()) << qPrintable(item.enclosure.url);
                mimeTypes.insert(item.enclosure.mimeType.section('/', 0, 0));
            }
        }
        withSubChannels += sub;
    }
    EXPECT_GE(rss, 3);
    EXPECT_GE(atom, 3);
    EXPECT_GE(withSubChannels, 3);
    EXPECT_EQ(mimeTypes, (QSet<QString>{QStringLiteral("video"), QStringLiteral("image"),
                                        QStringLiteral("audio"), QStringLiteral("application")}));
}

TEST(ContentDemo, SeedNamesCatalogueFeedsAndRulesThatMatchHeadlines)
{
    const auto cat = demoCatalogue();
    ASSERT_TRUE(cat.ok);
    QJsonParseError error;
    const QJsonObject seed =
        QJsonDocument::fromJson(readAll(kDemo + QStringLiteral("/seed.json")), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << qPrintable(error.errorString());

    QSet<QString> catalogueFeeds;
    for (const auto& e : cat.entries)
        catalogueFeeds.insert(QFileInfo(localFile(e.feedUrl)).canonicalFilePath());
    auto feedPath = [](const QJsonValue& v) {
        return QFileInfo(kDemo + QLatin1Char('/') + v.toString()).canonicalFilePath();
    };
    QSet<QString> subscribed;
    for (const QJsonValue v : seed.value(QStringLiteral("subscribe")).toArray()) {
        EXPECT_TRUE(catalogueFeeds.contains(feedPath(v))) << qPrintable(v.toString());
        subscribed.insert(feedPath(v));
    }
    const int left = catalogueFeeds.size() - subscribed.size();
    EXPECT_GE(left, 3);
    EXPECT_LE(left, 4);
    const QJsonArray disabled = seed.value(QStringLiteral("disabled")).toArray();
    ASSERT_EQ(disabled.size(), 1);
    EXPECT_TRUE(subscribed.contains(feedPath(disabled.at(0))));

    // Every rule's words appear in a headline of a subscribed feed, in the rule's category
    // when it names one.
    const QJsonArray rules = seed.value(QStringLiteral("alertRules")).toArray();
    EXPECT_GE(rules.size(), 2);
    for (const QJsonValue r : rules) {
        const QString category = r.toObject().value(QStringLiteral("category")).toString();
        bool hit = false;
        for (const QString& path : subscribed) {
            const auto parsed = vantrel::feeds::parseFeed(readAll(path), QUrl::fromLocalFile(path));
            for (const auto& item : parsed.feed.items) {
                for (const QJsonValue w : r.toObject().value(QStringLiteral("words")).toArray()) {
                    if (item.headline.contains(w.toString(), Qt::CaseInsensitive) &&
                        (category.isEmpty() || item.categories.contains(category)))
                        hit = true;
                }
            }
        }
        EXPECT_TRUE(hit) << qPrintable(r.toObject().value(QStringLiteral("name")).toString());
    }
}

// Relative addresses (href and src) of a page that are meant to resolve inside the data.
void expectLocalLinksResolve(const QString& pagePath, const QString& base)
{
    const QString page = QString::fromUtf8(readAll(pagePath));
    const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"#:]+)\""));
    for (auto it = ref.globalMatch(page); it.hasNext();) {
        const QString target = it.next().captured(1);
        EXPECT_TRUE(QFileInfo::exists(QDir(base).filePath(target)))
            << qPrintable(pagePath) << " -> " << qPrintable(target);
    }
}

TEST(ContentDemo, StartPagesAndStoryPagesLinkOnlyToFilesThatExist)
{
    // The engine copies datadir/ to the data directory's root and the demo to <data>/demo, so
    // start pages reach the demo as "demo/...".
    const QString scratch = QDir::tempPath() + QStringLiteral("/readhall-demo-links");
    QDir(scratch).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(scratch));
    ASSERT_TRUE(QFile::link(kDemo, scratch + QStringLiteral("/demo")));
    for (const char* page : {"readhall.htm", "browser.htm", "publishing-tool-root/top.htm"}) {
        const QString path = kDemo + QStringLiteral("/datadir/") + QString::fromLatin1(page);
        ASSERT_TRUE(QFileInfo::exists(path)) << page;
        const QString dir = QFileInfo(path).absolutePath();
        // a start page's own files sit beside it; links into the demo go through the copy
        const QString page2 = QString::fromUtf8(readAll(path));
        const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"#:]+)\""));
        for (auto it = ref.globalMatch(page2); it.hasNext();) {
            const QString target = it.next().captured(1);
            const QString where = target.startsWith(QStringLiteral("demo/"))
                                      ? QDir(scratch).filePath(target)
                                      : QDir(dir).filePath(target);
            EXPECT_TRUE(QFileInfo::exists(where)) << page << " -> " << qPrintable(target);
        }
    }
    QDir(scratch).removeRecursively();

    int pages = 0;
    QDirIterator it(kDemo + QStringLiteral("/pages"), {QStringLiteral("*.html")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        expectLocalLinksResolve(path, QFileInfo(path).absolutePath());
        ++pages;
    }
    EXPECT_GE(pages, 160);
}

TEST(ContentDemo, StaysSmall)
{
    qint64 total = 0;
    QDirIterator it(kDemo, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    EXPECT_LT(total, 3 * 1024 * 1024);
}

} // namespace
