// Draws every bitmap of the program (resources/bitmaps/<id>.png), the application icon and
// the pictures of the demo content, and writes the list of bitmaps
// (resources/bitmaps/README.md).
//
// Usage: readhall_artwork <repository root>

#include "icons.h"
#include "paint.h"
#include "pictures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <functional>
#include <vector>

using namespace art;

namespace
{

struct Entry {
    int id;
    QString size;
    QString meaning;
    QString transparency;
};

std::vector<Entry> g_manifest;
QString g_root;

void put(int id, const QImage& img, const QString& meaning, const QString& transparency)
{
    save(img, QStringLiteral("%1/resources/bitmaps/%2.png").arg(g_root).arg(id));
    g_manifest.push_back(
        {id, QStringLiteral("%1x%2").arg(img.width()).arg(img.height()), meaning, transparency});
}

// A strip of equal cells, each drawn by `cell` with the painter's origin at the cell.
QImage strip(int cells, int w, int h, const std::function<void(QPainter&, int)>& cell)
{
    QImage img = canvas(cells * w, h);
    QPainter p(&img);
    begin(p);
    for (int i = 0; i < cells; ++i) {
        p.save();
        p.translate(i * w, 0);
        p.setClipRect(QRect(0, 0, w, h));
        cell(p, i);
        p.restore();
    }
    return img;
}

void scaledGlyph(QPainter& p, const QRectF& box, const std::function<void(QPainter&)>& draw)
{
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 16.0, box.height() / 16.0);
    draw(p);
    p.restore();
}

// Toolbar: one 16 by 15 cell per button, in the toolbar's order.
QImage toolbarStrip()
{
    return strip(16, 16, 15, [](QPainter& p, int i) {
        switch (i) {
        case 0:
            glyph::refresh(p);
            break;
        case 1:
            glyph::properties(p);
            break;
        case 2:
        case 3: {
            scaledGlyph(p, QRectF(0, 0, 14, 14), [](QPainter& q) { glyph::channel(q); });
            if (i == 2) {
                glyph::plusBadge(p, QRectF(8.5, 7.5, 7.5, 7.5));
            } else {
                QPainterPath c;
                c.addEllipse(QPointF(12.2, 11.2), 3.6, 3.6);
                halo(p, c, 0.7);
                shape(p, c, pal::red, pal::darkRed, 0.8);
                p.setPen(outline(pal::paper, 1.3));
                p.drawLine(QPointF(10.2, 11.2), QPointF(14.2, 11.2));
            }
            break;
        }
        case 4:
            glyph::play(p);
            break;
        case 5:
            glyph::stop(p);
            break;
        case 6:
            glyph::fullStory(p);
            break;
        case 7:
            glyph::summary(p);
            break;
        case 8:
            glyph::trash(p);
            break;
        case 9:
            glyph::padlock(p, QRectF(3, 1, 10, 13.5));
            break;
        case 10:
            glyph::download(p);
            break;
        case 11:
            glyph::unreadOnly(p);
            break;
        case 12:
            glyph::markAllRead(p);
            break;
        case 13:
            glyph::expandBrowser(p);
            break;
        case 14:
            glyph::statusBars(p);
            break;
        default:
            glyph::help(p);
            break;
        }
    });
}

// Headline images: 32 cells of 24 by 16, content kind in the left 16 pixels, the kept
// padlock and the signed key in the right 8.
QImage headlineStrip()
{
    return strip(32, 24, 16, [](QPainter& p, int i) {
        const int base = i % 8;
        const bool kept = i & 8;
        const bool sign = i & 16;
        switch (base) {
        case 0:
            glyph::filmStrip(p);
            break;
        case 1:
            glyph::pictureSheet(p);
            break;
        case 2:
            glyph::loudspeaker(p);
            break;
        case 3:
            glyph::diskette(p);
            break;
        default:
            glyph::newsPage(p);
            break;
        }
        if (base == 5 || base == 7)
            glyph::plusBadge(p, QRectF(9.5, 9, 6.5, 6.5));
        if (base == 6 || base == 7)
            glyph::downArrowBadge(p, QRectF(11, 0.5, 5, 7.5));
        if (sign)
            glyph::key(p, QRectF(16, kept ? 0 : 4, 8, 8));
        if (kept)
            glyph::padlock(p, QRectF(16.5, sign ? 7.5 : 3.5, 7, 8.5));
    });
}

