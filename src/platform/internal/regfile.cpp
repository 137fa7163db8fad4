#include "src/platform/internal/regfile.h"

#include <QStringDecoder>
#include <QtEndian>

namespace platform::detail
{

namespace
{

QString fold(const QString& name)
{
    return name.toCaseFolded();
}

bool hasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

// Texts that cannot stand between quotes in the file: control characters, and halves of
// characters that UTF-8 cannot carry.
bool needsHexForm(const QString& text)
{
    if (hasControlCharacter(text))
        return true;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            return true;
    }
    return false;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// RegKey

RegKey* RegKey::find(const QStringList& parts)
{
    RegKey* key = this;
    for (const QString& part : parts) {
        const auto it = key->m_children.find(fold(part));
        if (it == key->m_children.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

const RegKey* RegKey::find(const QStringList& parts) const
{
    return const_cast<RegKey*>(this)->find(parts);
}

RegKey* RegKey::ensure(const QStringList& parts)
{
    RegKey* key = this;
    for (const QString& part : parts) {
        auto& slot = key->m_children[fold(part)];
        if (!slot) {
            slot = std::make_unique<RegKey>();
            slot->name = part;
        }
        key = slot.get();
    }
    return key;
}

bool RegKey::remove(const QStringList& parts)
{
    if (parts.isEmpty())
        return false;
    RegKey* parent = find(parts.mid(0, parts.size() - 1));
    return parent && parent->m_children.erase(fold(parts.last())) > 0;
}

const SettingsValue* RegKey::value(const QString& valueName) const
{
    for (const auto& [name, value] : m_values) {
        if (name.compare(valueName, Qt::CaseInsensitive) == 0)
            return &value;
    }
    return nullptr;
}

void RegKey::setValue(const QString& valueName, const SettingsValue& value)
{
    for (auto& entry : m_values) {
        if (entry.first.compare(valueName, Qt::CaseInsensitive) == 0) {
            entry.second = value; // the name keeps the case it was created with
            return;
        }
    }
    m_values.emplace_back(valueName, value);
}

bool RegKey::removeValue(const QString& valueName)
{
    for (auto it = m_values.begin(); it != m_values.end(); ++it) {
        if (it->first.compare(valueName, Qt::CaseInsensitive) == 0) {
            m_values.erase(it);
            return true;
        }
    }
    return false;
}

QStringList RegKey::childNames() const
{
    QStringList names;
    for (const auto& entry : m_children)
        names << entry.second->name;
    return names;
}

QStringList RegKey::valueNames() const
{
    QStringList names;
    for (const auto& entry : m_values)
        names << entry.first;
    return names;
}

bool validKeyPath(const QStringList& parts)
{
    for (const QString& part : parts) {
        if (part.isEmpty() || hasControlCharacter(part))
            return false;
    }
    return true;
}

bool validValueName(const QString& name)
{
    return !hasControlCharacter(name);
}

// ---------------------------------------------------------------------------------------------
// Reading

namespace
{

const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kHeader4 = QStringLiteral("REGEDIT4");

struct LineParser {
    QString text;
    int pos = 0;

    bool atEnd() const { return pos >= text.size(); }
    QChar peek() const { return atEnd() ? QChar() : text.at(pos); }
    void skipSpaces()
    {
        while (!atEnd() && (text.at(pos) == QLatin1Char(' ') || text.at(pos) == QLatin1Char('\t')))
            ++pos;
    }
    bool rest(const QString& prefix) const { return text.mid(pos).startsWith(prefix); }

    // A quoted text with \\ and \" escapes; pos stands on the opening quote.
    bool quoted(QString& out, QString& error)
    {
        ++pos;
        out.clear();
        while (!atEnd()) {
            const QChar c = text.at(pos++);
            if (c == QLatin1Char('"'))
                return true;
            if (c == QLatin1Char('\\')) {
                if (atEnd()) {
                    break;
                }
                const QChar next = text.at(pos++);
                if (next != QLatin1Char('\\') && next != QLatin1Char('"')) {
                    error = QStringLiteral("unknown escape \\%1 in a quoted text").arg(next);
                    return false;
                }
                out += next;
                continue;
            }
            out += c;
        }
        error = QStringLiteral("a quoted text is not closed");
        return false;
    }
};

bool parseHexBytes(const QString& text, QByteArray& out)
{
    out.clear();
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return true;
    const QStringList parts = trimmed.split(QLatin1Char(','));
    for (const QString& raw : parts) {
        const QString part = raw.trimmed();
        bool ok = false;
        if (part.isEmpty() || part.size() > 2)
            return false;
        const uint byte = part.toUInt(&ok, 16);
        if (!ok)
            return false;
        out.append(char(byte));
    }
    return true;
}

QString utf16Text(const QByteArray& bytes)
{
    QByteArray data = bytes;
    if (data.size() % 2)
        data.chop(1);
    QString text(data.size() / 2, Qt::Uninitialized);
    for (int i = 0; i < text.size(); ++i)
        text[i] = QChar(qFromLittleEndian<quint16>(data.constData() + 2 * i));
    if (text.endsWith(QChar(0)))
        text.chop(1);
    return text;
}

// The value after "=": sets out (or clears exists for "-", a deletion).
bool parseValue(const QString& valueText, bool unicodeFile, SettingsValue& out, bool& deletion,
                QString& error)
{
    deletion = false;
    LineParser p{valueText, 0};
    if (p.peek() == QLatin1Char('"')) {
        QString text;
        if (!p.quoted(text, error))
            return false;
        p.skipSpaces();
        if (!p.atEnd()) {
            error = QStringLiteral("unexpected text after a quoted value");
            return false;
        }
        out = SettingsValue::fromText(text);
        return true;
    }
    const QString trimmed = valueText.trimmed();
    if (trimmed == QLatin1String("-")) {
        deletion = true;
        return true;
    }
    if (trimmed.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = trimmed.mid(6);
        bool ok = false;
        const uint number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(QLatin1Char('+')) ||
            digits.startsWith(QLatin1Char('-'))) {
            error = QStringLiteral("a dword value is not 1 to 8 hexadecimal digits");
            return false;
        }
        out = SettingsValue::fromNumber(number);
        return true;
    }
    if (trimmed.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
        DWORD type = REG_BINARY;
        int colon = trimmed.indexOf(QLatin1Char(':'));
        if (colon < 0) {
            error = QStringLiteral("a hex value lacks its colon");
            return false;
        }
        const QString kind = trimmed.left(colon);
        if (kind.compare(QLatin1String("hex"), Qt::CaseInsensitive) != 0) {
            bool ok = false;
            if (kind.size() < 6 || kind.at(3) != QLatin1Char('(') ||
                !kind.endsWith(QLatin1Char(')'))) {
                error = QStringLiteral("unknown value form %1").arg(kind);
                return false;
            }
            type = kind.mid(4, kind.size() - 5).toUInt(&ok, 16);
            if (!ok || type > 0xFFFF) {
                error = QStringLiteral("unknown value form %1").arg(kind);
                return false;
            }
        }
        QByteArray bytes;
        if (!parseHexBytes(trimmed.mid(colon + 1), bytes)) {
            error = QStringLiteral("hex bytes are malformed");
            return false;
        }
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            QString text;
            if (unicodeFile) {
                text = utf16Text(bytes);
            } else {
                if (bytes.endsWith('\0'))
                    bytes.chop(1);
                text = QString::fromUtf8(bytes);
            }
            out = SettingsValue::fromText(text);
            out.type = type;
        } else if (type == REG_DWORD && bytes.size() == 4) {
            out = SettingsValue::fromNumber(qFromLittleEndian<quint32>(bytes.constData()));
        } else {
            out = SettingsValue::fromBinary(bytes, type);
        }
        return true;
    }
    error = QStringLiteral("unknown value form");
    return false;
}

} // namespace

RegParseResult parseRegFile(const QByteArray& bytes, const QString& rootName)
{
    RegParseResult result;
    QString content;
    if (bytes.startsWith("\xff\xfe")) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        content = decoder(bytes.mid(2));
        if (decoder.hasError()) {
            result.error = QStringLiteral("it is not valid UTF-16 text");
            return result;
        }
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        content = decoder(bytes.startsWith("\xef\xbb\xbf") ? bytes.mid(3) : bytes);
        if (decoder.hasError()) {
            result.error = QStringLiteral("it is not valid UTF-8 text");
            return result;
        }
    }

    const QStringList lines = content.split(QLatin1Char('\n'));
    auto fail = [&](int index, const QString& why) {
        result.error = QStringLiteral("line %1: %2").arg(index + 1).arg(why);
        result.root = RegKey();
        return std::move(result);
    };
    auto lineAt = [&](int index) {
        QString line = lines.at(index);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        return line;
    };

    int i = 0;
    while (i < lines.size() && lineAt(i).trimmed().isEmpty())
        ++i;
    if (i == lines.size()) {
        result.ok = true; // an empty file is an empty root
        return result;
    }
    const QString header = lineAt(i).trimmed();
    bool unicodeFile = true;
    if (header == kHeader4)
        unicodeFile = false;
    else if (header != kHeader5)
        return fail(i, QStringLiteral("the file does not start with \"%1\"").arg(kHeader5));
    ++i;

    RegKey* current = nullptr;
    for (; i < lines.size(); ++i) {
        const QString line = lineAt(i);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
            continue;
        if (trimmed.startsWith(QLatin1Char('['))) {
            if (!trimmed.endsWith(QLatin1Char(']')))
                return fail(i, QStringLiteral("a key line is not closed with ]"));
            QString inner = trimmed.mid(1, trimmed.size() - 2);
            const bool deletion = inner.startsWith(QLatin1Char('-'));
            if (deletion)
                inner.remove(0, 1);
            QStringList parts = inner.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
            if (parts.isEmpty() || parts.first().compare(rootName, Qt::CaseInsensitive) != 0)
                return fail(i, QStringLiteral("a key outside %1").arg(rootName));
            parts.removeFirst();
            if (!validKeyPath(parts))
                return fail(i, QStringLiteral("a key name holds control characters"));
            if (deletion) {
                result.root.remove(parts);
                current = nullptr;
            } else {
                current = result.root.ensure(parts);
            }
            continue;
        }

        LineParser p{trimmed, 0};
        QString name;
        if (p.peek() == QLatin1Char('@')) {
            ++p.pos;
        } else if (p.peek() == QLatin1Char('"')) {
            QString error;
            if (!p.quoted(name, error))
                return fail(i, error);
        } else {
            return fail(i, QStringLiteral("neither a key, a value nor a comment"));
        }
        p.skipSpaces();
        if (p.peek() != QLatin1Char('='))
            return fail(i, QStringLiteral("a value name is not followed by ="));
        ++p.pos;
        p.skipSpaces();
        QString valueText = p.text.mid(p.pos);
        // Hex values may go on over several lines, each but the last ending in a backslash.
        if (valueText.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
            const int first = i;
            while (valueText.endsWith(QLatin1Char('\\'))) {
                valueText.chop(1);
                if (++i >= lines.size())
                    return fail(first, QStringLiteral("a continued hex value ends the file"));
                valueText += lineAt(i).trimmed();
            }
        }
        if (!current)
            return fail(i, QStringLiteral("a value outside any key"));
        SettingsValue value;
        bool deletion = false;
        QString error;
        if (!parseValue(valueText, unicodeFile, value, deletion, error))
            return fail(i, error);
        if (deletion)
            current->removeValue(name);
        else
            current->setValue(name, value);
    }
    result.ok = true;
    return result;
}

// ---------------------------------------------------------------------------------------------
// Writing

namespace
{

QString quote(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('"');
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            out += QLatin1Char('\\');
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

// "hex(n):" and the bytes, wrapped as the desktop's export wraps them.
QString hexForm(const QString& prefix, const QByteArray& bytes)
{
    QString out = prefix;
    int lineLength = out.size();
    for (int i = 0; i < bytes.size(); ++i) {
        const QString byte = QStringLiteral("%1").arg(uchar(bytes.at(i)), 2, 16, QLatin1Char('0'));
        out += byte;
        lineLength += 2;
        if (i + 1 < bytes.size()) {
            out += QLatin1Char(',');
            ++lineLength;
            if (lineLength > 76) {
                out += QStringLiteral("\\\n  ");
                lineLength = 2;
            }
        }
    }
    return out;
}

QByteArray utf16Bytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xff));
        bytes.append(char(c.unicode() >> 8));
    }
    bytes.append('\0');
    bytes.append('\0');
    return bytes;
}

