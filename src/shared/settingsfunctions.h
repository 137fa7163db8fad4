#pragma once
// The settings-store functions every window uses to read and write its layout and view
// settings. Reading a value that is not there yet writes its default into the store, so every
// setting exists, with its default, after its first read; a person can then find and change it.
// Key and value names match without regard to case ("ReadHall" and "Readhall" name one key).

#include "src/platform/settingsstore.h"
#include "src/platform/wintypes.h"

#include <QString>

// Key paths used throughout the program.
constexpr char LAYOUT_KEY_PATH[] = "Software\\Vantrel\\Vantrel\\Layout";
constexpr char SETTINGS_KEY_PREFIX[] = "Software\\Vantrel\\Vantrel\\Settings\\";
constexpr char PUBLISHING_KEY_PATH[] = "Software\\Vantrel\\Vantrel\\Publishing";
// The application's name under the settings key (string 57344).
constexpr char READHALL_SETTINGS_NAME[] = "Readhall";

// "Software\Vantrel\Vantrel\Settings\" followed by the name.
QString SettingsKeyPath(const QString& name);

// Opens or creates the key and reads the value as a 32-bit number into `value`. An absent
// value is written with the default, and the default is the result. On any other failure
// (the key cannot be opened, the value holds something that is not a number) `value` is 0
// and the function returns 0. Returns 1 on success.
BOOL ReadLayoutFlag(HKEY root, const QString& keyPath, const QString& valueName, DWORD defaultValue,
                    DWORD& value);
// The same for signed settings (for example a show command that may be -1).
BOOL ReadLayoutFlag(HKEY root, const QString& keyPath, const QString& valueName, int defaultValue,
                    int& value);

// As ReadLayoutFlag, for a text value: an absent value is written with the default text (a
// null default writes an empty text) and the default returned; a stored value is read whole.
// On failure `text` is empty and the function returns 0.
BOOL ReadLayoutString(HKEY root, const QString& keyPath, const QString& valueName,
                      const QString& defaultText, QString& text);

// Opens or creates the key and writes the value as a 32-bit number; returns 1 on success.
BOOL WriteLayoutFlag(HKEY root, const QString& keyPath, const QString& valueName, DWORD value);
BOOL WriteLayoutFlag(HKEY root, const QString& keyPath, const QString& valueName, int value);
// Writes a text value; returns 1 on success.
BOOL WriteLayoutString(HKEY root, const QString& keyPath, const QString& valueName,
                       const QString& text);
