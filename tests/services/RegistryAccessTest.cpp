// Registry class: key paths, value kinds, conversions, enumerations and REGEDIT4 files.
#include "services/clsRegistryAccess.h"

#include "platform/core/Registry.h"
#include "tests/support/TempEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QVariant>

#include <cstdint>
#include <functional>

#include "tests/support/FailingDiskChild.h"

#include <gtest/gtest.h>

namespace reg = platform::Registry;

namespace
{

// Stands in for a window's text box: remembers every text it was given.
class RecordingTextBox : public QObject
{
public:
    QStringList texts;

protected:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::DynamicPropertyChange)
            texts.append(property("Text").toString());
        return QObject::event(e);
    }
};

class RegistryAccessTest : public ::testing::Test
{
protected:
    // The raw bytes and type of a value, read past the class.
    static QByteArray raw(reg::Key root, const QString &path, const QString &name, quint32 *type = nullptr)
    {
        reg::Key k = 0;
        if (reg::openKey(root, path, reg::KeyRead, &k) != reg::Success)
            return "<no key>";
        quint32 size = 0;
        QByteArray out = "<no value>";
        if (reg::queryValue(k, name, type, nullptr, &size) == reg::Success) {
            out = QByteArray(qsizetype(size), '\0');
            reg::queryValue(k, name, type, out.data(), &size);
        }
        reg::closeKey(k);
        return out;
    }
    static void putRaw(const QString &path, const QString &name, quint32 type, const QByteArray &data)
    {
        reg::Key k = 0;
        ASSERT_EQ(reg::createKey(reg::CurrentUser, path, reg::AllAccess, &k), reg::Success);
        ASSERT_EQ(reg::setValue(k, name, type, data), reg::Success);
        reg::closeKey(k);
    }
    // Deletes a key and everything below it through the class.
    void killTree(const QString &path)
    {
        QStringList subkeys;
        r.EnumKeys(path, subkeys);
        for (const QString &s : subkeys)
            killTree(path + QLatin1Char('\\') + s);
        r.KillKey(path);
    }
    QString file(const QString &name) const { return env.root() + QLatin1Char('/') + name; }
    qint32 import(const QByteArray &content)
    {
        const QString path = env.writeFile(QStringLiteral("in.reg"), content);
        return r.ImportFromReg(path);
    }

    testsupport::TempEnvironment env;
    clsRegistryAccess r;
};

} // namespace

// ---- key paths ----

TEST_F(RegistryAccessTest, RootSpellingsNameTheSameKey)
{
    ASSERT_NE(r.WriteString(QStringLiteral("hklm\\Tools\\X"), QStringLiteral("v"), QStringLiteral("1")), 0);
    EXPECT_EQ(r.ReadString(QStringLiteral("HKEY_LOCAL_MACHINE\\Tools\\X"), QStringLiteral("v")),
              QStringLiteral("1"));
    EXPECT_EQ(r.ReadString(QStringLiteral("hkey_local_machine\\Tools\\X"), QStringLiteral("v")),
              QStringLiteral("1"));
    EXPECT_EQ(r.ReadString(QStringLiteral("HKLM\\tools\\x"), QStringLiteral("V")), QStringLiteral("1"));
    EXPECT_EQ(raw(reg::LocalMachine, QStringLiteral("Tools\\X"), QStringLiteral("v")), QByteArray("1\0", 2));
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Tools\\X"), QStringLiteral("v")), QByteArray("<no key>"));
}

TEST_F(RegistryAccessTest, UnknownRootFailsEveryOperation)
{
    for (const QString &p : {QStringLiteral("HKXX\\Tools"), QStringLiteral("HKCUSTOM\\Tools"),
                             QStringLiteral("HKPD\\Tools"), QStringLiteral("HKEY_DYN_DATA"), QString()}) {
        SCOPED_TRACE(p.toStdString());
        QStringList keys{QStringLiteral("stale")};
        QStringList names{QStringLiteral("stale")};
        QVariantList values{1};
        EXPECT_EQ(r.CreateKey(p), 0);
        EXPECT_EQ(r.KillKey(p), 0);
        EXPECT_FALSE(r.KeyExists(p));
        EXPECT_EQ(r.EnumKeys(p, keys), -1);
        EXPECT_TRUE(keys.isEmpty());
        EXPECT_FALSE(r.HaveSubkey(p));
        EXPECT_EQ(r.WriteString(p, QStringLiteral("n"), QStringLiteral("v")), 0);
        EXPECT_EQ(r.ReadString(p, QStringLiteral("n"), QStringLiteral("dflt")), QStringLiteral("dflt"));
        EXPECT_EQ(r.WriteDWORD(p, QStringLiteral("n"), 5), 0);
        EXPECT_EQ(r.ReadDWORD(p, QStringLiteral("n"), 7), 7);
        EXPECT_EQ(r.WriteBinary(p, QStringLiteral("n"), QStringLiteral("01")), 0);
        EXPECT_EQ(r.ReadBinary(p, QStringLiteral("n"), QStringLiteral("d")), QStringLiteral("d"));
        EXPECT_EQ(r.KillValue(p, QStringLiteral("n")), 0);
        EXPECT_FALSE(r.ValueExists(p, QStringLiteral("n")));
        EXPECT_EQ(r.EnumValues(p, names, values), -1);
        EXPECT_TRUE(names.isEmpty());
        EXPECT_TRUE(values.isEmpty());
    }
    // "HKCUSTOM" is no spelling of HKCU.
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Tools"), QStringLiteral("n")), QByteArray("<no key>"));
}

TEST_F(RegistryAccessTest, RootAloneAndRootNamesFurtherDown)
{
    ASSERT_NE(r.WriteString(QStringLiteral("HKCU"), QStringLiteral("top"), QStringLiteral("t")), 0);
    EXPECT_EQ(raw(reg::CurrentUser, QString(), QStringLiteral("top")), QByteArray("t\0", 2));
    EXPECT_NE(r.CreateKey(QStringLiteral("HKCU\\Software\\HKEY_USERS\\HKLM")), 0);
    QStringList keys;
    ASSERT_EQ(r.EnumKeys(QStringLiteral("HKEY_CURRENT_USER"), keys), 1);
    EXPECT_EQ(keys, QStringList{QStringLiteral("Software")});
    // A key that carries a root's name keeps it.
    ASSERT_EQ(r.EnumKeys(QStringLiteral("HKCU\\Software"), keys), 1);
    EXPECT_EQ(keys, QStringList{QStringLiteral("HKEY_USERS")});
    EXPECT_TRUE(r.KeyExists(QStringLiteral("HKCU\\Software\\HKEY_USERS\\HKLM")));
}

