// Registry calls: keys, values, access rights, enumeration buffers and result codes.
#include "platform/core/Registry.h"
#include "tests/support/TempEnvironment.h"

#include <gtest/gtest.h>
#include <thread>

using namespace platform::Registry;

namespace
{

class RegistryTest : public ::testing::Test
{
protected:
    Key create(const QString &path, quint32 access = AllAccess, Key parent = CurrentUser)
    {
        Key k = 0;
        EXPECT_EQ(createKey(parent, path, access, &k), Success) << path.toStdString();
        return k;
    }
    static QByteArray sz(const char *text) { return QByteArray(text) + '\0'; }
    static QString enumKeyName(Key k, quint32 index, long *rc = nullptr)
    {
        char buf[256];
        quint32 size = sizeof buf;
        const long r = enumKey(k, index, buf, &size);
        if (rc)
            *rc = r;
        return r == Success ? QString::fromUtf8(buf, size) : QString();
    }

    testsupport::TempEnvironment env;
};

} // namespace

TEST_F(RegistryTest, CreateMakesEveryLevelAndReportsDisposition)
{
    Key k = 0;
    quint32 disp = 0;
    ASSERT_EQ(createKey(CurrentUser, QStringLiteral("Software\\Acme\\Player"), KeyWrite, &k, &disp), Success);
    EXPECT_NE(k, 0u);
    EXPECT_EQ(disp, quint32(CreatedNewKey));
    EXPECT_EQ(closeKey(k), Success);

    Key again = 0;
    ASSERT_EQ(createKey(CurrentUser, QStringLiteral("Software\\Acme\\Player"), KeyRead, &again, &disp),
              Success);
    EXPECT_EQ(disp, quint32(OpenedExistingKey));
    closeKey(again);

    Key mid = 0;
    EXPECT_EQ(openKey(CurrentUser, QStringLiteral("Software\\Acme"), KeyRead, &mid), Success);
    closeKey(mid);
}

TEST_F(RegistryTest, MissingKeysAndBadHandles)
{
    Key k = 123;
    EXPECT_EQ(openKey(CurrentUser, QStringLiteral("Software\\Nowhere"), KeyRead, &k), FileNotFound);
    EXPECT_EQ(k, 0u);
    EXPECT_EQ(openKey(PerformanceData, QString(), KeyRead, &k), InvalidHandle);
    EXPECT_EQ(openKey(DynData, QString(), KeyRead, &k), InvalidHandle);
    EXPECT_EQ(openKey(0x1234, QStringLiteral("x"), KeyRead, &k), InvalidHandle);
    EXPECT_EQ(setValue(0, QStringLiteral("v"), String, sz("a")), InvalidHandle);

    const Key h = create(QStringLiteral("Software\\Closed"));
    EXPECT_EQ(closeKey(h), Success);
    EXPECT_EQ(closeKey(h), InvalidHandle);
    EXPECT_EQ(queryValue(h, QString(), nullptr, nullptr, nullptr), InvalidHandle);
    EXPECT_EQ(closeKey(CurrentUser), Success); // predefined roots stay usable
    EXPECT_EQ(setValue(CurrentUser, QStringLiteral("rootval"), DWord, QByteArray(4, '\1')), Success);
}

TEST_F(RegistryTest, HandlesAreDistinctNonZeroAndNotRoots)
{
    QList<Key> handles;
    for (int i = 0; i < 20; ++i) {
        const Key k = create(QStringLiteral("Software\\H"));
        EXPECT_NE(k, 0u);
        EXPECT_LT(k, ClassesRoot);
        EXPECT_FALSE(handles.contains(k));
        handles.append(k);
    }
    for (Key k : handles)
        EXPECT_EQ(closeKey(k), Success);
}

