// Registry class over the platform's registry hives, and its REGEDIT4 files.
#include "services/clsRegistryAccess.h"

#include "platform/core/FileWrite.h"
#include "platform/core/Registry.h"
#include "platform/core/Text.h"
#include "platform/ui/DoEvents.h"

#include <QFile>
#include <QFileInfo>
#include <QVariant>

namespace reg = platform::Registry;

namespace
{

struct Root {
    const char *abbreviation;
    const char *fullName;
    reg::Key key;
};

// In the order in which full names are replaced.
constexpr Root Roots[] = {
    {"HKCU", "HKEY_CURRENT_USER", reg::CurrentUser},
    {"HKLM", "HKEY_LOCAL_MACHINE", reg::LocalMachine},
    {"HKCR", "HKEY_CLASSES_ROOT", reg::ClassesRoot},
    {"HKUS", "HKEY_USERS", reg::Users},
    {"HKPD", "HKEY_PERFORMANCE_DATA", reg::PerformanceData},
    {"HKDD", "HKEY_DYN_DATA", reg::DynData},
    {"HKCC", "HKEY_CURRENT_CONFIG", reg::CurrentConfig},
};

constexpr quint32 BufferSize = 255;

// Splits a path at its first backslash: the root part and the rest (without the backslash).
QString rootPart(const QString &path)
{
    const qsizetype slash = path.indexOf(QLatin1Char('\\'));
    return slash < 0 ? path : path.left(slash);
}

// Replaces the root part of the path, when it is a full root name or an abbreviation,
// by the other form. Only the leading root is touched: a key further down that happens
// to carry a root's name is a key like any other.
QString swapRootName(const QString &path, bool toFullName)
{
    const QString root = rootPart(path);
    for (const Root &r : Roots) {
        const QLatin1String from(toFullName ? r.abbreviation : r.fullName);
        if (root.compare(from, Qt::CaseInsensitive) == 0)
            return QLatin1String(toFullName ? r.fullName : r.abbreviation) + path.mid(root.size());
    }
    return path;
}

QString textOfData(QByteArray data)
{
    // A string's data ends with its NUL; text written without one keeps its last character.
    if (data.endsWith('\0'))
        data.chop(1);
    return platform::textOfUtf8(data);
}

// Shorter data fills the low-order bytes.
qint32 dwordOfData(const QByteArray &data)
{
    quint32 v = 0;
    for (qsizetype i = 0; i < data.size() && i < 4; ++i)
        v |= quint32(quint8(data.at(i))) << (8 * i);
    return qint32(v);
}

QByteArray dataOfDword(qint32 value)
{
    QByteArray d(4, '\0');
    for (int i = 0; i < 4; ++i)
        d[i] = char((quint32(value) >> (8 * i)) & 0xFF);
    return d;
}

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

// Hexadecimal number read up to the first character that is not a digit (no digit: 0).
// False when it does not fit 32 bits.
bool leadingHex(const QString &s, quint32 *value)
{
    quint64 v = 0;
    for (const QChar c : s) {
        const int d = hexDigit(c);
        if (d < 0)
            break;
        v = v * 16 + quint64(d);
        if (v > 0xFFFFFFFFull)
            return false;
    }
    *value = quint32(v);
    return true;
}

bool writeAll(platform::AtomicFileWrite &file, const QString &text)
{
    return file.write(text.toUtf8());
}

// The plain lines of a .reg file carry names and texts as they are, and the import removes
// every double quote, splits at the first "=", takes ";" for a comment, "[" for a key and
// some data openings for other kinds. What those rules would change, and any line break,
// goes in a hexadecimal form instead; everything else keeps the plain form older files use.
const QLatin1String HexKeyPrefix("hex:");         // [hex:48,4B,...] a key path
const QLatin1String HexNamePrefix(";hex(name):"); // a value name; older imports skip the line
const QLatin1String HexTextPrefix("hex(1):");     // a string's bytes with their NUL

bool holdsLineBreakOrQuote(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QLatin1Char('"'));
}