// ---- keys ----

TEST_F(RegistryAccessTest, CreateKeyIfDoesntExistsDecidesWhetherWritersCreate)
{
    EXPECT_TRUE(r.CreateKeyIfDoesntExists());
    r.setCreateKeyIfDoesntExists(false);
    EXPECT_EQ(r.WriteString(QStringLiteral("HKCU\\A\\B\\C"), QStringLiteral("n"), QStringLiteral("v")), 0);
    EXPECT_EQ(r.WriteDWORD(QStringLiteral("HKCU\\A\\B\\C"), QStringLiteral("n"), 1), 0);
    EXPECT_EQ(r.WriteBinary(QStringLiteral("HKCU\\A\\B\\C"), QStringLiteral("n"), QStringLiteral("01")), 0);
    EXPECT_FALSE(r.KeyExists(QStringLiteral("HKCU\\A")));

    r.setCreateKeyIfDoesntExists(true);
    EXPECT_NE(r.WriteDWORD(QStringLiteral("HKCU\\A\\B\\C"), QStringLiteral("n"), 1), 0);
    EXPECT_TRUE(r.KeyExists(QStringLiteral("HKCU\\A\\B")));
    EXPECT_EQ(r.ReadDWORD(QStringLiteral("HKCU\\A\\B\\C"), QStringLiteral("n")), 1);

    r.setCreateKeyIfDoesntExists(false); // an existing key is written either way
    EXPECT_NE(r.WriteString(QStringLiteral("HKCU\\A\\B\\C"), QStringLiteral("s"), QStringLiteral("v")), 0);
    EXPECT_EQ(reg::openHandleCount(), 0);
}

TEST_F(RegistryAccessTest, KillKeyRefusesKeysWithSubkeys)
{
    ASSERT_NE(r.CreateKey(QStringLiteral("HKCU\\Tree\\Leaf")), 0);
    EXPECT_TRUE(r.HaveSubkey(QStringLiteral("HKCU\\Tree")));
    EXPECT_NE(r.KillKey(QStringLiteral("HKCU\\Tree")), 0); // reports the handle, deletes nothing
    EXPECT_TRUE(r.KeyExists(QStringLiteral("HKCU\\Tree\\Leaf")));
    EXPECT_NE(r.KillKey(QStringLiteral("HKCU\\Tree\\Leaf")), 0);
    EXPECT_FALSE(r.KeyExists(QStringLiteral("HKCU\\Tree\\Leaf")));
    EXPECT_FALSE(r.HaveSubkey(QStringLiteral("HKCU\\Tree")));
    QStringList keys{QStringLiteral("stale")};
    EXPECT_EQ(r.EnumKeys(QStringLiteral("HKCU\\Tree"), keys), 0);
    EXPECT_TRUE(keys.isEmpty());
    EXPECT_EQ(r.EnumKeys(QStringLiteral("HKCU\\Tree\\Leaf"), keys), -1);
    EXPECT_EQ(r.KillKey(QStringLiteral("HKCU\\Tree\\Leaf")), 0);
}

TEST_F(RegistryAccessTest, ReadOnlyMachineHiveKeyIsReadableButNotAllAccess)
{
    ASSERT_NE(r.WriteString(QStringLiteral("HKLM\\Soft\\K"), QStringLiteral("n"), QStringLiteral("v")), 0);
    ASSERT_TRUE(QFile::setPermissions(reg::hiveFilePath(reg::LocalMachine), QFileDevice::ReadOwner));
    EXPECT_FALSE(r.KeyExists(QStringLiteral("HKLM\\Soft\\K")));
    EXPECT_EQ(r.ReadString(QStringLiteral("HKLM\\Soft\\K"), QStringLiteral("n")), QStringLiteral("v"));
    QStringList keys;
    EXPECT_EQ(r.EnumKeys(QStringLiteral("HKLM\\Soft"), keys), 1);
    EXPECT_EQ(r.WriteString(QStringLiteral("HKLM\\Soft\\K"), QStringLiteral("n"), QStringLiteral("w")), 0);
    EXPECT_EQ(r.KillValue(QStringLiteral("HKLM\\Soft\\K"), QStringLiteral("n")), 0);
    EXPECT_EQ(r.ReadString(QStringLiteral("HKLM\\Soft\\K"), QStringLiteral("n")), QStringLiteral("v"));
    QFile::setPermissions(reg::hiveFilePath(reg::LocalMachine),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// ---- values ----

TEST_F(RegistryAccessTest, AtNameMeansTheDefaultOnlyForStrings)
{
    const QString k = QStringLiteral("HKCU\\At");
    ASSERT_NE(r.WriteString(k, QStringLiteral("@"), QStringLiteral("dflt")), 0);
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("At"), QString()), QByteArray("dflt\0", 5));
    EXPECT_EQ(r.ReadString(k, QString()), QStringLiteral("dflt"));
    ASSERT_NE(r.WriteDWORD(k, QStringLiteral("@"), 9), 0);
    ASSERT_NE(r.WriteBinary(k, QStringLiteral("@"), QStringLiteral("01")),
              0); // overwrites the "@" double word
    quint32 type = 0;
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("At"), QStringLiteral("@"), &type), QByteArray("\x01", 1));
    EXPECT_EQ(type, quint32(reg::Binary));
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("At"), QString()), QByteArray("dflt\0", 5));

    EXPECT_NE(r.KillValue(k, QStringLiteral("@")), 0); // literal name
    EXPECT_FALSE(r.ValueExists(k, QStringLiteral("@")));
    EXPECT_TRUE(r.ValueExists(k, QString()));
    EXPECT_NE(r.KillValue(k, QString()), 0);
    EXPECT_FALSE(r.ValueExists(k, QString()));
    EXPECT_NE(r.KillValue(k, QStringLiteral("never")), 0); // the deletion's own result is not looked at
}