// The channel folder tree's 14 cells.
QImage folderTreeStrip()
{
    return strip(14, 16, 16, [](QPainter& p, int i) {
        const QRectF crossBox(0, 7, 9, 9);
        const QRectF funnelBox(9, 8, 7, 8);
        const QRectF keyBox(8, 0, 8, 8);
        switch (i) {
        case 0:
        case 1:
            glyph::folder(p, i == 1);
            return;
        case 10:
            glyph::gem(p);
            return;
        case 11:
            glyph::dot(p);
            return;
        case 12:
            glyph::blackCross(p);
            return;
        case 13:
            glyph::redFlag(p);
            return;
        default:
            break;
        }
        // 2 to 9: a channel; odd cells are disabled, 4/5 and 8/9 filtered, 6 to 9 secure
        const bool disabled = (i % 2) == 1;
        const bool filtered = i == 4 || i == 5 || i == 8 || i == 9;
        const bool secure = i >= 6;
        glyph::channel(p, !disabled);
        if (secure)
            glyph::key(p, keyBox);
        if (filtered)
            glyph::funnel(p, funnelBox);
        if (disabled)
            glyph::redCross(p, crossBox);
    });
}

// The directory window's category tree: 8 cells, pure red transparent.
QImage categoryStrip()
{
    return strip(8, 16, 16, [](QPainter& p, int i) {
        glyph::folder(p, i % 2 == 1);
        if (i == 2 || i == 3)
            glyph::tick(p, QRectF(6, 5, 10, 10), pal::blue);
        else if (i == 4 || i == 5)
            glyph::redCross(p, QRectF(6, 6, 10, 10));
        else if (i == 6 || i == 7)
            glyph::tick(p, QRectF(6, 5, 10, 10), pal::darkRed);
    });
}

// "NEW" in a 5-pixel-high letter grid.
void drawNew(QPainter& p, qreal x, qreal y)
{
    static const char* letters[3][5] = {
        {"1001", "1101", "1011", "1001", "1001"},
        {"111", "100", "110", "100", "111"},
        {"10001", "10001", "10101", "10101", "01010"},
    };
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(pal::paper);
    for (int l = 0; l < 3; ++l) {
        const int w = int(strlen(letters[l][0]));
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < w; ++c)
                if (letters[l][r][c] == '1')
                    p.drawRect(QRectF(x + c, y + r, 1, 1));
        x += w + 1;
    }
    p.restore();
}

// One picture of the directory list: index bits 2 subscribed (ticked box), 1 clock, 4 NEW,
// 8 blue down arrow, 16 gold frame around the box.
QImage directoryImage(int index)
{
    QImage img = canvas(56, 16);
    QPainter p(&img);
    begin(p);
    QPainterPath box;
    box.addRoundedRect(QRectF(1.5, 1.5, 12, 12), 2, 2);
    const bool gold = index & 16;
    shape(p, box, pal::paper, gold ? pal::goldDark : pal::greyDark, gold ? 1.6 : 1.0);
    if (index & 2) {
        QPainterPath t;
        t.moveTo(4, 7.5);
        t.lineTo(6.5, 10.5);
        t.lineTo(11.2, 4);
        p.setBrush(Qt::NoBrush);
        p.setPen(outline(pal::blueDark, 2));
        p.drawPath(t);
    }
    if (index & 1)
        glyph::clock(p, QRectF(16, 2, 11, 11));
    if (index & 8)
        glyph::downArrowBadge(p, QRectF(28.5, 2, 7.5, 11.5));
    if (index & 4) {
        p.setPen(Qt::NoPen);
        p.setBrush(pal::orange);
        p.drawRoundedRect(QRectF(37, 3, 18, 10), 3, 3);
        drawNew(p, 39, 5.5);
    }
    return img;
}

