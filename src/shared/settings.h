#pragma once
// The program's settings, each behind one typed accessor. A setting's key, value name and
// default are written once, in settings.cpp; the windows call these functions and never spell
// a key or a value name themselves. Reading a setting that is not stored yet writes its
// default into the store (ReadLayoutFlag, ReadLayoutString), so a person finds every setting
// after the first start; a stored value that cannot be read (text where a number belongs)
// reads as the default. Everything is in the current user's store unless a function says
// otherwise.

#include "src/platform/wintypes.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <vector>

namespace settings
{

// ---- key paths
// "Software\Vantrel\Vantrel\Layout": layout, locks, titles, home page, file switches.
QString layoutKeyPath();
// "Software\Vantrel\Vantrel\Settings\Readhall": the program's view settings.
QString readhallKeyPath();
// A sub-key of the Readhall key, for one window's settings ("...\Readhall\<name>").
QString readhallSubKeyPath(const QString& name);
// "...\Readhall\NavigationBar": the navigation bar's layout and the header picture files.
QString navigationBarKeyPath();

// ---- the application
bool showUnreadItemsOnly();
void setShowUnreadItemsOnly(bool on);
// Whether the first-run Quick Setup has been offered.
bool setupWizardDisplayed();
void setSetupWizardDisplayed(bool shown);
// Whether the splash picture comes from the engine's data folder.
bool splashFromFile();

// ---- the main frame
// The caption and the engine's name as the menus show them; empty when not set.
QString mainWindowTitle();
QString applicationName();
// The main window's stored placement: a show command and the normal rectangle. A stored
// show command of -1 means "do not restore".
enum class Placement { ShowCommand, Left, Top, Width, Height };
int windowPlacement(Placement value, int defaultValue);
void setWindowPlacement(Placement value, int number);
// The version of the bars whose layout is stored; a layout of another version is not loaded.
DWORD toolbarVersion();
void setToolbarVersion(DWORD version);
// The framework profile value that holds the bar layout.
constexpr char BAR_STATE_VALUE[] = "Bar State";
// Kept for the window manager's caption; read so that it exists.
bool gradientCaption();
// The bar locks: a locked bar takes its stored visibility and cannot be toggled.
enum class Bar { NavigationBar, Toolbar, StatusBar };
bool barLocked(Bar bar);
bool barShownWhileLocked(Bar bar);
// The address of Help > Home Page and the navigation bar's branding; empty: the default.
QString homePageUrl();

// ---- the embedded browser
bool useEmbeddedBrowser();
void setUseEmbeddedBrowser(bool on);
// While the browser is locked, the View menu's switch is disabled and new windows take
// "ViewBrowser".
bool browserLocked();
// Whether a new channel, alerts or search window shows its browser pane.
bool browserPaneForNewWindow();
// The browser pane's busy animation and start page from the engine's data folder.
bool browserAnimationFromFile();
bool browserStartPageFromFile();

// ---- the header strips
bool channelAreaFromFile();
QColor channelBackgroundColor();
QColor channelTextColor();
// The picture files the navigation bar settings name for the headers; empty: the built-in
// picture.
enum class HeaderPicture { Channel, Alert, Search, Directory, PublishingWizard };
QString headerPictureFile(HeaderPicture picture);
// Whether the channel header shows the engine's status line.
bool showChannelStatus();

// ---- the channel and alerts windows
bool showFolderList();
void setShowFolderList(bool on);
// The sizes of the folder column and the headline row, one pair for the channel window and
// one for the alerts window; a stored 0 reads as the default. The folder column's default
// shows a channel name of about 25 characters with its count two levels down in the tree.
constexpr int DEFAULT_FOLDER_WIDTH = 300;
constexpr int DEFAULT_LIST_HEIGHT = 120;
enum class ChannelPane { FolderWidth, HeadlineListHeight };
int channelPaneSize(ChannelPane pane, bool alerts);
void setChannelPaneSize(ChannelPane pane, bool alerts, int size);

// ---- the folder and category trees
bool treeHasLines();
bool expandOnStartup();
bool autoCollapse();
constexpr DWORD DEFAULT_CATEGORY_DEPTH = 99;
DWORD categoryDepth();
// The folder tree's remembered choice: a channel id (0: none) or a category path.
DWORD lastChannelSelected();
QString lastCategorySelected();
// Remembers a channel (an id other than 0) or else a category (a path that is not empty);
// whatever was remembered before is forgotten, so saving neither forgets both.
void saveFolderSelection(DWORD channelId, const QString& categoryPath);

// ---- the story lists
// The colour of stories that raised an alert.
QColor alertedTextColor();
enum class StoryList { Headlines, AlertHeadlines, SearchResults };
// The stored layout of one story list: column widths, sort column and direction.
class StoryListSettings
{
public:
    explicit StoryListSettings(StoryList list);
    const QString& keyPath() const { return m_keyPath; }
    // Column 0 defaults to 400 pixels, the others to 150.
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width) const;
    int sortColumn() const;
    void setSortColumn(int column) const;
    bool sortAscending() const;
    void setSortAscending(bool ascending) const;

private:
    QString m_keyPath;
};