bool isPlainKeyPath(const QString &path)
{
    return !holdsLineBreakOrQuote(path);
}

// The default string has a line of its own ("@="), so a string named "@" cannot be plain.
bool isPlainName(const QString &name, bool ofString)
{
    return !holdsLineBreakOrQuote(name) && !name.contains(QLatin1Char('=')) &&
           !name.startsWith(QLatin1Char(';')) && !name.startsWith(QLatin1Char('[')) &&
           !(ofString && name == QLatin1String("@"));
}

// An empty default reads as "remove the default value" on import.
bool isPlainText(const QString &text, bool isDefault)
{
    if (holdsLineBreakOrQuote(text) || platform::trimBlanks(text) == QLatin1String("-") ||
        (isDefault && text.isEmpty()))
        return false;
    for (const QLatin1String opening :
         {QLatin1String("hex:"), QLatin1String("hex("), QLatin1String("dword:")}) {
        if (text.startsWith(opening, Qt::CaseInsensitive))
            return false;
    }
    return true;
}

} // namespace

void clsRegistryAccess::setCreateKeyIfDoesntExists(bool offon)
{
    m_createKeyIfDoesntExists = offon;
}

bool clsRegistryAccess::CreateKeyIfDoesntExists() const
{
    return m_createKeyIfDoesntExists;
}

quint32 clsRegistryAccess::ParseKeyPath(QString &sPath)
{
    sPath = swapRootName(sPath, false);
    const QString root = rootPart(sPath).toUpper();
    m_subKey = root.size() < sPath.size() ? sPath.mid(root.size() + 1) : QString();
    for (const Root &r : Roots) {
        if (root == QLatin1String(r.abbreviation))
            return r.key;
    }
    return 0;
}

qint32 clsRegistryAccess::CreateKey(QString sPath)
{
    m_rootKey = ParseKeyPath(sPath);
    if (reg::createKey(m_rootKey, m_subKey, reg::MaximumAllowed, &m_key) != reg::Success)
        return 0;
    reg::closeKey(m_key);
    return qint32(m_key);
}

qint32 clsRegistryAccess::KillKey(QString sPath)
{
    m_rootKey = ParseKeyPath(sPath);
    if (reg::openKey(m_rootKey, m_subKey, reg::AllAccess, &m_key) != reg::Success)
        return 0;
    // Refused by the registry while the key has subkeys; the caller learns it by looking.
    reg::deleteKey(m_key, QString());
    reg::closeKey(m_key);
    return qint32(m_key);
}

bool clsRegistryAccess::KeyExists(QString sPath)
{
    m_rootKey = ParseKeyPath(sPath);
    if (reg::openKey(m_rootKey, m_subKey, reg::AllAccess, &m_key) != reg::Success)
        return false;
    reg::closeKey(m_key);
    return true;
}

qint32 clsRegistryAccess::EnumKeys(QString sPath, QStringList &Key)
{
    Key.clear();
    m_rootKey = ParseKeyPath(sPath);
    if (reg::openKey(m_rootKey, m_subKey, reg::MaximumAllowed, &m_key) != reg::Success)
        return -1;
    for (quint32 index = 0;; ++index) {
        QByteArray name(BufferSize, ' ');
        quint32 size = BufferSize;
        long rc = reg::enumKey(m_key, index, name.data(), &size);
        if (rc == reg::MoreData) { // a long name is listed whole, not cut to the buffer
            name.resize(size);
            rc = reg::enumKey(m_key, index, name.data(), &size);
        }
        // Anything but a name (a key deleted meanwhile, a damaged hive) ends the list.
        if (rc != reg::Success)
            break;
        Key.append(platform::textOfUtf8(QByteArrayView(name).first(size)));
    }
    reg::closeKey(m_key);
    return qint32(Key.size());
}