TEST_F(RegistryTest, NamesIgnoreCaseButKeepIt)
{
    closeKey(create(QStringLiteral("Software\\MixedCase")));
    Key k = 0;
    ASSERT_EQ(openKey(CurrentUser, QStringLiteral("SOFTWARE\\mixedcase"), AllAccess, &k), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("ValueName"), String, sz("one")), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("VALUENAME"), String, sz("two")), Success);

    char buf[64];
    quint32 size = sizeof buf;
    quint32 type = 0;
    ASSERT_EQ(queryValue(k, QStringLiteral("valuename"), &type, buf, &size), Success);
    EXPECT_EQ(QByteArray(buf, size), sz("two"));

    char name[64];
    quint32 nameSize = sizeof name;
    ASSERT_EQ(enumValue(k, 0, name, &nameSize, nullptr, nullptr, nullptr), Success);
    EXPECT_EQ(QString::fromUtf8(name, nameSize), QStringLiteral("ValueName"));
    EXPECT_EQ(enumValue(k, 1, name, &nameSize, nullptr, nullptr, nullptr), NoMoreItems);
    closeKey(k);

    Key sw = 0;
    ASSERT_EQ(openKey(CurrentUser, QStringLiteral("software"), KeyRead, &sw), Success);
    EXPECT_EQ(enumKeyName(sw, 0), QStringLiteral("MixedCase"));
    closeKey(sw);
}

TEST_F(RegistryTest, QueryReportsTypeAndSizeThenFillsBuffer)
{
    const Key k = create(QStringLiteral("Software\\Values"));
    ASSERT_EQ(setValue(k, QStringLiteral("text"), String, sz("hello")), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("num"), DWord, QByteArray("\xff\xff\xff\xff", 4)), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("bin"), Binary, QByteArray("\x00\xff", 2)), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("empty"), Binary, QByteArray()), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("multi"), MultiString, QByteArray("a\0b\0\0", 5)), Success);
    ASSERT_EQ(setValue(k, QString(), String, sz("default")), Success);

    quint32 type = 0, size = 0;
    ASSERT_EQ(queryValue(k, QStringLiteral("text"), &type, nullptr, &size), Success);
    EXPECT_EQ(type, quint32(String));
    EXPECT_EQ(size, 6u); // the terminating NUL counts

    char small[3] = {'x', 'x', 'x'};
    size = sizeof small;
    EXPECT_EQ(queryValue(k, QStringLiteral("text"), &type, small, &size), MoreData);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(QByteArray(small, 3), QByteArray("xxx")); // untouched

    char buf[16];
    size = sizeof buf;
    ASSERT_EQ(queryValue(k, QStringLiteral("text"), &type, buf, &size), Success);
    EXPECT_EQ(QByteArray(buf, size), sz("hello"));

    size = sizeof buf;
    ASSERT_EQ(queryValue(k, QStringLiteral("bin"), &type, buf, &size), Success);
    EXPECT_EQ(type, quint32(Binary));
    EXPECT_EQ(QByteArray(buf, size), QByteArray("\x00\xff", 2));

    size = sizeof buf;
    ASSERT_EQ(queryValue(k, QStringLiteral("empty"), &type, buf, &size), Success);
    EXPECT_EQ(size, 0u);

    size = sizeof buf;
    ASSERT_EQ(queryValue(k, QStringLiteral("multi"), &type, buf, &size), Success);
    EXPECT_EQ(type, quint32(MultiString));
    EXPECT_EQ(QByteArray(buf, size), QByteArray("a\0b\0\0", 5));

    size = sizeof buf;
    ASSERT_EQ(queryValue(k, QString(), &type, buf, &size), Success);
    EXPECT_EQ(QByteArray(buf, size), sz("default"));

    // Overwriting changes type and data.
    ASSERT_EQ(setValue(k, QStringLiteral("text"), DWord, QByteArray("\x1f\0\0\0", 4)), Success);
    ASSERT_EQ(queryValue(k, QStringLiteral("text"), &type, nullptr, &size), Success);
    EXPECT_EQ(type, quint32(DWord));
    EXPECT_EQ(size, 4u);

    EXPECT_EQ(queryValue(k, QStringLiteral("absent"), &type, nullptr, &size), FileNotFound);
    closeKey(k);
}