TEST_F(RegistryAccessTest, StringsRoundTripWithinTheReadBuffer)
{
    const QString k = QStringLiteral("HKCU\\Str");
    const QString padded = QStringLiteral("  ab  ");
    ASSERT_NE(r.WriteString(k, QStringLiteral("p"), padded), 0);
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Str"), QStringLiteral("p")), padded.toUtf8() + '\0');
    EXPECT_EQ(r.ReadString(k, QStringLiteral("p")), padded); // blanks at both ends survive

    ASSERT_NE(r.WriteString(k, QStringLiteral("fits"), QString(254, QLatin1Char('x'))), 0);
    ASSERT_NE(r.WriteString(k, QStringLiteral("long"), QString(255, QLatin1Char('x'))), 0);
    EXPECT_EQ(r.ReadString(k, QStringLiteral("fits")), QString(254, QLatin1Char('x')));
    EXPECT_EQ(r.ReadString(k, QStringLiteral("long"), QStringLiteral("too long")),
              QStringLiteral("too long"));
    EXPECT_EQ(r.ReadString(k, QStringLiteral("missing")), QString());
    EXPECT_EQ(r.ReadString(k, QStringLiteral("missing"), QStringLiteral("d")), QStringLiteral("d"));

    // The limit counts characters, not the bytes UTF-8 spends on them.
    const QString umlauts(254, QChar(0xFC));
    ASSERT_NE(r.WriteString(k, QStringLiteral("wide"), umlauts), 0);
    ASSERT_NE(r.WriteString(k, QStringLiteral("wider"), umlauts + QChar(0xFC)), 0);
    EXPECT_EQ(r.ReadString(k, QStringLiteral("wide")), umlauts);
    EXPECT_EQ(r.ReadString(k, QStringLiteral("wider"), QStringLiteral("too long")),
              QStringLiteral("too long"));

    putRaw(QStringLiteral("Str"), QStringLiteral("zero"), reg::String, QByteArray());
    EXPECT_EQ(r.ReadString(k, QStringLiteral("zero"), QStringLiteral("d")), QString());
    ASSERT_NE(r.WriteString(k, QStringLiteral("utf"), QStringLiteral("Grüße ✓")), 0);
    EXPECT_EQ(r.ReadString(k, QStringLiteral("utf")), QStringLiteral("Grüße ✓"));
    EXPECT_EQ(reg::openHandleCount(), 0);
}

TEST_F(RegistryAccessTest, DoubleWordsFullRangeAndOddSizes)
{
    const QString k = QStringLiteral("HKCU\\Dw");
    ASSERT_NE(r.WriteDWORD(k, QStringLiteral("m1"), -1), 0);
    ASSERT_NE(r.WriteDWORD(k, QStringLiteral("31"), 31), 0);
    ASSERT_NE(r.WriteDWORD(k, QStringLiteral("min"), INT32_MIN), 0);
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Dw"), QStringLiteral("31")), QByteArray("\x1f\0\0\0", 4));
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("m1")), -1);
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("31")), 31);
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("min")), INT32_MIN);
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("missing")), 0);
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("missing"), 42), 42);

    putRaw(QStringLiteral("Dw"), QStringLiteral("short"), reg::Binary, QByteArray("\x34\x12", 2));
    putRaw(QStringLiteral("Dw"), QStringLiteral("wide"), reg::Binary, QByteArray(8, '\1'));
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("short"), 7), 0x1234);
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("wide"), 7), 7);
}

TEST_F(RegistryAccessTest, BinaryValuesAsHexText)
{
    const QString k = QStringLiteral("HKCU\\Bin");
    ASSERT_NE(r.WriteBinary(k, QStringLiteral("b"), QStringLiteral("0a 1B ff")), 0);
    quint32 type = 0;
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Bin"), QStringLiteral("b"), &type),
              QByteArray("\x0a\x1b\xff"));
    EXPECT_EQ(type, quint32(reg::Binary));
    EXPECT_EQ(r.ReadBinary(k, QStringLiteral("b")), QStringLiteral("0A 1B FF"));

    ASSERT_NE(r.WriteBinary(k, QStringLiteral("empty"), QString()), 0);
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Bin"), QStringLiteral("empty"), &type), QByteArray());
    EXPECT_EQ(type, quint32(reg::Binary));
    EXPECT_EQ(r.ReadBinary(k, QStringLiteral("empty"), QStringLiteral("d")), QString());
    EXPECT_EQ(r.ReadBinary(k, QStringLiteral("missing"), QStringLiteral("d")), QStringLiteral("d"));

    ASSERT_NE(r.WriteBinary(k, QStringLiteral("one"), QStringLiteral("00")), 0);
    EXPECT_EQ(r.ReadBinary(k, QStringLiteral("one")), QStringLiteral("00"));
    QString big;
    for (int i = 0; i < 300; ++i)
        big += QStringLiteral("%1 ").arg(i % 256, 2, 16, QLatin1Char('0')).toUpper();
    ASSERT_NE(r.WriteBinary(k, QStringLiteral("big"), big), 0);
    EXPECT_EQ(r.ReadBinary(k, QStringLiteral("big")), big.trimmed());
}

TEST_F(RegistryAccessTest, HexConversions)
{
    const auto bin = [this](QString s) { return r.StrToBin(s); };
    EXPECT_EQ(bin(QStringLiteral("ABC")), QByteArray("\xab\x0c"));
    EXPECT_EQ(bin(QStringLiteral("ABCDE")), QByteArray("\xab\xcd"));
    EXPECT_EQ(bin(QStringLiteral("A")), QByteArray());
    EXPECT_EQ(bin(QStringLiteral("ABCDEF7")), QByteArray("\xab\xcd\xef\x07"));
    EXPECT_EQ(bin(QStringLiteral(" 00 ff ")), QByteArray("\x00\xff", 2));
    EXPECT_EQ(bin(QStringLiteral("0G G1 zz")), QByteArray(3, '\0'));
    EXPECT_EQ(bin(QStringLiteral("   ")), QByteArray());

    QString caller = QStringLiteral(" 0a 1b ");
    r.StrToBin(caller);
    EXPECT_EQ(caller, QStringLiteral("0a1b")); // the caller's variable loses its blanks

    EXPECT_EQ(r.BinToStr(QByteArray("\x00\x0f", 2)), QStringLiteral(" 00 0F"));
    EXPECT_EQ(r.BinToStr(QByteArray("\x0a\x1b\xff")), QStringLiteral(" 0A 1B FF"));
    EXPECT_EQ(r.BinToStr(QByteArray()), QString());

    EXPECT_TRUE(r.isBinValid(QStringLiteral("0a 1b")));
    EXPECT_TRUE(r.isBinValid(QStringLiteral("ABC")));
    EXPECT_FALSE(r.isBinValid(QStringLiteral("0G")));
    EXPECT_FALSE(r.isBinValid(QString()));
    EXPECT_FALSE(r.isBinValid(QStringLiteral("   ")));
    EXPECT_FALSE(r.isBinValid(QStringLiteral("0a,1b")));
}