bool clsRegistryAccess::HaveSubkey(QString sPath)
{
    m_rootKey = ParseKeyPath(sPath);
    if (reg::openKey(m_rootKey, m_subKey, reg::MaximumAllowed, &m_key) != reg::Success)
        return false;
    QByteArray name(BufferSize, ' ');
    quint32 size = BufferSize;
    const long rc = reg::enumKey(m_key, 0, name.data(), &size);
    reg::closeKey(m_key);
    return rc == reg::Success || rc == reg::MoreData;
}

qint32 clsRegistryAccess::WriteValue(QString sPath, const QString &sName, quint32 type,
                                     const QByteArray &data)
{
    if (!KeyExists(sPath)) {
        if (!m_createKeyIfDoesntExists)
            return 0;
        CreateKey(sPath);
    }
    m_rootKey = ParseKeyPath(sPath);
    if (reg::openKey(m_rootKey, m_subKey, reg::KeyWrite, &m_key) != reg::Success)
        return 0;
    const long rc = reg::setValue(m_key, sName, type, data);
    reg::closeKey(m_key);
    return rc == reg::Success ? qint32(m_key) : 0;
}

qint32 clsRegistryAccess::WriteString(QString sPath, QString sName, QString sValue)
{
    if (sName == QLatin1String("@"))
        sName.clear();
    return WriteValue(sPath, sName, reg::String, sValue.toUtf8() + '\0');
}

long clsRegistryAccess::QueryData(QString sPath, const QString &sName, QByteArray &buffer)
{
    m_rootKey = ParseKeyPath(sPath);
    long rc = reg::openKey(m_rootKey, m_subKey, reg::KeyRead, &m_key);
    if (rc != reg::Success)
        return rc;
    quint32 size = quint32(buffer.size());
    rc = reg::queryValue(m_key, sName, nullptr, buffer.data(), &size);
    reg::closeKey(m_key);
    if (rc == reg::Success || rc == reg::MoreData)
        buffer.resize(qsizetype(size));
    return rc;
}

QString clsRegistryAccess::ReadString(QString sPath, QString sName, const QString &sDefault)
{
    // The buffer holds 255 characters, the NUL included. A UTF-8 character takes up to
    // four bytes, so the bytes are fetched whole and the characters counted.
    QByteArray buffer(BufferSize, ' ');
    long rc = QueryData(sPath, sName, buffer);
    if (rc == reg::MoreData && buffer.size() <= 4 * qsizetype(BufferSize))
        rc = QueryData(sPath, sName, buffer);
    if (rc != reg::Success || platform::textOfUtf8(buffer).toUcs4().size() > qsizetype(BufferSize))
        return sDefault;
    // The text as stored, blanks at either end included.
    return textOfData(buffer);
}

qint32 clsRegistryAccess::WriteDWORD(QString sPath, QString sName, qint32 lValue)
{
    return WriteValue(sPath, sName, reg::DWord, dataOfDword(lValue));
}

qint32 clsRegistryAccess::ReadDWORD(QString sPath, QString sName, const qint32 &lDefault)
{
    QByteArray buffer(4, '\0');
    return QueryData(sPath, sName, buffer) == reg::Success ? dwordOfData(buffer) : lDefault;
}

qint32 clsRegistryAccess::WriteBinary(QString sPath, QString sName, QString sValue)
{
    return WriteValue(sPath, sName, reg::Binary, StrToBin(sValue));
}

QString clsRegistryAccess::ReadBinary(QString sPath, QString sName, const QString &sDefault)
{
    // A one-byte query learns the size, a second one reads the data.
    QByteArray buffer(1, '\0');
    long rc = QueryData(sPath, sName, buffer);
    if (rc == reg::MoreData)
        rc = QueryData(sPath, sName, buffer);
    if (rc != reg::Success)
        return sDefault;
    return platform::trimBlanks(BinToStr(buffer));
}

qint32 clsRegistryAccess::KillValue(QString sPath, QString sName)
{
    m_rootKey = ParseKeyPath(sPath);
    if (reg::openKey(m_rootKey, m_subKey, reg::AllAccess, &m_key) != reg::Success)
        return 0;
    reg::deleteValue(m_key, sName);
    reg::closeKey(m_key);
    return qint32(m_key);
}