TEST_F(RegistryTest, AccessRightsOfTheHandleAreEnforced)
{
    closeKey(create(QStringLiteral("Software\\Rights")));
    Key ro = 0, wo = 0, qv = 0;
    ASSERT_EQ(openKey(CurrentUser, QStringLiteral("Software\\Rights"), KeyRead, &ro), Success);
    ASSERT_EQ(openKey(CurrentUser, QStringLiteral("Software\\Rights"), KeyWrite, &wo), Success);
    ASSERT_EQ(openKey(CurrentUser, QStringLiteral("Software\\Rights"), QueryValue, &qv), Success);

    EXPECT_EQ(setValue(ro, QStringLiteral("v"), String, sz("a")), AccessDenied);
    EXPECT_EQ(setValue(wo, QStringLiteral("v"), String, sz("a")), Success);
    EXPECT_EQ(deleteValue(ro, QStringLiteral("v")), AccessDenied);
    EXPECT_EQ(queryValue(wo, QStringLiteral("v"), nullptr, nullptr, nullptr), AccessDenied);
    EXPECT_EQ(queryValue(ro, QStringLiteral("v"), nullptr, nullptr, nullptr), Success);
    EXPECT_EQ(deleteKey(ro, QString()), AccessDenied);

    char buf[32];
    quint32 size = sizeof buf;
    EXPECT_EQ(enumKey(qv, 0, buf, &size), AccessDenied);
    Key sub = 0;
    EXPECT_EQ(createKey(ro, QStringLiteral("Child"), AllAccess, &sub), AccessDenied);
    EXPECT_EQ(createKey(wo, QStringLiteral("Child"), AllAccess, &sub), Success);
    closeKey(sub);
    for (Key k : {ro, wo, qv})
        closeKey(k);
}

TEST_F(RegistryTest, EnumerationOrderEndAndSmallBuffers)
{
    const Key k = create(QStringLiteral("Software\\Enum"));
    for (const char *n : {"charlie", "Alpha", "bravo"})
        closeKey(create(QString::fromLatin1(n), AllAccess, k));
    long rc = 0;
    EXPECT_EQ(enumKeyName(k, 0), QStringLiteral("Alpha"));
    EXPECT_EQ(enumKeyName(k, 1), QStringLiteral("bravo"));
    EXPECT_EQ(enumKeyName(k, 2), QStringLiteral("charlie"));
    enumKeyName(k, 3, &rc);
    EXPECT_EQ(rc, NoMoreItems);

    // A name needs its length plus the NUL.
    char buf[6];
    quint32 size = 5;
    EXPECT_EQ(enumKey(k, 0, buf, &size), MoreData);
    EXPECT_EQ(size, 6u);
    size = sizeof buf;
    ASSERT_EQ(enumKey(k, 0, buf, &size), Success);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(QByteArray(buf, sizeof buf), QByteArray("Alpha", 6));

    ASSERT_EQ(setValue(k, QStringLiteral("z"), String, sz("1")), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("a"), Binary, QByteArray(300, 'b')), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("z"), String, sz("2")), Success); // keeps its place
    char name[16];
    quint32 nameSize = sizeof name, type = 0;
    char data[255];
    quint32 dataSize = sizeof data;
    ASSERT_EQ(enumValue(k, 0, name, &nameSize, &type, data, &dataSize), Success);
    EXPECT_EQ(QByteArray(name, nameSize), QByteArray("z"));
    EXPECT_EQ(QByteArray(data, dataSize), sz("2"));
    nameSize = sizeof name;
    dataSize = sizeof data;
    EXPECT_EQ(enumValue(k, 1, name, &nameSize, &type, data, &dataSize), MoreData);
    EXPECT_EQ(QByteArray(name, nameSize), QByteArray("a")); // name and type still delivered
    EXPECT_EQ(type, quint32(Binary));
    EXPECT_EQ(dataSize, 300u);
    nameSize = sizeof name;
    EXPECT_EQ(enumValue(k, 2, name, &nameSize, &type, nullptr, nullptr), NoMoreItems);
    closeKey(k);
}

