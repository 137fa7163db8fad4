#pragma once
// The larger pictures: window pictures, splash, logos, About pictures, cursors, browser
// buttons, the busy animation and the application icon.

#include <QColor>
#include <QImage>
#include <QString>

namespace art::picture
{

// The glyphs of the window pictures, drawn white on a coloured tile.
enum class Motif {
    Broadcast, // channel content
    Bell,      // alerts
    Magnifier, // search
    Checklist, // channel directory
    Globe,     // browser
    Pulse,     // channel status
    Quill,     // publishing wizard
    BellBadge, // the alerts channel in the navigation bar
};
QImage windowPicture(Motif motif, const QColor& colour, int size = 48);

QImage appIcon(int size);
QImage engineEmblem(int size);
QImage runtimeCup(int size);
QImage splash();
QImage brandingLogo();
QImage channelItem(int size);

// Drag cursors: an arrow with a "can drop" or "cannot drop" badge; hot spot at (1, 1).
QImage dragCursor(bool canDrop);

// Browser buttons (25 by 25). kind: 0 back, 1 forward, 2 stop, 3 refresh, 4 print;
// state: 0 normal, 1 hot (under the mouse), 2 pressed.
QImage browserButton(int kind, int state);

// The browser's busy animation: square frames side by side.
QImage busyAnimation(int frames, int frameSize);

// Status bar pictures (16 by 16).
QImage securePicture();
QImage plainPicture();

// A channel logo for the demo feeds: a tile with the channel's initials.
QImage channelLogo(const QString& initials, const QColor& colour, int size);
// A light tile for the header band (opaque, square).
QImage headerTile(int size);
// A small picture used as an image enclosure in the demo content.
QImage demoPhoto(int w, int h);

} // namespace art::picture