TEST_F(RegistryAccessTest, EnumValuesByTypeWithDefaultAndOtherTypes)
{
    const QString k = QStringLiteral("HKCU\\Ev");
    r.WriteString(k, QStringLiteral("@"), QStringLiteral("d"));
    r.WriteDWORD(k, QStringLiteral("one"), 1);
    r.WriteString(k, QStringLiteral(" spaced "), QStringLiteral("s"));
    r.WriteBinary(k, QStringLiteral("bin"), QStringLiteral("01 02"));
    r.WriteBinary(k, QStringLiteral("nobytes"), QString());
    r.WriteDWORD(k, QStringLiteral("two"), -2);
    r.WriteString(k, QStringLiteral("long"), QString(400, QLatin1Char('L')));
    putRaw(QStringLiteral("Ev"), QStringLiteral("multi"), reg::MultiString, QByteArray("a\0\0", 3));

    QStringList names;
    QVariantList values;
    ASSERT_EQ(r.EnumValues(k, names, values, 4), 2);
    EXPECT_EQ(names, (QStringList{QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(values, (QVariantList{1, -2}));

    ASSERT_EQ(r.EnumValues(k, names, values, 1), 3);
    EXPECT_EQ(names, (QStringList{QString(), QStringLiteral(" spaced "), QStringLiteral("long")}));
    EXPECT_EQ(values.at(0).toString(), QStringLiteral("d"));
    EXPECT_EQ(values.at(2).toString(), QString(400, QLatin1Char('L'))); // listed whole

    ASSERT_EQ(r.EnumValues(k, names, values, 3), 2);
    EXPECT_EQ(values, (QVariantList{QStringLiteral("01 02"), QString()}));

    ASSERT_EQ(r.EnumValues(k, names, values), 8);
    EXPECT_EQ(names.last(), QStringLiteral("multi"));
    EXPECT_FALSE(values.last().isValid());
    EXPECT_EQ(values.at(1).typeId(), QMetaType::Int);

    ASSERT_EQ(r.EnumValues(k, names, values, 11), 0);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_EQ(r.EnumValues(QStringLiteral("HKCU\\Nope"), names, values), -1);
    EXPECT_EQ(reg::openHandleCount(), 0);
}

// ---- export ----

namespace
{

const QByteArray ExampleExport = "REGEDIT4\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Example]\r\n"
                                 "\"Name\"=\"b\"\r\n"
                                 "\"Bytes\"=hex:00,FF\r\n"
                                 "\"None\"=hex:\r\n"
                                 "\"\"=hex:01\r\n"
                                 "\"Small\"=dword:0000001F\r\n"
                                 "\"All\"=dword:FFFFFFFF\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Example\\A]\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Example\\A\\Deep]\r\n"
                                 "\"x\"=\"y\"\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\Example\\B]\r\n"
                                 "\r\n";

} // namespace

TEST_F(RegistryAccessTest, ExportWritesRegedit4BlocksDepthFirst)
{
    const QString k = QStringLiteral("HKCU\\Example");
    r.WriteString(k, QStringLiteral("Name"), QStringLiteral("b"));
    r.WriteBinary(k, QStringLiteral("Bytes"), QStringLiteral("00 FF"));
    r.WriteBinary(k, QStringLiteral("None"), QString());
    r.WriteBinary(k, QString(), QStringLiteral("01")); // a binary default: no "@=" line
    r.WriteDWORD(k, QStringLiteral("Small"), 31);
    r.WriteDWORD(k, QStringLiteral("All"), -1);
    putRaw(QStringLiteral("Example"), QStringLiteral("other"), reg::MultiString, QByteArray("m\0\0", 3));
    r.CreateKey(QStringLiteral("HKCU\\Example\\B"));
    r.WriteString(QStringLiteral("HKCU\\Example\\A\\Deep"), QStringLiteral("x"), QStringLiteral("y"));

    RecordingTextBox box;
    ASSERT_EQ(r.ExportToReg(k, file(QStringLiteral("out.reg")), true, &box), 1);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(file(QStringLiteral("out.reg"))).toStdString(),
              ExampleExport.toStdString());
    EXPECT_EQ(box.texts, (QStringList{QStringLiteral("HKEY_CURRENT_USER\\Example"),
                                      QStringLiteral("HKEY_CURRENT_USER\\Example\\A"),
                                      QStringLiteral("HKEY_CURRENT_USER\\Example\\A\\Deep"),
                                      QStringLiteral("HKEY_CURRENT_USER\\Example\\B")}));

    ASSERT_EQ(r.ExportToReg(QStringLiteral("hkcu\\example"), file(QStringLiteral("top.reg")), false), 1);
    const QByteArray top = testsupport::TempEnvironment::readFile(file(QStringLiteral("top.reg")));
    EXPECT_TRUE(top.startsWith("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\example]\r\n\"Name\"=\"b\"\r\n"));
    EXPECT_FALSE(top.contains("\\A]"));
    EXPECT_EQ(top.count("\r\n\r\n"), 2);
}

TEST_F(RegistryAccessTest, ExportStringDefaultBeforeNamedStrings)
{
    r.WriteString(QStringLiteral("HKCU\\Example"), QStringLiteral("Name"), QStringLiteral("b"));
    r.WriteString(QStringLiteral("HKCU\\Example"), QStringLiteral("@"), QStringLiteral("a"));
    ASSERT_EQ(r.ExportToReg(QStringLiteral("HKEY_CURRENT_USER\\Example"), file(QStringLiteral("d.reg"))), 1);
    EXPECT_EQ(
        testsupport::TempEnvironment::readFile(file(QStringLiteral("d.reg"))),
        QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Example]\r\n@=\"a\"\r\n\"Name\"=\"b\"\r\n\r\n"));
}

