// The settings facade: each accessor with nothing, a good value or a damaged value stored.

#include "src/platform/settingsstore.h"
#include "src/shared/settings.h"

#include <functional>
#include <gtest/gtest.h>

using platform::SettingsKey;

namespace
{

const QString kLayout = QStringLiteral("Software\\Vantrel\\Vantrel\\Layout");
const QString kReadhall = QStringLiteral("Software\\Vantrel\\Vantrel\\Settings\\Readhall");

struct NumberCase {
    const char* name;
    QString key;
    const char* value;
    DWORD defaultValue;
    DWORD stored;
    std::function<long()> read; // the accessor, as a number
};

std::vector<NumberCase> numberCases()
{
    using namespace settings;
    const auto headlines = [] { return StoryListSettings(StoryList::Headlines); };
    return {
        {"use embedded browser", kReadhall, "Use Embedded Browser", 0, 1,
         [] { return long(useEmbeddedBrowser()); }},
        {"folder list", kReadhall, "Show Channel Folder List", 1, 0,
         [] { return long(showFolderList()); }},
        {"tree lines", kLayout, "TreeHasLines", 1, 0, [] { return long(treeHasLines()); }},
        {"category depth", kReadhall + "\\ChannelFolderView", "Category Depth", 99, 2,
         [] { return long(categoryDepth()); }},
        {"alert folder width", kReadhall, "Alert Channel Folder Width", DEFAULT_FOLDER_WIDTH, 140,
         [] { return long(channelPaneSize(ChannelPane::FolderWidth, true)); }},
        {"placement", kReadhall, "WP x", 33, 7,
         [] { return long(windowPlacement(Placement::Left, 33)); }},
        {"first column", kReadhall + "\\HeadlineView", "Column Width 0", 400, 90,
         [=] { return long(headlines().columnWidth(0)); }},
        {"sort column", kReadhall + "\\HeadlineView", "Sort Column", 1, 3,
         [=] { return long(headlines().sortColumn()); }},
        {"search results column", kReadhall + "\\SearchResultsView", "Column Width 2", 150, 60,
         [] { return long(StoryListSettings(StoryList::SearchResults).columnWidth(2)); }},
    };
}

DWORD stored(const QString& key, const char* name)
{
    DWORD value = 0xDEAD;
    SettingsKey::open(HKEY_CURRENT_USER, key).readNumber(QString::fromLatin1(name), value);
    return value;
}

// Absent: the default, written back. Stored: read. Damaged: the default, the text left alone.
TEST(Settings, EachAccessorReadsDefaultStoredAndDamagedValues)
{
    for (const NumberCase& c : numberCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.read(), long(c.defaultValue));
        EXPECT_EQ(stored(c.key, c.value), c.defaultValue);

        SettingsKey::create(HKEY_CURRENT_USER, c.key).writeNumber(c.value, c.stored);
        EXPECT_EQ(c.read(), long(c.stored));

        SettingsKey::create(HKEY_CURRENT_USER, c.key).writeText(c.value, "not a number");
        EXPECT_EQ(c.read(), long(c.defaultValue));
        QString text;
        EXPECT_TRUE(SettingsKey::open(HKEY_CURRENT_USER, c.key).readText(c.value, text));
        EXPECT_EQ(text, "not a number");
    }
}

TEST(Settings, ALockedBrowserDecidesByViewBrowser)
{
    SettingsKey::create(HKEY_CURRENT_USER, kReadhall).writeNumber("Use Embedded Browser", 1);
    EXPECT_TRUE(settings::browserPaneForNewWindow());
    SettingsKey layout = SettingsKey::create(HKEY_CURRENT_USER, kLayout);
    layout.writeNumber("LockBrowser", 1);
    EXPECT_FALSE(settings::browserPaneForNewWindow()); // "ViewBrowser" defaults to 0
    layout.writeNumber("ViewBrowser", 1);
    settings::setUseEmbeddedBrowser(false);
    EXPECT_TRUE(settings::browserPaneForNewWindow());
}

TEST(Settings, SavingAFolderSelectionForgetsTheOtherKind)
{
    const QString key = kReadhall + "\\ChannelFolderView";
    settings::saveFolderSelection(0, "News/Local");
    EXPECT_EQ(settings::lastCategorySelected(), "News/Local");
    settings::saveFolderSelection(42, QString());
    EXPECT_EQ(settings::lastChannelSelected(), 42u);
    EXPECT_EQ(SettingsKey::open(HKEY_CURRENT_USER, key).valueType("Last Category Selected"),
              DWORD(REG_NONE));
    settings::saveFolderSelection(0, QString());
    EXPECT_EQ(SettingsKey::open(HKEY_CURRENT_USER, key).valueType("Last Channel Selected"),
              DWORD(REG_NONE));
}

TEST(Settings, HeaderColoursAreCutAt255)
{
    SettingsKey layout = SettingsKey::create(HKEY_CURRENT_USER, kLayout);
    layout.writeNumber("ChannelTextColorR", 300);
    layout.writeNumber("ChannelTextColorG", 10);
    EXPECT_EQ(settings::channelTextColor(), QColor(255, 10, 255));
    EXPECT_EQ(settings::channelBackgroundColor(), QColor(0, 0, 0));
}

} // namespace
