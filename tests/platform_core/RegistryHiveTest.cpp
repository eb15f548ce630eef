// Hive files: where they live, read-only and unreadable hives, damaged files, and two
// processes writing the same hive at once.
#include "platform/core/Registry.h"
#include "tests/support/TempEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace platform::Registry;

namespace
{

QByteArray sz(const char *text)
{
    return QByteArray(text) + '\0';
}

long writeValue(Key root, const QString &path, const QString &name, const QByteArray &data)
{
    Key k = 0;
    long r = createKey(root, path, KeyWrite, &k);
    if (r != Success)
        return r;
    r = setValue(k, name, String, data);
    closeKey(k);
    return r;
}

QByteArray readValue(Key root, const QString &path, const QString &name, long *rc = nullptr)
{
    Key k = 0;
    long r = openKey(root, path, KeyRead, &k);
    QByteArray out;
    if (r == Success) {
        char buf[256];
        quint32 size = sizeof buf;
        r = queryValue(k, name, nullptr, buf, &size);
        if (r == Success)
            out = QByteArray(buf, size);
        closeKey(k);
    }
    if (rc)
        *rc = r;
    return out;
}

void setMode(const QString &file, QFileDevice::Permissions perms)
{
    ASSERT_TRUE(QFile::setPermissions(file, perms));
}

const QFileDevice::Permissions ReadOnly =
    QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
const QFileDevice::Permissions ReadWrite = ReadOnly | QFileDevice::WriteOwner;

} // namespace

TEST(RegistryHive, FilesLiveInTheRegistryFolder)
{
    testsupport::TempEnvironment env;
    EXPECT_EQ(registryDirectory(), env.registryDir());
    EXPECT_EQ(hiveFilePath(LocalMachine), env.registryDir() + QStringLiteral("/HKEY_LOCAL_MACHINE.db"));
    EXPECT_TRUE(hiveFilePath(PerformanceData).isEmpty());

    // Reading never creates a hive file.
    long rc = 0;
    readValue(CurrentUser, QStringLiteral("Software"), QString(), &rc);
    EXPECT_EQ(rc, FileNotFound);
    EXPECT_FALSE(QFileInfo::exists(hiveFilePath(CurrentUser)));

    ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\A"), QStringLiteral("v"), sz("1")), Success);
    EXPECT_TRUE(QFileInfo::exists(hiveFilePath(CurrentUser)));
    EXPECT_FALSE(QFileInfo::exists(hiveFilePath(LocalMachine)));

    // Without the override the hives follow the user's data folder.
    env.setEnv("CHANNELDECK_REGISTRY_DIR", QByteArray());
    EXPECT_EQ(registryDirectory(), env.dataHome() + QStringLiteral("/ChannelDeck/registry"));
    readValue(CurrentUser, QStringLiteral("Software\\A"), QStringLiteral("v"), &rc);
    EXPECT_EQ(rc, FileNotFound); // a different, empty hive
    ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\B"), QStringLiteral("v"), sz("2")), Success);
    EXPECT_TRUE(
        QFileInfo::exists(env.dataHome() + QStringLiteral("/ChannelDeck/registry/HKEY_CURRENT_USER.db")));
}

TEST(RegistryHive, ValuesSurviveAcrossTestEnvironments)
{
    QString file;
    {
        testsupport::TempEnvironment env;
        ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("K"), QStringLiteral("v"), sz("first")), Success);
        file = hiveFilePath(CurrentUser);
    }
    testsupport::TempEnvironment env;
    EXPECT_NE(hiveFilePath(CurrentUser), file);
    long rc = 0;
    readValue(CurrentUser, QStringLiteral("K"), QStringLiteral("v"), &rc);
    EXPECT_EQ(rc, FileNotFound); // no stale connection to the vanished hive
}

TEST(RegistryHive, MachineHiveWithoutWritePermissionIsReadOnly)
{
    testsupport::TempEnvironment env;
    ASSERT_EQ(writeValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("v"), sz("kept")),
              Success);
    const QString file = hiveFilePath(LocalMachine);
    setMode(file, ReadOnly);
    if (geteuid() == 0) { // the process could still write: the permission bits decide
        EXPECT_EQ(::access(QFile::encodeName(file).constData(), W_OK), 0);
    }

    EXPECT_EQ(readValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("v")), sz("kept"));
    EXPECT_EQ(writeValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("v"), sz("new")),
              AccessDenied);
    EXPECT_EQ(writeValue(LocalMachine, QStringLiteral("SOFTWARE\\New"), QStringLiteral("v"), sz("x")),
              AccessDenied);

    Key k = 0;
    EXPECT_EQ(openKey(LocalMachine, QStringLiteral("SOFTWARE\\Co"), AllAccess, &k), AccessDenied);
    EXPECT_EQ(openKey(LocalMachine, QStringLiteral("SOFTWARE\\Co"), 0x2003F, &k), AccessDenied);
    EXPECT_EQ(openKey(LocalMachine, QStringLiteral("SOFTWARE\\Missing"), KeyRead, &k), FileNotFound);
    ASSERT_EQ(openKey(LocalMachine, QStringLiteral("SOFTWARE\\Co"), MaximumAllowed, &k), Success);
    EXPECT_EQ(setValue(k, QStringLiteral("v"), String, sz("new")), AccessDenied);
    EXPECT_EQ(deleteValue(k, QStringLiteral("v")), AccessDenied);
    EXPECT_EQ(deleteKey(k, QString()), AccessDenied);
    closeKey(k);
    EXPECT_EQ(setValue(LocalMachine, QStringLiteral("r"), String, sz("x")), AccessDenied);

    // Other hives are unaffected.
    EXPECT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\X"), QStringLiteral("v"), sz("ok")), Success);

    setMode(file, ReadWrite);
    EXPECT_EQ(readValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("v")), sz("kept"));
    EXPECT_EQ(writeValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("v"), sz("new")),
              Success);
}