QString valueForm(const SettingsValue& value)
{
    switch (value.type) {
    case REG_SZ:
        // Texts with line breaks or other control characters cannot stand between quotes;
        // they keep their exact content in the hex form of a text.
        if (!needsHexForm(value.text))
            return quote(value.text);
        return hexForm(QStringLiteral("hex(1):"), utf16Bytes(value.text));
    case REG_EXPAND_SZ:
        return hexForm(QStringLiteral("hex(2):"), utf16Bytes(value.text));
    case REG_DWORD:
        return QStringLiteral("dword:%1").arg(value.number, 8, 16, QLatin1Char('0'));
    case REG_BINARY:
        return hexForm(QStringLiteral("hex:"), value.data);
    default:
        return hexForm(QStringLiteral("hex(%1):").arg(value.type, 0, 16), value.data);
    }
}

void writeKey(const RegKey& key, const QString& path, QString& out)
{
    out += QLatin1Char('[') + path + QStringLiteral("]\n");
    for (const auto& [name, value] : key.values()) {
        out += name.isEmpty() ? QStringLiteral("@") : quote(name);
        out += QLatin1Char('=') + valueForm(value) + QLatin1Char('\n');
    }
    out += QLatin1Char('\n');
    for (const auto& entry : key.children())
        writeKey(*entry.second, path + QLatin1Char('\\') + entry.second->name, out);
}

} // namespace

QByteArray writeRegFile(const RegKey& root, const QString& rootName)
{
    QString out = kHeader5 + QStringLiteral("\n\n");
    if (!root.values().empty())
        writeKey(root, rootName, out);
    else
        for (const auto& entry : root.children())
            writeKey(*entry.second, rootName + QLatin1Char('\\') + entry.second->name, out);
    return out.toUtf8();
}

} // namespace platform::detail