bool clsRegistryAccess::ValueExists(QString sPath, QString sName)
{
    m_rootKey = ParseKeyPath(sPath);
    if (reg::openKey(m_rootKey, m_subKey, reg::KeyRead, &m_key) != reg::Success)
        return false;
    quint32 size = 0;
    const long rc = reg::queryValue(m_key, sName, nullptr, nullptr, &size);
    reg::closeKey(m_key);
    return rc == reg::Success;
}

qint32 clsRegistryAccess::EnumValues(QString sPath, QStringList &sName, QVariantList &sValue,
                                     const qint32 &OnlyType)
{
    sName.clear();
    sValue.clear();
    m_rootKey = ParseKeyPath(sPath);
    if (reg::openKey(m_rootKey, m_subKey, reg::MaximumAllowed, &m_key) != reg::Success)
        return -1;
    for (quint32 index = 0;; ++index) {
        QByteArray name(BufferSize, ' ');
        QByteArray data(BufferSize, ' ');
        quint32 nameSize = 0;
        quint32 dataSize = 0;
        quint32 type = 0;
        long rc = reg::MoreData;
        // Long names and large data are read whole: the buffers grow to what the
        // registry says it needs (a few rounds at most, should the value change meanwhile).
        for (int round = 0; round < 4 && rc == reg::MoreData; ++round) {
            const quint32 nameBuffer = quint32(name.size());
            const quint32 dataBuffer = quint32(data.size());
            nameSize = nameBuffer;
            dataSize = dataBuffer;
            rc = reg::enumValue(m_key, index, name.data(), &nameSize, &type, data.data(), &dataSize);
            if (rc == reg::MoreData) {
                if (nameSize > nameBuffer)
                    name.resize(nameSize);
                else
                    data.resize(qMax(dataSize, dataBuffer));
            }
        }
        if (rc != reg::Success)
            break;
        if (OnlyType != -1 && quint32(OnlyType) != type)
            continue;
        // Names are taken as stored: blanks around them are part of the name.
        sName.append(platform::textOfUtf8(QByteArrayView(name).first(nameSize)));
        const QByteArray bytes = data.left(dataSize);
        switch (type) {
        case reg::Binary:
            sValue.append(bytes.isEmpty() ? QString() : platform::trimBlanks(BinToStr(bytes)));
            break;
        case reg::DWord:
            sValue.append(bytes.size() > 4 ? 0 : dwordOfData(bytes));
            break;
        case reg::String:
            sValue.append(textOfData(bytes));
            break;
        default:
            sValue.append(QVariant());
            break;
        }
    }
    reg::closeKey(m_key);
    return qint32(sName.size());
}

qint32 clsRegistryAccess::ExportToReg(QString sPath, QString sRegFile, const bool &IncludeSubkeys,
                                      QObject *Output)
{
    // Written beside the target and put in place only when whole and stored: a failed export
    // leaves no half file behind. Messages run while the keys are written, so a file that
    // appears there meanwhile is kept as well.
    platform::AtomicFileWrite file(sRegFile, platform::ExistingFile::Keep);
    if (!file.open() || !writeAll(file, QStringLiteral("REGEDIT4\r\n\r\n")) ||
        !ExportKeyToReg(sPath, file, IncludeSubkeys, Output))
        return 0;
    return file.commit() ? 1 : 0;
}