TEST_F(RegistryAccessTest, ExportNeverOverwritesAndMissingKeysGiveAnEmptyBlock)
{
    r.WriteString(QStringLiteral("HKCU\\E"), QStringLiteral("n"), QStringLiteral("v"));
    const QString existing = env.writeFile(QStringLiteral("exists.reg"), "keep me");
    EXPECT_EQ(r.ExportToReg(QStringLiteral("HKCU\\E"), existing), 0);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(existing), QByteArray("keep me"));
    const QString hidden = env.writeFile(QStringLiteral(".hidden.reg"), "hidden");
    EXPECT_EQ(r.ExportToReg(QStringLiteral("HKCU\\E"), hidden), 0);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(hidden), QByteArray("hidden"));
    EXPECT_EQ(r.ExportToReg(QStringLiteral("HKCU\\E"), env.root()), 0); // a folder

    EXPECT_EQ(r.ExportToReg(QStringLiteral("HKCU\\E"), file(QStringLiteral("no/such/dir.reg"))), 0);
    EXPECT_FALSE(QFileInfo::exists(file(QStringLiteral("no/such/dir.reg"))));

    ASSERT_EQ(r.ExportToReg(QStringLiteral("HKCU\\Missing"), file(QStringLiteral("m.reg"))), 1);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(file(QStringLiteral("m.reg"))),
              QByteArray("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Missing]\r\n\r\n"));
}

TEST_F(RegistryAccessTest, FileSavedElsewhereDuringTheExportIsKept)
{
    r.WriteString(QStringLiteral("HKCU\\E\\Sub"), QStringLiteral("n"), QStringLiteral("v"));
    const QString target = file(QStringLiteral("race.reg"));
    // Messages run before each key is written; meanwhile another program saves that file.
    class SavingBox : public QObject
    {
    public:
        std::function<void()> onText;

    protected:
        bool event(QEvent *e) override
        {
            if (e->type() == QEvent::DynamicPropertyChange && onText)
                onText();
            return QObject::event(e);
        }
    } box;
    int texts = 0;
    box.onText = [&] {
        if (++texts == 2)
            env.writeFile(QStringLiteral("race.reg"), "theirs");
    };
    EXPECT_EQ(r.ExportToReg(QStringLiteral("HKCU\\E"), target, true, &box), 0);
    EXPECT_EQ(texts, 2);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(target), QByteArray("theirs"));

    // Neither this failure nor a success leaves a temporary file behind.
    ASSERT_EQ(r.ExportToReg(QStringLiteral("HKCU\\E"), file(QStringLiteral("ok.reg"))), 1);
    EXPECT_EQ(QDir(env.root()).entryList({QStringLiteral("*.reg*")}, QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("ok.reg"), QStringLiteral("race.reg")}));
}

// ---- import ----

TEST_F(RegistryAccessTest, ImportLineRules)
{
    r.WriteString(QStringLiteral("HKCU\\Example"), QStringLiteral("Gone"), QStringLiteral("x"));
    r.WriteString(QStringLiteral("HKCU\\Example"), QStringLiteral("@"), QStringLiteral("old default"));
    r.CreateKey(QStringLiteral("HKCU\\Example\\Old"));
    r.CreateKey(QStringLiteral("HKCU\\Example\\Busy\\Child"));
    r.setCreateKeyIfDoesntExists(false);

    ASSERT_EQ(import("regedit4\r\n"
                     "\"Before\"=\"ignored\"\r\n"
                     "[HKEY_CURRENT_USER\\Example]\r\n"
                     "; \"Comment\"=\"ignored\"\r\n"
                     "no equals sign\r\n"
                     "\r\n"
                     "\"Gone\"=-\r\n"
                     "@=\"\"\r\n"
                     "\"A\" = \"b\"\r\n"
                     "\"S\"= hex:01\r\n"
                     "\"H\"=HEX:0a,1B,ff\r\n"
                     "\"E\"=hex:\r\n"
                     "\"D\"=DWORD:0000001F\r\n"
                     "\"M\"=dword:FFFFFFFF\r\n"
                     "\"Z\"=dword:\r\n"
                     "\"Big\"=dword:100000000\r\n"
                     "\"Url\"=\"http://x/?a=b&c=d\"\r\n"
                     "\r\n"
                     "[-HKEY_CURRENT_USER\\Example\\Old]\r\n"
                     "[-HKCU\\Example\\Busy]\r\n"
                     "[HKCU\\New\\Key]\r\n"
                     "\"n\"=\"v\"\r\n"),
              1);
    EXPECT_TRUE(r.CreateKeyIfDoesntExists());
    const QString k = QStringLiteral("HKCU\\Example");
    EXPECT_FALSE(r.ValueExists(k, QStringLiteral("Gone")));
    EXPECT_FALSE(r.ValueExists(k, QString()));
    EXPECT_FALSE(r.ValueExists(k, QStringLiteral("Before")));
    EXPECT_FALSE(r.ValueExists(k, QStringLiteral("; Comment")));
    EXPECT_EQ(r.ReadString(k, QStringLiteral("A "), QStringLiteral("?")), QStringLiteral(" b"));
    EXPECT_EQ(r.ReadString(k, QStringLiteral("S"), QStringLiteral("?")), QStringLiteral(" hex:01"));
    EXPECT_EQ(r.ReadBinary(k, QStringLiteral("H")), QStringLiteral("0A 1B FF"));
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Example"), QStringLiteral("E")), QByteArray());
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("D")), 31);
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("M")), -1);
    EXPECT_EQ(r.ReadDWORD(k, QStringLiteral("Z"), 5), 0);
    EXPECT_FALSE(r.ValueExists(k, QStringLiteral("Big")));
    EXPECT_EQ(r.ReadString(k, QStringLiteral("Url")), QStringLiteral("http://x/?a=b&c=d"));
    EXPECT_FALSE(r.KeyExists(QStringLiteral("HKCU\\Example\\Old")));
    EXPECT_TRUE(r.KeyExists(QStringLiteral("HKCU\\Example\\Busy\\Child")));
    EXPECT_EQ(r.ReadString(QStringLiteral("HKCU\\New\\Key"), QStringLiteral("n")), QStringLiteral("v"));
}