TEST_F(RegistryTest, DeleteKeyRefusesKeysWithSubkeys)
{
    closeKey(create(QStringLiteral("Software\\Tree\\Leaf")));
    Key tree = 0;
    ASSERT_EQ(openKey(CurrentUser, QStringLiteral("Software\\Tree"), AllAccess, &tree), Success);
    ASSERT_EQ(setValue(tree, QStringLiteral("keep"), String, sz("me")), Success);
    EXPECT_EQ(deleteKey(tree, QString()), AccessDenied);
    EXPECT_EQ(queryValue(tree, QStringLiteral("keep"), nullptr, nullptr, nullptr), Success);

    EXPECT_EQ(deleteKey(tree, QStringLiteral("Missing")), FileNotFound);
    EXPECT_EQ(deleteKey(tree, QStringLiteral("LEAF")), Success);
    Key leaf = 0;
    EXPECT_EQ(openKey(tree, QStringLiteral("Leaf"), KeyRead, &leaf), FileNotFound);

    EXPECT_EQ(deleteKey(tree, QString()), Success);
    // The handle outlives its key, as on the platform the calls come from.
    EXPECT_EQ(setValue(tree, QStringLiteral("x"), String, sz("y")), KeyDeleted);
    EXPECT_EQ(closeKey(tree), Success);
    EXPECT_EQ(openKey(CurrentUser, QStringLiteral("Software\\Tree"), KeyRead, &tree), FileNotFound);

    EXPECT_EQ(deleteKey(CurrentUser, QString()), AccessDenied); // never the root
}

TEST_F(RegistryTest, DeleteValueAndDefaultValue)
{
    const Key k = create(QStringLiteral("Software\\Del"));
    ASSERT_EQ(setValue(k, QString(), String, sz("d")), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("@"), String, sz("at")), Success);
    EXPECT_EQ(deleteValue(k, QStringLiteral("nothing")), FileNotFound);
    EXPECT_EQ(deleteValue(k, QString()), Success);
    EXPECT_EQ(queryValue(k, QString(), nullptr, nullptr, nullptr), FileNotFound);
    EXPECT_EQ(queryValue(k, QStringLiteral("@"), nullptr, nullptr, nullptr), Success);
    closeKey(k);
}

TEST_F(RegistryTest, PathsSkipEmptyLevelsAndKeepNonAsciiNames)
{
    closeKey(create(QStringLiteral("Software\\\\Über\\Ω\\")));
    Key k = 0;
    ASSERT_EQ(openKey(CurrentUser, QStringLiteral("software\\über\\ω"), KeyRead, &k), Success);
    closeKey(k);
    ASSERT_EQ(openKey(CurrentUser, QStringLiteral("Software"), KeyRead, &k), Success);
    EXPECT_EQ(enumKeyName(k, 0), QStringLiteral("Über"));
    closeKey(k);
}

TEST_F(RegistryTest, HivesAreSeparate)
{
    closeKey(create(QStringLiteral("Software\\OnlyUser")));
    for (Key root : {LocalMachine, ClassesRoot, Users, CurrentConfig}) {
        Key k = 0;
        EXPECT_EQ(openKey(root, QStringLiteral("Software\\OnlyUser"), KeyRead, &k), FileNotFound);
        ASSERT_EQ(createKey(root, QStringLiteral("Own"), AllAccess, &k), Success);
        closeKey(k);
    }
    Key k = 0;
    EXPECT_EQ(openKey(CurrentUser, QStringLiteral("Own"), KeyRead, &k), FileNotFound);
}

TEST_F(RegistryTest, EnumerationByIndexSeesWritesMadeBetweenIndexes)
{
    const Key k = create(QStringLiteral("Software\\Walk"));
    for (const char *n : {"a", "b", "c", "d"})
        ASSERT_EQ(setValue(k, QString::fromLatin1(n), String, sz(n)), Success);
    const auto valueName = [k](quint32 index) {
        char name[16];
        quint32 size = sizeof name;
        return enumValue(k, index, name, &size, nullptr, nullptr, nullptr) == Success ? QByteArray(name, size)
                                                                                      : QByteArray("<none>");
    };
    EXPECT_EQ(valueName(0), "a");
    EXPECT_EQ(valueName(1), "b");
    ASSERT_EQ(deleteValue(k, QStringLiteral("a")), Success);
    EXPECT_EQ(valueName(2), "d"); // index 2 of b, c, d
    EXPECT_EQ(valueName(3), "<none>");
    EXPECT_EQ(valueName(1), "c"); // going back works too

    for (const char *n : {"k1", "k2", "k3"})
        closeKey(create(QString::fromLatin1(n), AllAccess, k));
    EXPECT_EQ(enumKeyName(k, 0), "k1");
    closeKey(create(QStringLiteral("k0"), AllAccess, k));
    EXPECT_EQ(enumKeyName(k, 1), "k1");
    EXPECT_EQ(enumKeyName(k, 2), "k2");
    closeKey(k);
}