bool clsRegistryAccess::ExportKeyToReg(QString sPath, platform::AtomicFileWrite &sRegFile,
                                       bool IncludeSubkeys, QObject *Output)
{
    sPath = swapRootName(sPath, true);
    if (Output) {
        DoEvents();
        Output->setProperty("Text", sPath);
    }
    const auto hexList = [this](const QByteArray &bytes) {
        return platform::trimBlanks(BinToStr(bytes)).replace(QLatin1Char(' '), QLatin1Char(','));
    };
    const auto valueLine = [&](const QString &name, bool ofString, const QString &data) {
        const QString named = isPlainName(name, ofString)
                                  ? QLatin1Char('"') + name + QStringLiteral("\"=")
                                  : HexNamePrefix + hexList(name.toUtf8()) + QLatin1Char('=');
        return named + data + QStringLiteral("\r\n");
    };
    const auto textData = [&](const QString &text, bool isDefault) {
        return isPlainText(text, isDefault) ? QLatin1Char('"') + text + QLatin1Char('"')
                                            : HexTextPrefix + hexList(text.toUtf8() + '\0');
    };

    QString block = QLatin1Char('[') +
                    (isPlainKeyPath(sPath) ? sPath : HexKeyPrefix + hexList(sPath.toUtf8())) +
                    QStringLiteral("]\r\n");
    QStringList names;
    QVariantList values;
    // Only a default value of string type is written as "@="; others keep an empty name.
    EnumValues(sPath, names, values, reg::String);
    const qsizetype defaultAt = names.indexOf(QString());
    if (defaultAt >= 0)
        block +=
            QStringLiteral("@=") + textData(values.at(defaultAt).toString(), true) + QStringLiteral("\r\n");
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!names.at(i).isEmpty())
            block += valueLine(names.at(i), true, textData(values.at(i).toString(), false));
    }
    EnumValues(sPath, names, values, reg::Binary);
    for (qsizetype i = 0; i < names.size(); ++i)
        block += valueLine(
            names.at(i), false,
            QStringLiteral("hex:") +
                platform::trimBlanks(values.at(i).toString()).replace(QLatin1Char(' '), QLatin1Char(',')));
    EnumValues(sPath, names, values, reg::DWord);
    for (qsizetype i = 0; i < names.size(); ++i)
        block += valueLine(
            names.at(i), false,
            QStringLiteral("dword:") +
                QStringLiteral("%1").arg(quint32(values.at(i).toInt()), 8, 16, QLatin1Char('0')).toUpper());
    block += QStringLiteral("\r\n");
    if (!writeAll(sRegFile, block))
        return false;

    if (IncludeSubkeys) {
        QStringList subkeys;
        EnumKeys(sPath, subkeys);
        for (const QString &subkey : std::as_const(subkeys)) {
            if (!ExportKeyToReg(sPath + QLatin1Char('\\') + subkey, sRegFile, IncludeSubkeys, Output))
                return false;
        }
    }
    return true;
}