TEST_F(RegistryAccessTest, ImportRefusesOtherHeadersAndMissingFiles)
{
    for (const QByteArray &header :
         {QByteArray("Windows Registry Editor Version 5.00"), QByteArray("REGEDIT4 "),
          QByteArray(" REGEDIT4"), QByteArray("REGEDIT5"), QByteArray()}) {
        SCOPED_TRACE(header.toStdString());
        EXPECT_EQ(import(header + "\r\n[HKCU\\H]\r\n\"n\"=\"v\"\r\n"), 0);
        EXPECT_FALSE(r.KeyExists(QStringLiteral("HKCU\\H")));
    }
    // Line ends other than CR LF leave the header line unrecognised.
    EXPECT_EQ(import("REGEDIT4\n[HKCU\\H]\n\"n\"=\"v\"\n"), 0);
    EXPECT_FALSE(r.KeyExists(QStringLiteral("HKCU\\H")));

    r.setCreateKeyIfDoesntExists(false);
    EXPECT_EQ(r.ImportFromReg(file(QStringLiteral("absent.reg"))), 0);
    EXPECT_TRUE(r.CreateKeyIfDoesntExists());
    EXPECT_EQ(r.ImportFromReg(env.root()), 0);
}

TEST_F(RegistryAccessTest, MalformedImportsStopOrSkipAndKeepEarlierWork)
{
    EXPECT_EQ(import("REGEDIT4\r\n[HKCU\\First]\r\n\"n\"=\"1\"\r\n[\r\n[HKCU\\Second]\r\n\"n\"=\"2\"\r\n"),
              0);
    EXPECT_EQ(r.ReadString(QStringLiteral("HKCU\\First"), QStringLiteral("n")), QStringLiteral("1"));
    EXPECT_FALSE(r.KeyExists(QStringLiteral("HKCU\\Second")));

    // A key line cut short must not put values into a shorter path.
    EXPECT_EQ(import("REGEDIT4\r\n[HKCU\\Cut\\Key\r\n\"n\"=\"v\"\r\n"), 0);
    EXPECT_FALSE(r.KeyExists(QStringLiteral("HKCU\\Cut")));
    EXPECT_EQ(import("REGEDIT4\r\n[-HKCU\\First\r\n"), 0);
    EXPECT_TRUE(r.KeyExists(QStringLiteral("HKCU\\First")));

    // A file cut off in the middle of a value line still imports what is whole.
    EXPECT_EQ(import("REGEDIT4\r\n[HKCU\\Trunc]\r\n\"a\"=\"1\"\r\n\"b\"=hex:01,0"), 1);
    EXPECT_EQ(r.ReadString(QStringLiteral("HKCU\\Trunc"), QStringLiteral("a")), QStringLiteral("1"));
    EXPECT_EQ(r.ReadBinary(QStringLiteral("HKCU\\Trunc"), QStringLiteral("b")),
              QStringLiteral("01 00")); // "010": the lone digit counts

    // Binary garbage after the header: whatever happens, no crash and no stray hive.
    QByteArray garbage = "REGEDIT4\r\n[HKCU\\Garbage]\r\n";
    QRandomGenerator gen(1234);
    for (int i = 0; i < 200000; ++i)
        garbage.append(char(gen.bounded(256)));
    const qint32 result = import(garbage);
    EXPECT_TRUE(result == 0 || result == 1);
    EXPECT_EQ(reg::openHandleCount(), 0);

    // A 10 MB value line and a 10 MB line without "=".
    QByteArray huge = "REGEDIT4\r\n[HKCU\\Huge]\r\n\"big\"=\"";
    huge.append(QByteArray(10 * 1024 * 1024, 'x'));
    huge.append("\"\r\n");
    huge.append(QByteArray(10 * 1024 * 1024, 'y'));
    huge.append("\r\n\"after\"=\"ok\"\r\n");
    ASSERT_EQ(import(huge), 1);
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Huge"), QStringLiteral("big")).size(),
              10 * 1024 * 1024 + 1);
    EXPECT_EQ(r.ReadString(QStringLiteral("HKCU\\Huge"), QStringLiteral("big"), QStringLiteral("long")),
              QStringLiteral("long"));
    EXPECT_EQ(r.ReadString(QStringLiteral("HKCU\\Huge"), QStringLiteral("after")), QStringLiteral("ok"));
}

// ---- round trip ----

TEST_F(RegistryAccessTest, ExportDeleteImportRestoresTheTree)
{
    const QString root = QStringLiteral("HKCU\\Software\\RoundTrip");
    r.WriteString(root, QStringLiteral("@"), QStringLiteral("  default with blanks "));
    r.WriteString(root, QStringLiteral("Text"), QStringLiteral("Grüße, a=b; c"));
    r.WriteString(root, QStringLiteral("Empty"), QString());
    r.WriteString(root, QStringLiteral("Long"), QString(1000, QLatin1Char('z')));
    r.WriteBinary(root, QStringLiteral("Bytes"), QStringLiteral("00 FF 10"));
    r.WriteBinary(root, QStringLiteral("NoBytes"), QString());
    r.WriteDWORD(root, QStringLiteral("Minus"), -1);
    r.WriteDWORD(root, QStringLiteral("Small"), 31);
    r.WriteString(root + QStringLiteral("\\Child"), QStringLiteral("c"), QStringLiteral("1"));
    r.WriteDWORD(root + QStringLiteral("\\Child\\Grand Child"), QStringLiteral("g"), 7);
    r.WriteBinary(root + QStringLiteral("\\Other"), QStringLiteral("o"), QStringLiteral("AB"));

    const QString first = file(QStringLiteral("first.reg"));
    ASSERT_EQ(r.ExportToReg(root, first), 1);
    killTree(root);
    ASSERT_FALSE(r.KeyExists(root));

    ASSERT_EQ(r.ImportFromReg(first), 1);
    EXPECT_EQ(r.ReadString(root, QString()), QStringLiteral("  default with blanks "));
    EXPECT_EQ(r.ReadString(root, QStringLiteral("Text")), QStringLiteral("Grüße, a=b; c"));
    EXPECT_TRUE(r.ValueExists(root, QStringLiteral("Empty")));
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Software\\RoundTrip"), QStringLiteral("Long")),
              QByteArray(1000, 'z') + '\0');
    EXPECT_EQ(r.ReadBinary(root, QStringLiteral("Bytes")), QStringLiteral("00 FF 10"));
    quint32 type = 0;
    EXPECT_EQ(raw(reg::CurrentUser, QStringLiteral("Software\\RoundTrip"), QStringLiteral("NoBytes"), &type),
              QByteArray());
    EXPECT_EQ(type, quint32(reg::Binary));
    EXPECT_EQ(r.ReadDWORD(root, QStringLiteral("Minus")), -1);
    EXPECT_EQ(r.ReadDWORD(root, QStringLiteral("Small")), 31);
    EXPECT_EQ(r.ReadString(root + QStringLiteral("\\Child"), QStringLiteral("c")), QStringLiteral("1"));
    EXPECT_EQ(r.ReadDWORD(root + QStringLiteral("\\Child\\Grand Child"), QStringLiteral("g")), 7);
    EXPECT_EQ(r.ReadBinary(root + QStringLiteral("\\Other"), QStringLiteral("o")), QStringLiteral("AB"));

    // A second export of the restored tree is the same file.
    const QString second = file(QStringLiteral("second.reg"));
    ASSERT_EQ(r.ExportToReg(root, second), 1);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(second), testsupport::TempEnvironment::readFile(first));
    EXPECT_EQ(reg::openHandleCount(), 0);
}