TEST(RegistryHive, UnreadableHiveDeniesEveryCall)
{
    testsupport::TempEnvironment env;
    ASSERT_EQ(writeValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("v"), sz("x")),
              Success);
    const QString file = hiveFilePath(LocalMachine);
    setMode(file, QFileDevice::Permissions());
    Key k = 0;
    EXPECT_EQ(openKey(LocalMachine, QStringLiteral("SOFTWARE\\Co"), KeyRead, &k), AccessDenied);
    EXPECT_EQ(openKey(LocalMachine, QStringLiteral("SOFTWARE\\Missing"), KeyRead, &k), AccessDenied);
    EXPECT_EQ(queryValue(LocalMachine, QStringLiteral("v"), nullptr, nullptr, nullptr), AccessDenied);
    setMode(file, ReadWrite);
}

TEST(RegistryHive, DamagedHiveFileFailsCleanly)
{
    testsupport::TempEnvironment env;
    env.writeFile(hiveFilePath(CurrentUser), QByteArray(4096, '\x5a'));
    Key k = 0;
    const long open = openKey(CurrentUser, QStringLiteral("Software"), KeyRead, &k);
    EXPECT_EQ(open, RegistryCorrupt);
    EXPECT_EQ(k, 0u);
    EXPECT_EQ(writeValue(CurrentUser, QStringLiteral("Software"), QStringLiteral("v"), sz("x")),
              RegistryCorrupt);
    EXPECT_EQ(testsupport::TempEnvironment::readFile(hiveFilePath(CurrentUser)), QByteArray(4096, '\x5a'));
}

// Another program holds the hive locked for a moment: calls wait for it instead of failing.
TEST(RegistryHive, CallsWaitOutABriefLockHeldElsewhere)
{
    testsupport::TempEnvironment env;
    ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Busy"), QStringLiteral("v"), sz("old")),
              Success);
    const QByteArray file = QFile::encodeName(hiveFilePath(CurrentUser));

    const auto lockFor = [&](int ms) {
        sqlite3 *db = nullptr;
        EXPECT_EQ(sqlite3_open(file.constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        return std::thread([db, ms] {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_close(db);
        });
    };

    QElapsedTimer t;
    std::thread holder = lockFor(400);
    t.start();
    EXPECT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Busy"), QStringLiteral("v"), sz("new")),
              Success);
    EXPECT_GE(t.elapsed(), 300);
    holder.join();

    holder = lockFor(400);
    t.restart();
    long rc = 0;
    EXPECT_EQ(readValue(CurrentUser, QStringLiteral("Software\\Busy"), QStringLiteral("v"), &rc), sz("new"));
    EXPECT_EQ(rc, Success);
    EXPECT_GE(t.elapsed(), 300);
    holder.join();
}

static void writeMany(const QString &who)
{
    for (int i = 0; i < 150; ++i) {
        ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Shared\\") + who,
                             QStringLiteral("v%1").arg(i), sz("x")),
                  Success);
    }
}

// The test starts its own binary again as the second process, which only writes.
TEST(RegistryHive, TwoProcessesWriteTheSameHive)
{
    if (qEnvironmentVariableIsSet("CD_REGISTRY_CHILD")) {
        writeMany(QStringLiteral("child"));
        return;
    }
    testsupport::TempEnvironment env;
    ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Shared"), QStringLiteral("start"), sz("1")),
              Success);

    QProcess child;
    QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
    pe.insert(QStringLiteral("CD_REGISTRY_CHILD"), QStringLiteral("child"));
    child.setProcessEnvironment(pe);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=RegistryHive.TwoProcessesWriteTheSameHive")});
    ASSERT_TRUE(child.waitForStarted());
    writeMany(QStringLiteral("parent"));
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();

    for (const char *who : {"parent", "child"}) {
        Key k = 0;
        ASSERT_EQ(
            openKey(CurrentUser, QStringLiteral("Software\\Shared\\") + QLatin1String(who), KeyRead, &k),
            Success);
        int count = 0;
        char name[32];
        for (quint32 size = sizeof name;
             enumValue(k, quint32(count), name, &size, nullptr, nullptr, nullptr) == Success;
             size = sizeof name)
            ++count;
        EXPECT_EQ(count, 150) << who;
        closeKey(k);
    }
}