TEST_F(RegistryTest, ABatchCommitsItsWritesTogetherAndUndoesAFailedCallAlone)
{
    const Key k = create(QStringLiteral("Software\\Batch"));
    {
        const Batch batch;
        EXPECT_EQ(setValue(k, QStringLiteral("one"), String, sz("1")), Success);
        {
            const Batch inner; // nested: the outer one commits
            EXPECT_EQ(deleteValue(k, QStringLiteral("missing")), FileNotFound);
        }
        EXPECT_EQ(deleteKey(k, QStringLiteral("no\\such")), FileNotFound);
        EXPECT_EQ(setValue(k, QStringLiteral("two"), String, sz("2")), Success);
        quint32 size = 0;
        EXPECT_EQ(queryValue(k, QStringLiteral("one"), nullptr, nullptr, &size), Success); // its own writes
        EXPECT_EQ(size, 2u);
    }
    // Another thread has its own connection: it sees only what was committed.
    long one = -1, two = -1;
    std::thread reader([&] {
        Key r = 0;
        if (openKey(CurrentUser, QStringLiteral("Software\\Batch"), KeyRead, &r) == Success) {
            one = queryValue(r, QStringLiteral("one"), nullptr, nullptr, nullptr);
            two = queryValue(r, QStringLiteral("two"), nullptr, nullptr, nullptr);
            closeKey(r);
        }
    });
    reader.join();
    EXPECT_EQ(one, Success);
    EXPECT_EQ(two, Success);
    closeKey(k);
}

// U+FEFF is a character like any other in a name: the one a file's byte-order mark is made of,
// yet inside a name it marks nothing. Enumeration lists each such key once and ends, and a
// value so named is found by its name and by no other.
TEST_F(RegistryTest, NamesThatBeginWithUFeffKeepItAndEnumerationEnds)
{
    const QString bom = QString(QChar(0xFEFF));
    const Key k = create(QStringLiteral("Software\\Imported"));
    for (const QString &n : {QStringLiteral("alpha"), bom + QStringLiteral("Bom"), bom, QStringLiteral("Bom"),
                             QStringLiteral("zulu")})
        closeKey(create(n, AllAccess, k));

    QList<QByteArray> names;
    long rc = Success;
    // Indexes in a row, as a listing asks for them: each continues from the one before.
    for (quint32 index = 0; index < 20; ++index) {
        char buf[64];
        quint32 size = sizeof buf;
        rc = enumKey(k, index, buf, &size);
        if (rc != Success)
            break;
        names.append(QByteArray(buf, size));
    }
    EXPECT_EQ(rc, NoMoreItems);
    EXPECT_EQ(names, (QList<QByteArray>{"alpha", "Bom", "zulu", "\xEF\xBB\xBF",
                                        "\xEF\xBB\xBF"
                                        "Bom"}));

    Key sub = 0;
    ASSERT_EQ(openKey(k, bom + QStringLiteral("Bom"), KeyRead, &sub), Success);
    closeKey(sub);

    ASSERT_EQ(setValue(k, bom + QStringLiteral("v"), String, sz("marked")), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("v"), String, sz("plain")), Success);
    QByteArray data;
    ASSERT_EQ(readValue(k, bom + QStringLiteral("v"), nullptr, &data), Success);
    EXPECT_EQ(data, sz("marked"));
    ASSERT_EQ(readValue(k, QStringLiteral("v"), nullptr, &data), Success);
    EXPECT_EQ(data, sz("plain"));
    char name[16];
    quint32 nameSize = sizeof name;
    ASSERT_EQ(enumValue(k, 0, name, &nameSize, nullptr, nullptr, nullptr), Success);
    EXPECT_EQ(QByteArray(name, nameSize), "\xEF\xBB\xBFv");
    closeKey(k);
}