// Every name and value the class can store comes back from its own export as it was, none
// of them can put a line of its own into the file, and what the plain form carries keeps it.
TEST_F(RegistryAccessTest, OddNamesAndValuesSurviveTheirOwnExportAndInjectNothing)
{
    const QString root = QStringLiteral("HKCU\\Software\\Odd");
    const QString inject = QStringLiteral("x\"\r\n[-HKEY_CURRENT_USER\\Software\\Victim]\r\n"
                                          "[HKEY_CURRENT_USER\\Software\\Planted]\r\n\"p\"=\"1");
    r.WriteString(QStringLiteral("HKCU\\Software\\Victim"), QStringLiteral("v"), QStringLiteral("keep"));
    r.WriteString(root, QStringLiteral("@"), QString());
    const QList<QPair<QString, QString>> strings{
        {"Inject", inject},
        {"a=b", "v=1"},
        {"say \"hi\"", "q\"uote\""},
        {";semi", "c"},
        {"[bracket", "d"},
        {"Dash", "-"},
        {"Blank dash", " - "},
        {"Hexy", "hex:41"},
        {"Typed", "HEX(1):00"},
        {"Dwordy", "DWORD:1"},
        {"Lone", "a\nb\rc"},
        {"Inject\r\n[HKEY_CURRENT_USER\\Software\\Planted]", "n"},
        {"Plain", "C:\\dir\\file; a=b"},
    };
    for (const auto &[name, text] : strings)
        ASSERT_NE(r.WriteString(root, name, text), 0) << name.toStdString();
    putRaw(QStringLiteral("Software\\Odd"), QStringLiteral("@"), reg::String, QByteArray("at\0", 3));
    r.WriteBinary(root, QStringLiteral("[b=\"\r\n"), QStringLiteral("01 02"));
    r.WriteDWORD(root, QStringLiteral(";d"), -2);
    r.CreateKey(root + QStringLiteral("\\Empty"));
    const QString oddKey = root + QStringLiteral("\\\"Q\"\r\n[-HKEY_CURRENT_USER]");
    r.WriteString(oddKey, QStringLiteral("in"), QStringLiteral("side"));
    r.WriteDWORD(oddKey, QStringLiteral("@"), 5);

    // The tree read past the class: every key, and every value's type and bytes.
    std::function<QStringList(const QString &)> tree = [&](const QString &path) {
        QStringList out{QStringLiteral("key ") + path};
        reg::Key k = 0;
        EXPECT_EQ(reg::openKey(reg::CurrentUser, path, reg::KeyRead, &k), reg::Success);
        for (quint32 i = 0;; ++i) {
            char name[512];
            QByteArray data(4096, '\0');
            quint32 nameSize = sizeof name, dataSize = quint32(data.size()), type = 0;
            if (reg::enumValue(k, i, name, &nameSize, &type, data.data(), &dataSize) != reg::Success)
                break;
            out.append(QString::fromUtf8(name, nameSize) + QStringLiteral(" %1 ").arg(type) +
                       QString::fromLatin1(data.left(dataSize).toHex()));
        }
        QStringList subkeys;
        r.EnumKeys(QStringLiteral("HKCU\\") + path, subkeys);
        reg::closeKey(k);
        for (const QString &s : subkeys)
            out += tree(path + QLatin1Char('\\') + s);
        return out;
    };
    const QStringList before = tree(QStringLiteral("Software\\Odd"));
    ASSERT_EQ(before.size(), 22) << before.join('\n').toStdString();

    const QString first = file(QStringLiteral("odd.reg"));
    ASSERT_EQ(r.ExportToReg(root, first), 1);
    const QByteArray exported = testsupport::TempEnvironment::readFile(first);
    for (const QByteArray &line : exported.split('\n')) {
        EXPECT_TRUE(line.isEmpty() || line.endsWith('\r')) << line.toStdString();
        EXPECT_FALSE(line.chopped(line.isEmpty() ? 0 : 1).contains('\r')) << line.toStdString();
        EXPECT_FALSE(line.startsWith("[-")) << line.toStdString();
    }
    EXPECT_TRUE(exported.contains("\r\n\"Plain\"=\"C:\\dir\\file; a=b\"\r\n"));
    EXPECT_TRUE(exported.contains("\r\n[HKEY_CURRENT_USER\\Software\\Odd\\Empty]\r\n"));

    killTree(root);
    ASSERT_FALSE(r.KeyExists(root));
    ASSERT_EQ(r.ImportFromReg(first), 1);
    EXPECT_EQ(tree(QStringLiteral("Software\\Odd")), before);
    EXPECT_EQ(r.ReadString(QStringLiteral("HKCU\\Software\\Victim"), QStringLiteral("v")),
              QStringLiteral("keep"));
    EXPECT_FALSE(r.KeyExists(QStringLiteral("HKCU\\Software\\Planted")));

    const QString second = file(QStringLiteral("odd2.reg"));
    ASSERT_EQ(r.ExportToReg(root, second), 1);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(second), exported);
}

