#include "src/shared/settings.h"

#include "src/platform/settingsstore.h"
#include "src/shared/settingsfunctions.h"

#include <algorithm>
#include <iterator>

namespace settings
{

namespace
{

// Value names of the layout key.
constexpr char kMainWindowTitle[] = "MainWindowTitle";
constexpr char kApplicationName[] = "ApplicationName";
constexpr char kSetupWizardDisplayed[] = "SetupWizardDisplayed";
constexpr char kUseSplashFromFile[] = "UseSplashFromFile";
constexpr char kHomePageUrl[] = "HomePageURL";
constexpr char kLockBrowser[] = "LockBrowser";
constexpr char kViewBrowser[] = "ViewBrowser";
constexpr char kUseBrowserAviFromFile[] = "UseBrowserAviFromFile";
constexpr char kUseBrowserFromFile[] = "UseBrowserFromFile";
constexpr char kUseChannelAreaFromFile[] = "UseChannelAreaFromFile";
constexpr char kShowChannelStatus[] = "ShowChannelStatus";
constexpr char kTreeHasLines[] = "TreeHasLines";

// Value names of the Readhall key.
constexpr char kShowUnreadItemsOnly[] = "Show Unread Items Only";
constexpr char kToolbarVersion[] = "Toolbar Version";
constexpr char kGradientCaption[] = "Debug Enable Gradient Caption";
constexpr char kUseEmbeddedBrowser[] = "Use Embedded Browser";
constexpr char kShowFolderList[] = "Show Channel Folder List";
constexpr char kAlertedTextColor[] = "Alerted Text Color";
// The alerts window's pane sizes carry this prefix.
constexpr char kAlertPrefix[] = "Alert ";

// Value names of the folder tree's key.
constexpr char kFolderViewKey[] = "ChannelFolderView";
constexpr char kExpandOnStartup[] = "Expand on Startup";
constexpr char kAutoCollapse[] = "Auto Collapse";
constexpr char kCategoryDepth[] = "Category Depth";
constexpr char kLastChannel[] = "Last Channel Selected";
constexpr char kLastCategory[] = "Last Category Selected";

// A story list's values.
constexpr char kColumnWidth[] = "Column Width %1";
constexpr char kSortColumn[] = "Sort Column";
constexpr char kSortAscending[] = "Sort Ascending";
constexpr int kFirstColumnWidth = 400;
constexpr int kColumnWidthDefault = 150;
constexpr DWORD kSortColumnDefault = 1;

// Read-only values of other programs.
constexpr char kPublishingEnabled[] = "Enabled";
constexpr char kPublishingWizard[] = "PublishingWizard";
constexpr char kEngineKeyPath[] = "SOFTWARE\\Vantrel\\Vantrel";
constexpr char kEngineDataPath[] = "Data Path";
constexpr char kEngineAppPathKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vantrel.exe";
constexpr char kEngineAppPath[] = "Path";

// "Read a number or write its default": a value that cannot be read gives the default.
DWORD readNumber(const QString& keyPath, const QString& name, DWORD defaultValue)
{
    DWORD value = 0;
    if (!ReadLayoutFlag(HKEY_CURRENT_USER, keyPath, name, defaultValue, value))
        return defaultValue;
    return value;
}

int readSigned(const QString& keyPath, const QString& name, int defaultValue)
{
    int value = 0;
    if (!ReadLayoutFlag(HKEY_CURRENT_USER, keyPath, name, defaultValue, value))
        return defaultValue;
    return value;
}

bool readFlag(const QString& keyPath, const char* name, bool defaultValue)
{
    return readNumber(keyPath, QString::fromLatin1(name), defaultValue ? 1 : 0) != 0;
}

void writeNumber(const QString& keyPath, const QString& name, DWORD value)
{
    WriteLayoutFlag(HKEY_CURRENT_USER, keyPath, name, value);
}

void writeFlag(const QString& keyPath, const char* name, bool on)
{
    writeNumber(keyPath, QString::fromLatin1(name), on ? 1 : 0);
}

// A text setting whose default is empty; empty as well when it cannot be read.
QString readText(const QString& keyPath, const QString& name)
{
    QString text;
    ReadLayoutString(HKEY_CURRENT_USER, keyPath, name, QString(), text);
    return text;
}

// A text of another program's key, read without creating anything.
QString readForeignText(HKEY root, const char* keyPath, const char* name)
{
    platform::SettingsKey key = platform::SettingsKey::open(root, QString::fromLatin1(keyPath));
    QString text;
    if (!key || !key.readText(QString::fromLatin1(name), text))
        return QString();
    return text;
}

QString folderViewKeyPath()
{
    return readhallSubKeyPath(QString::fromLatin1(kFolderViewKey));
}

// A colour component of the layout key, at most 255.
int colourComponent(const char* name, DWORD defaultValue)
{
    return static_cast<int>(
        std::min<DWORD>(readNumber(layoutKeyPath(), QString::fromLatin1(name), defaultValue), 255));
}

// One of the header colours, its components read blue first, as the settings file has
// always listed them.
QColor layoutColour(const char* prefix, DWORD defaultValue)
{
    const QString base = QString::fromLatin1(prefix);
    const int blue = colourComponent(qPrintable(base + QLatin1Char('B')), defaultValue);
    const int green = colourComponent(qPrintable(base + QLatin1Char('G')), defaultValue);
    const int red = colourComponent(qPrintable(base + QLatin1Char('R')), defaultValue);
    return QColor(red, green, blue);
}

// Value names by enum order.
constexpr const char* kPlacementNames[] = {"WP show", "WP x", "WP y", "WP cx", "WP cy"};
constexpr const char* kLockNames[] = {"LockNavigationBar", "LockToolbar", "LockStatusBar"};
constexpr const char* kVisibilityNames[] = {"ViewNavigationBar", "ViewToolbar", "ViewStatusBar"};
constexpr const char* kHeaderPictureNames[] = {"Channel Bitmap", "Alert Bitmap", "Search Bitmap",
                                               "Directory Bitmap", "Publishing Wizard Bitmap"};
constexpr const char* kStoryListKeys[] = {"HeadlineView", "AlertHeadlineView", "SearchResultsView"};

template <class Enum, size_t N> const char* nameOf(const char* const (&names)[N], Enum value)
{
    return names[static_cast<size_t>(value)];
}

QString paneSizeName(ChannelPane pane, bool alerts)
{
    const QString name = QString::fromLatin1(
        pane == ChannelPane::FolderWidth ? "Channel Folder Width" : "Headline List Height");
    return alerts ? QString::fromLatin1(kAlertPrefix) + name : name;
}

} // namespace

// ---- key paths

QString layoutKeyPath()
{
    return QString::fromLatin1(LAYOUT_KEY_PATH);
}

QString readhallKeyPath()
{
    return SettingsKeyPath(QString::fromLatin1(READHALL_SETTINGS_NAME));
}

QString readhallSubKeyPath(const QString& name)
{
    return readhallKeyPath() + QLatin1Char('\\') + name;
}

QString navigationBarKeyPath()
{
    return readhallSubKeyPath(QStringLiteral("NavigationBar"));
}

// ---- the application

bool showUnreadItemsOnly()
{
    return readFlag(readhallKeyPath(), kShowUnreadItemsOnly, false);
}

void setShowUnreadItemsOnly(bool on)
{
    writeFlag(readhallKeyPath(), kShowUnreadItemsOnly, on);
}

bool setupWizardDisplayed()
{
    return readFlag(layoutKeyPath(), kSetupWizardDisplayed, false);
}

void setSetupWizardDisplayed(bool shown)
{
    writeFlag(layoutKeyPath(), kSetupWizardDisplayed, shown);
}

bool splashFromFile()
{
    return readFlag(layoutKeyPath(), kUseSplashFromFile, false);
}

// ---- the main frame

QString mainWindowTitle()
{
    return readText(layoutKeyPath(), QString::fromLatin1(kMainWindowTitle));
}

QString applicationName()
{
    return readText(layoutKeyPath(), QString::fromLatin1(kApplicationName));
}

int windowPlacement(Placement value, int defaultValue)
{
    return readSigned(readhallKeyPath(), QString::fromLatin1(nameOf(kPlacementNames, value)),
                      defaultValue);
}

void setWindowPlacement(Placement value, int number)
{
    WriteLayoutFlag(HKEY_CURRENT_USER, readhallKeyPath(),
                    QString::fromLatin1(nameOf(kPlacementNames, value)), number);
}

DWORD toolbarVersion()
{
    return readNumber(readhallKeyPath(), QString::fromLatin1(kToolbarVersion), 0);
}

void setToolbarVersion(DWORD version)
{
    writeNumber(readhallKeyPath(), QString::fromLatin1(kToolbarVersion), version);
}

bool gradientCaption()
{
    return readFlag(readhallKeyPath(), kGradientCaption, false);
}

bool barLocked(Bar bar)
{
    return readFlag(layoutKeyPath(), nameOf(kLockNames, bar), false);
}

bool barShownWhileLocked(Bar bar)
{
    return readFlag(layoutKeyPath(), nameOf(kVisibilityNames, bar), false);
}

QString homePageUrl()
{
    return readText(layoutKeyPath(), QString::fromLatin1(kHomePageUrl));
}

// ---- the embedded browser

bool useEmbeddedBrowser()
{
    return readFlag(readhallKeyPath(), kUseEmbeddedBrowser, false);
}

void setUseEmbeddedBrowser(bool on)
{
    writeFlag(readhallKeyPath(), kUseEmbeddedBrowser, on);
}

bool browserLocked()
{
    return readFlag(layoutKeyPath(), kLockBrowser, false);
}

bool browserPaneForNewWindow()
{
    if (browserLocked())
        return readFlag(layoutKeyPath(), kViewBrowser, false);
    return useEmbeddedBrowser();
}

bool browserAnimationFromFile()
{
    return readFlag(layoutKeyPath(), kUseBrowserAviFromFile, false);
}

bool browserStartPageFromFile()
{
    return readFlag(layoutKeyPath(), kUseBrowserFromFile, false);
}

// ---- the header strips

bool channelAreaFromFile()
{
    return readFlag(layoutKeyPath(), kUseChannelAreaFromFile, false);
}

QColor channelBackgroundColor()
{
    return layoutColour("ChannelBackgroundColor", 0);
}

QColor channelTextColor()
{
    return layoutColour("ChannelTextColor", 255);
}

QString headerPictureFile(HeaderPicture picture)
{
    return readText(navigationBarKeyPath(),
                    QString::fromLatin1(nameOf(kHeaderPictureNames, picture)));
}

bool showChannelStatus()
{
    return readFlag(layoutKeyPath(), kShowChannelStatus, true);
}

// ---- the channel and alerts windows

bool showFolderList()
{
    return readFlag(readhallKeyPath(), kShowFolderList, true);
}

void setShowFolderList(bool on)
{
    writeFlag(readhallKeyPath(), kShowFolderList, on);
}

// ---- desktop notifications

bool desktopNotifications()
{
    return readFlag(readhallKeyPath(), "Desktop Notifications", true);
}

void setDesktopNotifications(bool on)
{
    writeFlag(readhallKeyPath(), "Desktop Notifications", on);
}

int channelPaneSize(ChannelPane pane, bool alerts)
{
    const int defaultSize =
        pane == ChannelPane::FolderWidth ? DEFAULT_FOLDER_WIDTH : DEFAULT_LIST_HEIGHT;
    const DWORD size =
        readNumber(readhallKeyPath(), paneSizeName(pane, alerts), static_cast<DWORD>(defaultSize));
    return size == 0 ? defaultSize : static_cast<int>(size);
}

void setChannelPaneSize(ChannelPane pane, bool alerts, int size)
{
    writeNumber(readhallKeyPath(), paneSizeName(pane, alerts),
                static_cast<DWORD>(std::max(0, size)));
}

// ---- the folder and category trees

bool treeHasLines()
{
    return readFlag(layoutKeyPath(), kTreeHasLines, true);
}

bool expandOnStartup()
{
    return readFlag(folderViewKeyPath(), kExpandOnStartup, true);
}

bool autoCollapse()
{
    return readFlag(folderViewKeyPath(), kAutoCollapse, false);
}

DWORD categoryDepth()
{
    return readNumber(folderViewKeyPath(), QString::fromLatin1(kCategoryDepth),
                      DEFAULT_CATEGORY_DEPTH);
}

DWORD lastChannelSelected()
{
    return readNumber(folderViewKeyPath(), QString::fromLatin1(kLastChannel), 0);
}

QString lastCategorySelected()
{
    return readText(folderViewKeyPath(), QString::fromLatin1(kLastCategory));
}

void saveFolderSelection(DWORD channelId, const QString& categoryPath)
{
    const QString keyPath = folderViewKeyPath();
    platform::SettingsKey key = platform::SettingsKey::create(HKEY_CURRENT_USER, keyPath);
    if (!key)
        return;
    key.deleteValue(QString::fromLatin1(kLastChannel));
    key.deleteValue(QString::fromLatin1(kLastCategory));
    if (channelId != 0)
        writeNumber(keyPath, QString::fromLatin1(kLastChannel), channelId);
    else if (!categoryPath.isEmpty())
        WriteLayoutString(HKEY_CURRENT_USER, keyPath, QString::fromLatin1(kLastCategory),
                          categoryPath);
}

// ---- the story lists

QColor alertedTextColor()
{
    // A colour reference: 0x00BBGGRR; the default is red.
    const DWORD ref = readNumber(readhallKeyPath(), QString::fromLatin1(kAlertedTextColor), 255);
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

StoryListSettings::StoryListSettings(StoryList list)
    : m_keyPath(readhallSubKeyPath(QString::fromLatin1(nameOf(kStoryListKeys, list))))
{
}

int StoryListSettings::columnWidth(int column) const
{
    const int defaultWidth = column == 0 ? kFirstColumnWidth : kColumnWidthDefault;
    return static_cast<int>(readNumber(m_keyPath, QString::fromLatin1(kColumnWidth).arg(column),
                                       static_cast<DWORD>(defaultWidth)));
}

void StoryListSettings::setColumnWidth(int column, int width) const
{
    writeNumber(m_keyPath, QString::fromLatin1(kColumnWidth).arg(column),
                static_cast<DWORD>(std::max(0, width)));
}

int StoryListSettings::sortColumn() const
{
    return static_cast<int>(
        readNumber(m_keyPath, QString::fromLatin1(kSortColumn), kSortColumnDefault));
}

void StoryListSettings::setSortColumn(int column) const
{
    writeNumber(m_keyPath, QString::fromLatin1(kSortColumn), static_cast<DWORD>(column));
}

bool StoryListSettings::sortAscending() const
{
    return readFlag(m_keyPath, kSortAscending, false);
}

void StoryListSettings::setSortAscending(bool ascending) const
{
    writeFlag(m_keyPath, kSortAscending, ascending);
}

// ---- the navigation bar

namespace
{

constexpr char kNavigationLayoutKey[] = "Layout";
constexpr char kDisplayAllChannelsGroup[] = "DisplayAllChannelsGroup";
constexpr char kDisplayViewsGroup[] = "DisplayViewsGroup";
constexpr char kUseLogoFromFile[] = "UseLogoFromFile";
constexpr char kNavigationBackColor[] = "Back Color";
constexpr char kNavigationTextColor[] = "Text Color";
constexpr char kLastActiveGroup[] = "Last Active Group";
constexpr char kLastActiveEntry[] = "Last Active Entry";
constexpr char kGroupValue[] = "Group %1";
constexpr char kGroupType[] = "Type";
constexpr char kGroupItem[] = "Item %1";
// The type a stored user group carries.
constexpr DWORD kUserGroupType = 3;
// A stored group title is read up to this many characters.
constexpr int kGroupTitleLength = 256;
// The item colours' "system colour" value.
constexpr DWORD kSystemColour = 0xFFFFFFFFu;

// A colour reference of the navigation bar's key (0x00BBGGRR); invalid for the system colour.
QColor navigationColour(const char* name)
{
    const DWORD ref = readNumber(navigationBarKeyPath(), QString::fromLatin1(name), kSystemColour);
    if (ref == kSystemColour)
        return QColor();
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

} // namespace

QString navigationBarLayoutKeyPath()
{
    return navigationBarKeyPath() + QLatin1Char('\\') + QString::fromLatin1(kNavigationLayoutKey);
}

bool displayAllChannelsGroup()
{
    return readFlag(layoutKeyPath(), kDisplayAllChannelsGroup, false);
}

bool displayViewsGroup()
{
    return readFlag(layoutKeyPath(), kDisplayViewsGroup, true);
}

QColor logoBackgroundColor()
{
    const int red = colourComponent("LogoBackgroundColorR", 0);
    const int green = colourComponent("LogoBackgroundColorG", 0);
    const int blue = colourComponent("LogoBackgroundColorB", 0);
    return QColor(red, green, blue);
}

bool useLogoFromFile()
{
    return readFlag(layoutKeyPath(), kUseLogoFromFile, false);
}

QColor navigationBarBackColor()
{
    return navigationColour(kNavigationBackColor);
}

QColor navigationBarTextColor()
{
    return navigationColour(kNavigationTextColor);
}

bool readNavigationGroups(const QString& keyPath, std::vector<NavigationGroup>& groups)
{
    groups.clear();
    const platform::SettingsKey key = platform::SettingsKey::open(HKEY_CURRENT_USER, keyPath);
    if (!key)
        return false;
    for (int n = 0;; ++n) {
        QString title;
        if (!key.readText(QString::fromLatin1(kGroupValue).arg(n), title))
            break;
        title.truncate(kGroupTitleLength);
        // An empty title would name the layout key itself, not a group's own key.
        if (title.isEmpty())
            continue;
        const QString groupPath = keyPath + QLatin1Char('\\') + title;
        if (readNumber(groupPath, QString::fromLatin1(kGroupType), 0) != kUserGroupType)
            continue;
        NavigationGroup group;
        group.title = title;
        const platform::SettingsKey groupKey =
            platform::SettingsKey::open(HKEY_CURRENT_USER, groupPath);
        DWORD channel = 0;
        for (int i = 0; groupKey.readNumber(QString::fromLatin1(kGroupItem).arg(i), channel); ++i)
            group.channels.push_back(channel);
        groups.push_back(std::move(group));
    }
    return true;
}

DWORD navigationLastActive(const QString& keyPath, NavigationLast which)
{
    return readNumber(
        keyPath,
        QString::fromLatin1(which == NavigationLast::Group ? kLastActiveGroup : kLastActiveEntry),
        0);
}

void writeNavigationLayout(const QString& keyPath, DWORD lastGroup, DWORD lastEntry,
                           const std::vector<NavigationGroup>& groups)
{
    platform::SettingsStore::instance().deleteKeyTree(HKEY_CURRENT_USER, keyPath);
    platform::SettingsKey key = platform::SettingsKey::create(HKEY_CURRENT_USER, keyPath);
    if (!key)
        return;
    key.writeNumber(QString::fromLatin1(kLastActiveGroup), lastGroup);
    key.writeNumber(QString::fromLatin1(kLastActiveEntry), lastEntry);
    for (size_t n = 0; n < groups.size(); ++n) {
        const NavigationGroup& group = groups[n];
        key.writeText(QString::fromLatin1(kGroupValue).arg(n), group.title);
        platform::SettingsKey groupKey = key.createSubKey(group.title);
        if (!groupKey)
            continue;
        groupKey.writeNumber(QString::fromLatin1(kGroupType), kUserGroupType);
        for (size_t i = 0; i < group.channels.size(); ++i)
            groupKey.writeNumber(QString::fromLatin1(kGroupItem).arg(i), group.channels[i]);
    }
}

// ---- the channel directory window

namespace
{
constexpr char kDirectoryFolderWidth[] = "Directory Folder Width";
constexpr char kDirectoryListSection[] = "Settings";
constexpr char kDirectoryWidth[] = "Width%1";
constexpr int kDirectoryWidthDefaults[] = {200, 240, 120};
constexpr char kDirectoryViewFilter[] = "ViewFilter";
constexpr DWORD kDirectoryViewFilterDefault = 65535;
constexpr char kDirectorySort[] = "Sort1";
constexpr char kDirectoryAscending[] = "Asc1";

QString directoryListKeyPath()
{
    return readhallSubKeyPath(QString::fromLatin1(kDirectoryListSection));
}
} // namespace

int directoryFolderWidth()
{
    return readSigned(readhallKeyPath(), QString::fromLatin1(kDirectoryFolderWidth),
                      DEFAULT_DIRECTORY_FOLDER_WIDTH);
}

void setDirectoryFolderWidth(int width)
{
    writeNumber(readhallKeyPath(), QString::fromLatin1(kDirectoryFolderWidth),
                static_cast<DWORD>(std::max(0, width)));
}

int directoryColumnWidth(int column)
{
    const int index =
        std::clamp(column, 0, static_cast<int>(std::size(kDirectoryWidthDefaults)) - 1);
    return readSigned(directoryListKeyPath(), QString::fromLatin1(kDirectoryWidth).arg(column),
                      kDirectoryWidthDefaults[index]);
}

void setDirectoryColumnWidth(int column, int width)
{
    writeNumber(directoryListKeyPath(), QString::fromLatin1(kDirectoryWidth).arg(column),
                static_cast<DWORD>(width));
}

DWORD directoryViewFilter()
{
    return readNumber(directoryListKeyPath(), QString::fromLatin1(kDirectoryViewFilter),
                      kDirectoryViewFilterDefault);
}

void setDirectoryViewFilter(DWORD filter)
{
    writeNumber(directoryListKeyPath(), QString::fromLatin1(kDirectoryViewFilter), filter);
}

int directorySortColumn()
{
    return readSigned(directoryListKeyPath(), QString::fromLatin1(kDirectorySort), 0);
}

void setDirectorySortColumn(int column)
{
    writeNumber(directoryListKeyPath(), QString::fromLatin1(kDirectorySort),
                static_cast<DWORD>(column));
}

int directorySortAscending()
{
    return readSigned(directoryListKeyPath(), QString::fromLatin1(kDirectoryAscending), 1);
}

void setDirectorySortAscending(int ascending)
{
    writeNumber(directoryListKeyPath(), QString::fromLatin1(kDirectoryAscending),
                static_cast<DWORD>(ascending));
}

// ---- read only

bool publishingToolEnabled()
{
    platform::SettingsKey key =
        platform::SettingsKey::open(HKEY_CURRENT_USER, QString::fromLatin1(PUBLISHING_KEY_PATH));
    DWORD enabled = 0;
    DWORD wizard = 0;
    return key && key.readNumber(QString::fromLatin1(kPublishingEnabled), enabled) &&
           key.readNumber(QString::fromLatin1(kPublishingWizard), wizard) && enabled != 0 &&
           wizard != 0;
}

QString engineDataPath()
{
    return readForeignText(HKEY_CURRENT_USER, kEngineKeyPath, kEngineDataPath);
}

QString engineInstallPath()
{
    return readForeignText(HKEY_LOCAL_MACHINE, kEngineAppPathKey, kEngineAppPath);
}

// ---- the publishing wizard

bool registerPublishingTool()
{
    const QString path = QString::fromLatin1(PUBLISHING_KEY_PATH);
    const QString enabled = QString::fromLatin1(kPublishingEnabled);
    const QString wizard = QString::fromLatin1(kPublishingWizard);
    if (platform::SettingsKey existing = platform::SettingsKey::open(HKEY_CURRENT_USER, path);
        existing && (existing.hasValue(enabled) || existing.hasValue(wizard)))
        return false;
    platform::SettingsKey key = platform::SettingsKey::create(HKEY_CURRENT_USER, path);
    return key && key.writeNumber(enabled, 1) && key.writeNumber(wizard, 1);
}

// ---- the search window

int searchResultsListHeight()
{
    return static_cast<int>(readNumber(readhallKeyPath(),
                                       QStringLiteral("Search Results List Height"),
                                       static_cast<DWORD>(DEFAULT_SEARCH_RESULTS_HEIGHT)));
}

void setSearchResultsListHeight(int height)
{
    writeNumber(readhallKeyPath(), QStringLiteral("Search Results List Height"),
                static_cast<DWORD>(std::max(0, height)));
}

// ---- the main frame: the windows open at exit

QStringList openWindows()
{
    return readText(readhallKeyPath(), QStringLiteral("Open Windows"))
        .split(QLatin1Char(','), Qt::SkipEmptyParts);
}

void setOpenWindows(const QStringList& kinds)
{
    WriteLayoutString(HKEY_CURRENT_USER, readhallKeyPath(), QStringLiteral("Open Windows"),
                      kinds.join(QLatin1Char(',')));
}

} // namespace settings