// ---- the navigation bar
// "...\Readhall\NavigationBar\Layout": the user groups and the group and item open at the
// last close.
QString navigationBarLayoutKeyPath();
// Whether the bar shows the group of every channel ("DisplayAllChannelsGroup"), and then
// whether it keeps the group of views ("DisplayViewsGroup"; read only in that case).
bool displayAllChannelsGroup();
bool displayViewsGroup();
// The logo area: its colour and whether the logo comes from "logo.bmp" of the engine's folders.
QColor logoBackgroundColor();
bool useLogoFromFile();
// The item list's colours; an invalid colour means the system's (stored as 0xFFFFFFFF).
QColor navigationBarBackColor();
QColor navigationBarTextColor();
// A stored user group: its title and the channel ids of its items, in order.
struct NavigationGroup {
    QString title;
    std::vector<DWORD> channels;
};
// The user groups stored under the layout key, in order. A group whose sub-key has no "Type"
// gets "Type" 0 written; groups of another type than a user group's are passed over. False
// when the key does not exist (nothing was ever stored).
bool readNavigationGroups(const QString& keyPath, std::vector<NavigationGroup>& groups);
// The group and item open at the last close ("Last Active Group", "Last Active Entry"; 0 when
// not stored).
enum class NavigationLast { Group, Entry };
DWORD navigationLastActive(const QString& keyPath, NavigationLast which);
// Replaces everything under the layout key with the open group and item and the user groups.
void writeNavigationLayout(const QString& keyPath, DWORD lastGroup, DWORD lastEntry,
                           const std::vector<NavigationGroup>& groups);
// ---- the channel directory window
// The category pane's width ("Directory Folder Width" of the Readhall key, default 180).
constexpr int DEFAULT_DIRECTORY_FOLDER_WIDTH = 180;
int directoryFolderWidth();
void setDirectoryFolderWidth(int width);
// The directory list's layout, in the profile section "Settings" of the Readhall key:
// "Width0".."Width2" as stored (signed; defaults 200, 240, 120), "ViewFilter" (default
// 65535), "Sort1" (default 0) and "Asc1" (default 1).
int directoryColumnWidth(int column);
void setDirectoryColumnWidth(int column, int width);
DWORD directoryViewFilter();
void setDirectoryViewFilter(DWORD filter);
int directorySortColumn();
void setDirectorySortColumn(int column);
int directorySortAscending();
void setDirectorySortAscending(int ascending);
// ---- desktop notifications
// Whether new alerts are announced by a desktop notification ("Desktop Notifications" of the
// Readhall key, default on).
bool desktopNotifications();
void setDesktopNotifications(bool on);

// ---- the search window
// The results row's height in pixels while the browser pane is shown (default 120).
constexpr int DEFAULT_SEARCH_RESULTS_HEIGHT = 120;
int searchResultsListHeight();
void setSearchResultsListHeight(int height);

// ---- read only: the publishing tool and the engine's installation
// "Enabled" and "PublishingWizard" of "Software\Vantrel\Vantrel\Publishing" both nonzero;
// nothing is created when they are missing.
bool publishingToolEnabled();
// The user's "Data Path" of "SOFTWARE\Vantrel\Vantrel"; empty when not set.
QString engineDataPath();
// The engine's installation folder as the machine registers it; empty when not registered.
QString engineInstallPath();

// ---- the publishing wizard
// Registers the bundled publishing tool the way its installation would: "Enabled" and
// "PublishingWizard" 1, unless either value is stored already (a person's choice stays).
// True when it wrote them.
bool registerPublishingTool();

// ---- the main frame: the windows open at exit
// "Open Windows" of the Readhall key: the document names of the window kinds that were open
// when the program last closed ("ChannelDoc", "AlertDoc", ...), in the order they opened.
QStringList openWindows();
void setOpenWindows(const QStringList& kinds);

} // namespace settings