qint32 clsRegistryAccess::ImportFromReg(QString sRegFile)
{
    m_createKeyIfDoesntExists = true;
    if (!QFileInfo(sRegFile).isFile())
        return 0;
    QFile file(sRegFile);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray bytes = file.readAll();
    file.close();
    // A byte-order mark that opens the file is one and goes; anywhere else U+FEFF is text.
    const QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    if (lines.first().toUpper() != QLatin1String("REGEDIT4"))
        return 0;
    const auto textOfHex = [this](QString hex) {
        return platform::textOfUtf8(StrToBin(hex.replace(QLatin1Char(','), QLatin1Char(' '))));
    };

    reg::Batch batch; // one commit for the whole file
    qsizetype i = 1;
    while (i < lines.size()) {
        const QString line = platform::trimBlanks(lines.at(i)).remove(QLatin1Char('"'));
        if (!line.startsWith(QLatin1Char('['))) {
            ++i;
            continue;
        }
        // A key line must be closed: "[" alone or a line cut short would name the wrong
        // key, so the import stops here, keeping what it has done.
        if (line.size() < 2 || !line.endsWith(QLatin1Char(']')))
            return 0;
        QString keyPath = line.mid(1, line.size() - 2);
        const bool killKey = keyPath.startsWith(QLatin1Char('-'));
        if (killKey)
            keyPath.remove(0, 1);
        if (keyPath.startsWith(HexKeyPrefix, Qt::CaseInsensitive))
            keyPath = textOfHex(keyPath.mid(HexKeyPrefix.size()));
        if (killKey) {
            KillKey(keyPath);
            ++i;
            continue;
        }
        // A key without values is part of the tree too.
        CreateKey(keyPath);
        qsizetype j = i + 1;
        for (; j < lines.size(); ++j) {
            // Trimmed before the quotes go, so blanks inside quotes stay part of the text.
            const QString entry = platform::trimBlanks(lines.at(j)).remove(QLatin1Char('"'));
            if (entry.startsWith(QLatin1Char('[')))
                break;
            const qsizetype eq = entry.indexOf(QLatin1Char('='));
            const bool hexName = entry.startsWith(HexNamePrefix, Qt::CaseInsensitive);
            if (entry.isEmpty() || (entry.startsWith(QLatin1Char(';')) && !hexName) || eq < 0)
                continue;
            // A name in hexadecimal is taken literally: "@" there is a value named "@".
            const QString name = hexName
                                     ? textOfHex(entry.mid(HexNamePrefix.size(), eq - HexNamePrefix.size()))
                                     : entry.left(eq);
            const QString stringName = !hexName && name == QLatin1String("@") ? QString() : name;
            // Everything behind the first "=" is data, so texts holding "=" survive.
            const QString data = entry.mid(eq + 1);
            if (platform::trimBlanks(data) == QLatin1String("-")) {
                KillValue(keyPath, name);
            } else if (data.startsWith(HexTextPrefix, Qt::CaseInsensitive)) {
                QString hex = data.mid(HexTextPrefix.size()).replace(QLatin1Char(','), QLatin1Char(' '));
                WriteValue(keyPath, stringName, reg::String, StrToBin(hex));
            } else if (data.startsWith(QLatin1String("hex:"), Qt::CaseInsensitive)) {
                WriteBinary(keyPath, name, data.mid(4).replace(QLatin1Char(','), QLatin1Char(' ')));
            } else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
                quint32 number = 0;
                if (leadingHex(data.mid(6), &number)) // a number beyond 32 bits is skipped
                    WriteDWORD(keyPath, name, qint32(number));
            } else {
                WriteValue(keyPath, stringName, reg::String, data.toUtf8() + '\0');
                if (!hexName && name == QLatin1String("@") && data.isEmpty())
                    KillValue(keyPath, QString());
            }
        }
        i = j;
    }
    // Single writes that fail leave the result alone; a commit that fails stored nothing.
    return batch.finish() == reg::Success ? 1 : 0;
}

QByteArray clsRegistryAccess::StrToBin(QString &sBin)
{
    sBin = platform::trimBlanks(sBin.remove(QLatin1Char(' ')));
    if (sBin.isEmpty())
        return QByteArray();
    // Half the length rounded to even: a lone last digit counts only when (length-1)/2 is odd.
    const qsizetype whole = sBin.size() / 2;
    const qsizetype pieces = (sBin.size() % 2 == 0 || whole % 2 == 0) ? whole : whole + 1;
    QByteArray bytes;
    bytes.reserve(pieces);
    for (qsizetype i = 0; i < pieces; ++i) {
        int value = 0;
        for (const QChar c : QStringView(sBin).mid(2 * i, 2)) {
            const int d = hexDigit(c);
            if (d < 0)
                break;
            value = value * 16 + d;
        }
        bytes.append(char(value));
    }
    return bytes;
}

QString clsRegistryAccess::BinToStr(const QByteArray &sStr)
{
    QString out;
    out.reserve(sStr.size() * 3);
    for (const char c : sStr)
        out += QStringLiteral(" %1").arg(quint8(c), 2, 16, QLatin1Char('0')).toUpper();
    return out;
}

bool clsRegistryAccess::isBinValid(QString sBin)
{
    sBin = platform::trimBlanks(sBin.remove(QLatin1Char(' ')).toUpper());
    if (sBin.isEmpty())
        return false;
    for (const QChar c : std::as_const(sBin)) {
        if (!QStringLiteral("0123456789ABCDEF ").contains(c))
            return false;
    }
    return true;
}
