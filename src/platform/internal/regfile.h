#pragma once
// The in-memory tree of one settings root and its text form, the registry export format:
//
//     Windows Registry Editor Version 5.00        (or REGEDIT4)
//
//     [HKEY_CURRENT_USER\Software\Vantrel]
//     "Name"="text with \\ and \" escaped"
//     "Count"=dword:00000010
//     "Blob"=hex:01,02,ff
//     "Lines"=hex(1):41,00,0a,00,42,00,00,00     (a text holding control characters)
//     @="the key's default value"
//
// Reading is strict: anything that is not one of these forms makes the whole file damaged,
// so that a file we do not understand is never rewritten with part of it missing.

#include "src/platform/settingsstore.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace platform::detail
{

class RegKey
{
public:
    QString name; // as created

    RegKey* find(const QStringList& parts);
    const RegKey* find(const QStringList& parts) const;
    RegKey* ensure(const QStringList& parts); // creates what is missing
    bool remove(const QStringList& parts);    // the key with everything below; false if absent

    const SettingsValue* value(const QString& valueName) const;
    void setValue(const QString& valueName, const SettingsValue& value);
    bool removeValue(const QString& valueName);

    QStringList childNames() const;
    QStringList valueNames() const;
    const std::map<QString, std::unique_ptr<RegKey>>& children() const { return m_children; }
    const std::vector<std::pair<QString, SettingsValue>>& values() const { return m_values; }

private:
    std::vector<std::pair<QString, SettingsValue>> m_values; // in the order first written
    std::map<QString, std::unique_ptr<RegKey>> m_children;   // by case-folded name
};

struct RegParseResult {
    bool ok = false;
    QString error; // "line 7: ..." when not ok
    RegKey root;
};

// rootName: the only root the file may hold ("HKEY_CURRENT_USER").
RegParseResult parseRegFile(const QByteArray& bytes, const QString& rootName);
QByteArray writeRegFile(const RegKey& root, const QString& rootName);

// Names that the text form can hold: no control characters, and no empty key level.
bool validKeyPath(const QStringList& parts);
bool validValueName(const QString& name);

} // namespace platform::detail
