#pragma once
// The settings store: a tree of keys holding named 32-bit numbers, texts and binary values
// under two roots. Each root is one text file in the registry export format, so a person can
// read and edit it:
//   HKEY_CURRENT_USER   $XDG_CONFIG_HOME/Vantrel/user.reg (XDG_CONFIG_HOME defaults to ~/.config)
//   HKEY_LOCAL_MACHINE  $READHALL_MACHINE_SETTINGS, else /etc/vantrel/machine.reg; read-only
//                       unless SettingsStore::setMachineRootWritable(true) (installers, tests).
// Key and value names match without regard to case and keep the case they were created with;
// key paths separate their levels with backslashes ("Software\Vantrel\Vantrel\Layout"). The
// empty value name is the key's default value ("@" in the file).
// Every write takes a lock file, re-reads the file, applies the change and replaces the file
// atomically, so several processes writing at once lose nothing. A damaged file is renamed to
// "<file>.damaged-YYYYMMDD-HHMMSS" with a message on standard error, and the root starts empty.
// All functions are thread-safe.

#include "src/platform/wintypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

enum class HKEY : int { CurrentUser = 1, LocalMachine = 2 };
constexpr HKEY HKEY_CURRENT_USER = HKEY::CurrentUser;
constexpr HKEY HKEY_LOCAL_MACHINE = HKEY::LocalMachine;

// Value types (the desktop's numbers, as they appear in hex(n): values of the file).
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

namespace platform
{

// One stored value. number is used by REG_DWORD, text by REG_SZ and REG_EXPAND_SZ, data by
// every other type (raw bytes as in the file's hex form).
struct SettingsValue {
    DWORD type = REG_NONE;
    DWORD number = 0;
    QString text;
    QByteArray data;

    static SettingsValue fromNumber(DWORD value);
    static SettingsValue fromText(const QString& value);
    static SettingsValue fromBinary(const QByteArray& value, DWORD type = REG_BINARY);
    bool operator==(const SettingsValue& other) const;
};

// An opened key: a root and a path. Cheap to copy; every call reads or writes the store.
class SettingsKey
{
public:
    SettingsKey() = default; // not a key: every call fails

    // Opens the key, creating it and its missing parents (the new keys are written at once).
    // Invalid when the path is empty or the root cannot be written.
    static SettingsKey create(HKEY root, const QString& path);
    // Opens an existing key; invalid when it does not exist. A key opened without writable
    // refuses every write.
    static SettingsKey open(HKEY root, const QString& path, bool writable = false);

    bool isValid() const { return m_valid; }
    explicit operator bool() const { return m_valid; }
    HKEY root() const { return m_root; }
    const QString& path() const { return m_path; }
    bool isWritable() const { return m_writable; }

    // Reads fail (false, out untouched) when the value is absent or of another type.
    bool readNumber(const QString& name, DWORD& out) const;
    bool readText(const QString& name, QString& out) const; // REG_SZ or REG_EXPAND_SZ
    bool readBinary(const QString& name, QByteArray& out) const;
    std::optional<SettingsValue> readValue(const QString& name) const;
    bool hasValue(const QString& name) const;
    DWORD valueType(const QString& name) const; // REG_NONE when absent

    // Writes create the key again when someone deleted it meanwhile.
    bool writeNumber(const QString& name, DWORD value);
    bool writeText(const QString& name, const QString& value);
    bool writeBinary(const QString& name, const QByteArray& value);
    bool writeValue(const QString& name, const SettingsValue& value);
    bool deleteValue(const QString& name); // false when absent

    QStringList subKeyNames() const; // in the case they were created with, sorted
    QStringList valueNames() const;  // in the order they were first written
    SettingsKey createSubKey(const QString& relativePath) const;
    SettingsKey openSubKey(const QString& relativePath, bool writable = false) const;
    bool deleteSubKeyTree(const QString& relativePath); // the sub-key with everything below

private:
    SettingsKey(HKEY root, QString path, bool writable);
    HKEY m_root = HKEY_CURRENT_USER;
    QString m_path;
    bool m_writable = false;
    bool m_valid = false;
};

// The store itself; one per process. The path-based functions are what SettingsKey uses.
class SettingsStore
{
public:
    static SettingsStore& instance();

    // The file that keeps a root, derived from the environment when the store was last reset.
    QString filePath(HKEY root) const;
    // Forgets every cached root and derives the file paths from the environment again. Test
    // programs call it before every test.
    void reset();
    // Lets the machine root be written (installers and tests); off by default.
    void setMachineRootWritable(bool writable);
    bool isWritable(HKEY root) const;

    bool keyExists(HKEY root, const QString& path);
    bool createKey(HKEY root, const QString& path);
    bool deleteKeyTree(HKEY root, const QString& path); // false when absent
    std::optional<SettingsValue> readValue(HKEY root, const QString& path, const QString& name);
    bool writeValue(HKEY root, const QString& path, const QString& name, const SettingsValue& v);
    bool deleteValue(HKEY root, const QString& path, const QString& name);
    QStringList subKeyNames(HKEY root, const QString& path);
    QStringList valueNames(HKEY root, const QString& path);

    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    struct Private;

private:
    SettingsStore();
    std::unique_ptr<Private> d;
};

// The name of a root as the file writes it: "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
QString rootName(HKEY root);

} // namespace platform