const int kDirectoryImageIds[32] = {25028, 25032, 25035, 25040, 25030, 25034, 25038, 25041,
                                    25502, 25504, 25506, 25508, 25503, 25505, 25507, 25509,
                                    25510, 25514, 25518, 25522, 25512, 25516, 25520, 25524,
                                    25511, 25515, 25519, 25523, 25513, 25517, 25521, 25525};

QString directoryMeaning(int index)
{
    QStringList parts;
    parts << ((index & 2) ? QStringLiteral("ticked box") : QStringLiteral("empty box"));
    if (index & 1)
        parts << QStringLiteral("clock");
    if (index & 4)
        parts << QStringLiteral("NEW");
    if (index & 8)
        parts << QStringLiteral("blue down arrow");
    if (index & 16)
        parts << QStringLiteral("gold frame");
    return QStringLiteral("directory list image %1: %2")
        .arg(index)
        .arg(parts.join(QStringLiteral(", ")));
}

void writeReadme()
{
    QFile f(g_root + QStringLiteral("/resources/bitmaps/README.md"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write README.md\n");
        std::exit(1);
    }
    std::sort(g_manifest.begin(), g_manifest.end(),
              [](const Entry& a, const Entry& b) { return a.id < b.id; });
    QTextStream out(&f);
    out << "# Bitmaps\n\n"
           "Every picture the program loads by resource id, as `:/bitmaps/<id>.png`. They are\n"
           "drawn by `scripts/artwork` (a small Qt program); change the drawing there and run it\n"
           "again rather than editing a PNG by hand.\n\n"
           "Transparency: \"alpha\" pictures carry a real alpha channel. \"magenta\" and \"red\"\n"
           "pictures are opaque and use the key colour RGB 255,0,255 or RGB 255,0,0 for the\n"
           "transparent parts (no drawn pixel has the key colour), so image lists that mask by\n"
           "colour work; `QBitmap mask = QPixmap::fromImage(img).createMaskFromColor(key)` or\n"
           "`QImage::createMaskFromColor` gives the mask. \"opaque\" pictures have no "
           "transparency.\n\n"
           "Strips are cut left to right into equal cells.\n\n"
           "| Id | Size | Meaning | Transparent |\n|---|---|---|---|\n";
    for (const Entry& e : g_manifest)
        out << "| " << e.id << " | " << e.size << " | " << e.meaning << " | " << e.transparency
            << " |\n";
    out << "\nNotes:\n\n"
           "- 128 toolbar cells, in order: Update Now, Properties, Subscribe, Unsubscribe, Play, "
           "Stop, Full Story, Summary, Delete, Keep, Download Story, View Unread Items Only, Mark "
           "All as Read, Expand Embedded Browser, Channel Status, Help Contents.\n"
           "- 16075 headline cells: index = kind + 8 when kept + 16 when signed; kinds 0 film "
           "strip, 1 picture sheet, 2 loudspeaker, 3 diskette, 4 news page, 5 page with plus "
           "(summary), 6 page with down arrow (local copy), 7 page with both. The padlock (kept) "
           "and the key (signed) sit in the cell's right 8 pixels.\n"
           "- 16122 folder tree cells: 0 closed folder, 1 open folder, 2 channel, 3 channel with "
           "red cross, 4 channel with funnel, 5 funnel and red cross, 6 channel with key, 7 key "
           "and red cross, 8 key and funnel, 9 key, funnel and red cross, 10 blue gem, 11 dot, "
           "12 black cross, 13 red flag. Disabled channels are also drawn grey.\n"
           "- 16120 category tree cells (directory window): 0/1 closed/open folder, 2/3 with a "
           "blue tick, 4/5 with a red cross, 6/7 with a dark red tick (the \"Premier\" "
           "category).\n"
           "- Directory list images (25028 ... 25525): index = 2 subscribed (ticked box) + 1 home "
           "server (clock) + 4 new (NEW) + 8 channel-state bit (blue arrow) + 16 premier (gold "
           "frame); the table gives each id its index. The box is at x 1 to 14, so a click at "
           "x < 16 is a click on the check box.\n"
           "- 131 to 145 browser buttons, three per button (normal, hot, pressed): Back 134, 136, "
           "141; Forward 135, 137, 142; Stop 131, 138, 145; Refresh 132, 139, 144; Print 133, 140, "
           "143.\n"
           "- 156 busy animation: square frames side by side (frame count = width / height), "
           "played left to right in a loop, about 80 ms a frame.\n"
           "- 151 and 152 drag cursors: hot spot at (1, 1), the arrow's tip.\n"
           "- The application icon is `resources/readhall.png` (256x256) with smaller sizes in "
           "`resources/icons/`.\n";
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <repository root>\n", argv[0]);
        return 2;
    }
    g_root = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    using picture::Motif;
    const QString alpha = QStringLiteral("alpha");
    const QString magenta = QStringLiteral("magenta");

    put(128, keyed(toolbarStrip(), keyMagenta), QStringLiteral("toolbar strip, 16 cells of 16x15"),
        magenta);
    put(16075, keyed(headlineStrip(), keyMagenta),
        QStringLiteral("headline images, 32 cells of 24x16"), magenta);
    put(16122, keyed(folderTreeStrip(), keyMagenta),
        QStringLiteral("channel folder tree images, 14 cells of 16x16 (also the search scope box)"),
        magenta);
    put(16120, keyed(categoryStrip(), keyRed),
        QStringLiteral("category tree images of the channel directory, 8 cells of 16x16"),
        QStringLiteral("red"));
    for (int i = 0; i < 32; ++i)
        put(kDirectoryImageIds[i], keyed(directoryImage(i), keyMagenta), directoryMeaning(i),
            magenta);

    put(163, picture::securePicture(), QStringLiteral("status bar: secure channel (padlock)"),
        alpha);
    put(25535, picture::plainPicture(),
        QStringLiteral("status bar: plain channel (faint open padlock)"), alpha);

    put(147, picture::windowPicture(Motif::Broadcast, pal::blue),
        QStringLiteral("channel content picture (header before a channel is chosen, navigation "
                       "bar item)"),
        alpha);
    put(149, picture::windowPicture(Motif::Bell, pal::orange),
        QStringLiteral("alerts picture (alerts header, navigation bar item)"), alpha);
    put(16076, picture::windowPicture(Motif::Magnifier, pal::purple),
        QStringLiteral("search picture (header, navigation bar item)"), alpha);
    put(16077, picture::windowPicture(Motif::Checklist, pal::teal),
        QStringLiteral("channel directory picture (header, navigation bar item)"), alpha);
    put(16078, picture::windowPicture(Motif::Globe, QColor(0x1E, 0x90, 0xC8)),
        QStringLiteral("browser window picture (header)"), alpha);
    put(16079, picture::windowPicture(Motif::Pulse, pal::green),
        QStringLiteral("channel status picture (header)"), alpha);
    put(25534, picture::windowPicture(Motif::Quill, pal::rose),
        QStringLiteral("publishing wizard picture (header, navigation bar item)"), alpha);
    put(158, picture::channelItem(48), QStringLiteral("navigation bar: a channel without a logo"),
        alpha);
    put(161, picture::windowPicture(Motif::BellBadge, pal::red),
        QStringLiteral("navigation bar: the alerts channel"), alpha);

    put(153, picture::splash(), QStringLiteral("splash screen"), QStringLiteral("opaque"));
    put(154, picture::brandingLogo(),
        QStringLiteral("navigation bar branding logo (logo area above the groups)"), alpha);
    put(157, picture::appIcon(56), QStringLiteral("About box: program picture (upper place)"),
        alpha);
    put(164, picture::engineEmblem(56),
        QStringLiteral("About box: Vantrel engine emblem (lower place)"), alpha);
    put(405, picture::runtimeCup(48), QStringLiteral("About Java picture"), alpha);
    put(151, picture::dragCursor(true), QStringLiteral("drag cursor: can drop"), alpha);
    put(152, picture::dragCursor(false), QStringLiteral("drag cursor: cannot drop"), alpha);

    const int buttonIds[5][3] = {
        {134, 136, 141}, {135, 137, 142}, {131, 138, 145}, {132, 139, 144}, {133, 140, 143}};
    const char* buttonNames[5] = {"Back", "Forward", "Stop", "Refresh", "Print"};
    const char* stateNames[3] = {"normal", "hot", "pressed"};
    for (int b = 0; b < 5; ++b)
        for (int s = 0; s < 3; ++s)
            put(buttonIds[b][s], picture::browserButton(b, s),
                QStringLiteral("browser button %1, %2").arg(buttonNames[b], stateNames[s]), alpha);
    put(156, picture::busyAnimation(12, 27),
        QStringLiteral("browser busy animation, 12 frames of 27x27"), alpha);

    // Application icon.
    save(picture::appIcon(256), g_root + QStringLiteral("/resources/readhall.png"));
    for (int s : {16, 24, 32, 48, 64, 128, 256})
        save(picture::appIcon(s),
             QStringLiteral("%1/resources/icons/readhall-%2.png").arg(g_root).arg(s));

    // Demo content: channel logos and an image enclosure.
    struct Logo {
        const char* stem;
        const char* initials;
        QColor colour;
    };
    const Logo logos[] = {
        {"harbour-gazette", "HG", QColor(0x1F, 0x5F, 0xBF)},
        {"meridian-wire", "MW", QColor(0xC0, 0x39, 0x2B)},
        {"skyward-weather", "SW", QColor(0x1E, 0x90, 0xC8)},
        {"ledger-street", "LS", QColor(0x1B, 0x80, 0x46)},
        {"tidewater-bulletin", "TB", QColor(0x27, 0x3C, 0x63)},
        {"circuit-notes", "CN", QColor(0x7B, 0x61, 0xFF)},
        {"fairway-court", "F&C", QColor(0x2E, 0x8B, 0x57)},
        {"sixty-four-squares", "64", QColor(0x3A, 0x3A, 0x44)},
        {"reel-and-remote", "R&R", QColor(0xD9, 0x46, 0x8C)},
        {"marquee-weekly", "MQ", QColor(0xE0, 0x7A, 0x1F)},
        {"copper-kettle", "CK", QColor(0xB8, 0x6B, 0x3A)},
        {"greenhouse-journal", "GJ", QColor(0x4C, 0x9A, 0x2A)},
        {"northwind-travel", "NT", QColor(0x12, 0xA1, 0x94)},
        {"pocket-astronomer", "PA", QColor(0x3B, 0x3F, 0x8F)},
        {"bright-lab", "BL", QColor(0xB8, 0x80, 0x10)},
    };
    for (const Logo& l : logos)
        save(picture::channelLogo(QString::fromLatin1(l.initials), l.colour, 48),
             QStringLiteral("%1/data/demo/logos/%2.png").arg(g_root, QString::fromLatin1(l.stem)));
    save(picture::engineEmblem(48),
         g_root + QStringLiteral("/data/demo/logos/vantrel-welcome.png"));
    save(picture::demoPhoto(320, 200), g_root + QStringLiteral("/data/demo/media/hillside.png"));
    // Pictures the demo's start pages show.
    save(picture::appIcon(96), g_root + QStringLiteral("/data/demo/datadir/readhall-icon.png"));
    save(picture::windowPicture(Motif::Quill, pal::rose, 96),
         g_root + QStringLiteral("/data/demo/datadir/publishing-tool-root/wizard.png"));

    // Pictures the program takes from the data directory when its settings ask for files.
    save(picture::brandingLogo().convertToFormat(QImage::Format_RGB32),
         g_root + QStringLiteral("/data/demo/datadir/logo.bmp"));
    save(picture::headerTile(64), g_root + QStringLiteral("/data/demo/datadir/channelarea.bmp"));

    writeReadme();
    std::printf("wrote %zu bitmaps\n", g_manifest.size());
    return 0;
}
