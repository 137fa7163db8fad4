#include "src/shared/settingsfunctions.h"

#include <QDebug>

using platform::SettingsKey;

namespace
{

// The key for reading: created when missing. A root that cannot be written (the machine
// root) still lets an existing key be read.
SettingsKey openForRead(HKEY root, const QString& keyPath)
{
    SettingsKey key = SettingsKey::create(root, keyPath);
    if (!key)
        key = SettingsKey::open(root, keyPath, false);
    return key;
}

} // namespace

QString SettingsKeyPath(const QString& name)
{
    return QString::fromLatin1(SETTINGS_KEY_PREFIX) + name;
}

BOOL ReadLayoutFlag(HKEY root, const QString& keyPath, const QString& valueName, DWORD defaultValue,
                    DWORD& value)
{
    value = 0;
    SettingsKey key = openForRead(root, keyPath);
    if (!key) {
        // Without the key only a store that cannot be written at all is left; the setting
        // still takes its default so that the program behaves as on a first start.
        if (!platform::SettingsStore::instance().isWritable(root)) {
            value = defaultValue;
            return 1;
        }
        return 0;
    }
    const DWORD type = key.valueType(valueName);
    if (type == REG_NONE) {
        if (key.isWritable() && !key.writeNumber(valueName, defaultValue))
            qWarning("Readhall: could not write the setting %s\\%s", qPrintable(keyPath),
                     qPrintable(valueName));
        value = defaultValue;
        return 1;
    }
    DWORD stored = 0;
    if (type != REG_DWORD || !key.readNumber(valueName, stored))
        return 0;
    value = stored;
    return 1;
}

BOOL ReadLayoutFlag(HKEY root, const QString& keyPath, const QString& valueName, int defaultValue,
                    int& value)
{
    DWORD number = 0;
    const BOOL ok =
        ReadLayoutFlag(root, keyPath, valueName, static_cast<DWORD>(defaultValue), number);
    value = static_cast<int>(number);
    return ok;
}

BOOL ReadLayoutString(HKEY root, const QString& keyPath, const QString& valueName,
                      const QString& defaultText, QString& text)
{
    text.clear();
    SettingsKey key = openForRead(root, keyPath);
    if (!key) {
        if (!platform::SettingsStore::instance().isWritable(root)) {
            text = defaultText.isNull() ? QString("") : defaultText;
            return 1;
        }
        return 0;
    }
    const DWORD type = key.valueType(valueName);
    if (type == REG_NONE) {
        const QString written = defaultText.isNull() ? QString("") : defaultText;
        if (key.isWritable() && !key.writeText(valueName, written))
            qWarning("Readhall: could not write the setting %s\\%s", qPrintable(keyPath),
                     qPrintable(valueName));
        text = written;
        return 1;
    }
    QString stored;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || !key.readText(valueName, stored))
        return 0;
    text = stored.isNull() ? QString("") : stored;
    return 1;
}

BOOL WriteLayoutFlag(HKEY root, const QString& keyPath, const QString& valueName, DWORD value)
{
    SettingsKey key = SettingsKey::create(root, keyPath);
    if (!key)
        return 0;
    return key.writeNumber(valueName, value) ? 1 : 0;
}

BOOL WriteLayoutFlag(HKEY root, const QString& keyPath, const QString& valueName, int value)
{
    return WriteLayoutFlag(root, keyPath, valueName, static_cast<DWORD>(value));
}

BOOL WriteLayoutString(HKEY root, const QString& keyPath, const QString& valueName,
                       const QString& text)
{
    SettingsKey key = SettingsKey::create(root, keyPath);
    if (!key)
        return 0;
    return key.writeText(valueName, text) ? 1 : 0;
}