// U+FEFF is a character like any other in key names, value names and texts: only a
// byte-order mark at the very start of a .reg file is one. The export of a tree holding such
// names ends, and its import restores every name and text with it.
TEST_F(RegistryAccessTest, NamesAndTextsThatBeginWithUFeffSurviveExportAndImport)
{
    const QString bom = QString(QChar(0xFEFF));
    const QString root = QStringLiteral("HKCU\\Software\\Marked");
    r.WriteString(root, QStringLiteral("@"), bom + QStringLiteral("default"));
    r.WriteString(root, bom + QStringLiteral("name"), bom + QStringLiteral("text"));
    r.WriteString(root, QStringLiteral("name"), QStringLiteral("plain"));
    r.WriteString(root, QStringLiteral("only"), bom);
    r.WriteBinary(root, bom + QStringLiteral("bin"), QStringLiteral("01"));
    r.WriteDWORD(root, bom + QStringLiteral("dw"), 9);
    for (const QString &child : {bom + QStringLiteral("Child"), bom, QStringLiteral("Child")})
        r.WriteString(root + QLatin1Char('\\') + child, QStringLiteral("in"), child + QStringLiteral("!"));
    r.WriteDWORD(root + QLatin1Char('\\') + bom + QStringLiteral("Child\\") + bom, bom, 3);

    QStringList subkeys;
    EXPECT_EQ(r.EnumKeys(root, subkeys), 3);
    EXPECT_EQ(subkeys, (QStringList{QStringLiteral("Child"), bom, bom + QStringLiteral("Child")}));
    EXPECT_EQ(r.ReadString(root, bom + QStringLiteral("name")), bom + QStringLiteral("text"));
    EXPECT_EQ(r.ReadString(root, QStringLiteral("name")), QStringLiteral("plain"));
    QStringList names;
    QVariantList values;
    r.EnumValues(root, names, values, reg::String);
    EXPECT_EQ(names, (QStringList{QString(), bom + QStringLiteral("name"), QStringLiteral("name"),
                                  QStringLiteral("only")}));
    EXPECT_EQ(values.value(3).toString(), bom);

    // The tree as stored, names and data as bytes.
    std::function<QStringList(const QString &)> tree = [&](const QString &path) {
        QStringList out{QStringLiteral("key ") + path};
        QStringList valueNames;
        QVariantList valueData;
        r.EnumValues(path, valueNames, valueData);
        for (qsizetype i = 0; i < valueNames.size(); ++i)
            out.append(QString::fromLatin1(valueNames.at(i).toUtf8().toHex()) + QLatin1Char(' ') +
                       QString::fromLatin1(valueData.at(i).toString().toUtf8().toHex()));
        QStringList children;
        r.EnumKeys(path, children);
        for (const QString &c : children)
            out += tree(path + QLatin1Char('\\') + c);
        return out;
    };
    const QStringList before = tree(root);
    ASSERT_EQ(before.size(), 15) << before.join('\n').toStdString();

    const QString exported = file(QStringLiteral("marked.reg"));
    ASSERT_EQ(r.ExportToReg(root, exported), 1);
    const QByteArray content = testsupport::TempEnvironment::readFile(exported);
    EXPECT_TRUE(content.startsWith("REGEDIT4\r\n"));
    EXPECT_TRUE(content.contains("\r\n[HKEY_CURRENT_USER\\Software\\Marked\\\xEF\xBB\xBF"
                                 "Child]\r\n"));
    killTree(root);
    ASSERT_FALSE(r.KeyExists(root));
    ASSERT_EQ(r.ImportFromReg(exported), 1);
    EXPECT_EQ(tree(root), before);
    EXPECT_EQ(r.ReadString(root, bom + QStringLiteral("name")), bom + QStringLiteral("text"));
    EXPECT_EQ(r.ReadDWORD(root + QLatin1Char('\\') + bom + QStringLiteral("Child\\") + bom, bom), 3);

    // A file that opens with a byte-order mark: that one is no part of the header.
    ASSERT_EQ(import("\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Hand]\r\n"
                     "\"\xEF\xBB\xBFv\"=\"\xEF\xBB\xBFt\"\r\n"),
              1);
    EXPECT_EQ(r.ReadString(QStringLiteral("HKCU\\Software\\Hand"), bom + QStringLiteral("v")),
              bom + QStringLiteral("t"));
    EXPECT_FALSE(r.ValueExists(QStringLiteral("HKCU\\Software\\Hand"), QStringLiteral("v")));
    EXPECT_EQ(reg::openHandleCount(), 0);
}

// A disk that takes the bytes but fails to store them: an import whose commit fails stored
// nothing and says so; an export whose file the disk failed to store (at its sync or at its
// close) leaves no file and says so. The test starts its own binary again with that disk
// preloaded.
TEST(RegistryAccessDisk, WhatTheDiskFailedToStoreIsReportedAsAFailure)
{
    if (!testsupport::inFailingDiskChild()) {
        const testsupport::ChildResult child = testsupport::runUnderFailingDisk(
            CD_FAILING_DISK,
            QStringLiteral("RegistryAccessDisk.WhatTheDiskFailedToStoreIsReportedAsAFailure"));
        ASSERT_TRUE(child.finished);
        EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
        EXPECT_TRUE(child.output.contains("[  PASSED  ] 1 test")) << child.output.toStdString();
        return;
    }
    testsupport::TempEnvironment env;
    clsRegistryAccess r;
    const QString key = QStringLiteral("HKCU\\Software\\Imported");
    ASSERT_NE(
        r.WriteString(QStringLiteral("HKCU\\Software\\Before"), QStringLiteral("b"), QStringLiteral("1")), 0);
    const QString in =
        env.writeFile(QStringLiteral("in.reg"), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Imported]\r\n"
                                                "\"v\"=\"1\"\r\n\"w\"=dword:00000002\r\n");
    const auto under = [](const QString &folder) {
        return QFile::encodeName(QFileInfo(folder).canonicalFilePath() + QLatin1Char('/'));
    };

    env.setEnv("CD_FAIL_SYNC_UNDER", under(env.registryDir()));
    EXPECT_EQ(r.ImportFromReg(in), 0);
    env.setEnv("CD_FAIL_SYNC_UNDER", QByteArray());
    EXPECT_FALSE(r.KeyExists(key));
    EXPECT_EQ(r.ImportFromReg(in), 1);
    EXPECT_EQ(r.ReadString(key, QStringLiteral("v")), QStringLiteral("1"));

    const QString folder = env.root() + QStringLiteral("/out");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString out = folder + QStringLiteral("/saved.reg");
    for (const char *failing : {"CD_FAIL_SYNC_UNDER", "CD_FAIL_CLOSE_UNDER"}) {
        SCOPED_TRACE(failing);
        env.setEnv(failing, under(folder));
        EXPECT_EQ(r.ExportToReg(key, out), 0);
        env.setEnv(failing, QByteArray());
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
    EXPECT_EQ(r.ExportToReg(key, out), 1);
    EXPECT_TRUE(testsupport::TempEnvironment::readFile(out).contains("\"v\"=\"1\""));
}
