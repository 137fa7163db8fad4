#include "src/platform/settingsstore.h"
#include "src/shared/settingsfunctions.h"

#include <QFile>
#include <gtest/gtest.h>

using platform::SettingsKey;

namespace
{

QString userSettingsText()
{
    QFile file(platform::SettingsStore::instance().filePath(HKEY_CURRENT_USER));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

const QString layout = QString::fromLatin1(LAYOUT_KEY_PATH);

TEST(ReadLayoutFlag, AFirstReadWritesTheDefaultIntoTheSettingsFile)
{
    DWORD value = 99;
    EXPECT_EQ(ReadLayoutFlag(HKEY_CURRENT_USER, layout, "LockToolbar", DWORD(7), value), 1);
    EXPECT_EQ(value, 7u);
    // The value now exists, in the file a person edits.
    const QString text = userSettingsText();
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Vantrel\\Vantrel\\Layout]"))
        << qPrintable(text);
    EXPECT_TRUE(text.contains("\"LockToolbar\"=dword:00000007")) << qPrintable(text);

    // Later reads return what is stored, not the default.
    EXPECT_EQ(ReadLayoutFlag(HKEY_CURRENT_USER, layout, "LockToolbar", DWORD(3), value), 1);
    EXPECT_EQ(value, 7u);
}

TEST(ReadLayoutString, AbsentValuesAreWrittenWithTheDefaultOrEmpty)
{
    QString text = "junk";
    EXPECT_EQ(ReadLayoutString(HKEY_CURRENT_USER, layout, "MainWindowTitle", QString(), text), 1);
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(text.isNull());
    EXPECT_TRUE(userSettingsText().contains("\"MainWindowTitle\"=\"\""));

    EXPECT_EQ(
        ReadLayoutString(HKEY_CURRENT_USER, layout, "HomePageURL", "http://example.org/", text), 1);
    EXPECT_EQ(text, QStringLiteral("http://example.org/"));
    QString stored;
    EXPECT_TRUE(SettingsKey::open(HKEY_CURRENT_USER, layout).readText("HomePageURL", stored));
    EXPECT_EQ(stored, QStringLiteral("http://example.org/"));
}

TEST(ReadLayout, AValueOfTheOtherTypeFailsEmptyAndIsLeftAlone)
{
    ASSERT_EQ(WriteLayoutString(HKEY_CURRENT_USER, layout, "ViewToolbar", "yes"), 1);
    DWORD value = 5;
    EXPECT_EQ(ReadLayoutFlag(HKEY_CURRENT_USER, layout, "ViewToolbar", DWORD(1), value), 0);
    EXPECT_EQ(value, 0u);
    QString text;
    EXPECT_TRUE(SettingsKey::open(HKEY_CURRENT_USER, layout).readText("ViewToolbar", text));
    EXPECT_EQ(text, QStringLiteral("yes"));

    ASSERT_EQ(WriteLayoutFlag(HKEY_CURRENT_USER, layout, "MainWindowTitle", DWORD(3)), 1);
    text = "junk";
    EXPECT_EQ(ReadLayoutString(HKEY_CURRENT_USER, layout, "MainWindowTitle", "x", text), 0);
    EXPECT_TRUE(text.isEmpty());
}

TEST(ReadLayoutFlag, TheMachineRootIsReadButNeverWrittenAndSignedValuesKeepTheirSign)
{
    DWORD value = 0;
    EXPECT_EQ(ReadLayoutFlag(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel", "Anything", DWORD(4), value),
              1);
    EXPECT_EQ(value, 4u);
    EXPECT_FALSE(SettingsKey::open(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vantrel").isValid());

    // Signed settings keep their sign.
    int show = 0;
    const QString readhall = SettingsKeyPath("Readhall");
    EXPECT_EQ(ReadLayoutFlag(HKEY_CURRENT_USER, readhall, "WP show", -1, show), 1);
    EXPECT_EQ(ReadLayoutFlag(HKEY_CURRENT_USER, readhall, "WP show", 1, show), 1);
    EXPECT_EQ(show, -1);
}

} // namespace
