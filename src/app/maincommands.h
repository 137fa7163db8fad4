#pragma once
// The main menu and toolbar descriptions the main frame builds itself from, and the names of
// the programs and pages its commands reach. The command and string ids are shared by every
// window (src/shared/ids.h).

#include "src/framework/cmdmenu.h"
#include "src/framework/fwdefs.h"
#include "src/shared/ids.h"

class CMDIFrameWnd;

#include <QKeySequence>
#include <QString>
#include <functional>
#include <vector>

// The build text of the About box.
constexpr char READHALL_BUILD[] = "5134R";
// The engine's own window, brought forward by Channel Status.
constexpr char QSENGINE_NOTIFICATIONS_CLASS[] = "QSENGINE_NOTIFICATIONS";
// The sibling programs, looked for beside the program file.
constexpr char TICKER_PROGRAM[] = "crawler.exe";
constexpr char TITLESTRIP_PROGRAM[] = "titlestrip.exe";
constexpr char SCREENSAVER_PROGRAM[] = "saverhost.exe";
// The web home page used when "HomePageURL" is empty and the engine has no welcome page.
constexpr char READHALL_DEFAULT_HOME_PAGE[] = "https://www.vantrel.example/readhall/";

// The home page used when "HomePageURL" is empty: the engine's welcome page
// ("readhall.htm" in its data directory) when there is one, else the web home page.
QString DefaultHomePage();
// Replay Last shows at most this many characters of the animation's name.
constexpr int REPLAY_NAME_MAX = 30;

// The main menu, in menu order, with every item's text and access key.
std::vector<CMenuItem> MainMenuDescription();
// A command's keys, shown beside it in the menus. A key that the story lists take themselves
// (Enter opens, Delete deletes the selected stories) is only shown: pressed elsewhere, in a
// text field or a web page, it keeps its usual meaning.
struct CommandShortcut {
    UINT id;
    QKeySequence keys;
    bool shownOnly;
};
std::vector<CommandShortcut> MainCommandShortcuts();
// Updates every enabled channel; no menu item of its own.
QKeySequence UpdateAllChannelsKeys();
// Gives the frame's command actions their keys, and the frame the key that updates every
// channel (calling updateAll).
void AssignCommandShortcuts(CMDIFrameWnd* frame, const std::function<void()>& updateAll);

// The toolbar's buttons in order; ID_SEPARATOR stands for a separator.
std::vector<UINT> MainToolbarButtons();
// The status bar's panes in order.
std::vector<UINT> MainStatusPanes();

// The Replay Last item text for an animation name: trimmed; more than 30 characters become
// the first 30 and "..."; an empty name is replaced by the fallback (the channel's name).
QString ReplayMenuText(const QString& animationName, const QString& fallbackName);
