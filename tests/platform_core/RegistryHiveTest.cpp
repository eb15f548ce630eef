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
#include <QStandardPaths>

#include "tests/support/FailingDiskChild.h"

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

// A hive's connection is closed and opened again on the same file when its rights change;
// the new one serves every key and value through statements of its own, never through those
// the closed one kept.
TEST(RegistryHive, ConnectionOpenedAgainOnTheSameFileServesEveryKeyAndValue)
{
    testsupport::TempEnvironment env;
    const auto keyPath = [](int i) {
        return QStringLiteral("Software\\Many\\K%1").arg(i, 2, 10, QLatin1Char('0'));
    };
    const auto text = [](const char *round, int key, int value) {
        return QByteArray(round) + ' ' + QByteArray::number(key) + '.' + QByteArray::number(value) + '\0';
    };
    const auto fill = [&](const char *round) {
        for (int i = 0; i < 30; ++i) {
            for (int v = 0; v < 4; ++v)
                ASSERT_EQ(
                    writeValue(CurrentUser, keyPath(i), QStringLiteral("v%1").arg(v), text(round, i, v)),
                    Success);
        }
    };
    const auto check = [&](const char *round) {
        for (int i = 0; i < 30; ++i) {
            for (int v = 0; v < 4; ++v)
                ASSERT_EQ(readValue(CurrentUser, keyPath(i), QStringLiteral("v%1").arg(v)),
                          text(round, i, v));
        }
        Key k = 0;
        ASSERT_EQ(openKey(CurrentUser, QStringLiteral("Software\\Many"), KeyRead, &k), Success);
        char name[32];
        quint32 index = 0;
        for (quint32 size = sizeof name; enumKey(k, index, name, &size) == Success; size = sizeof name) {
            EXPECT_EQ(QLatin1String(name), QStringLiteral("K%1").arg(index, 2, 10, QLatin1Char('0')));
            ++index;
        }
        EXPECT_EQ(index, 30u);
        closeKey(k);
        ASSERT_EQ(openKey(CurrentUser, keyPath(7), KeyRead, &k), Success);
        char data[32];
        index = 0;
        for (quint32 size = sizeof name, dataSize = sizeof data;
             enumValue(k, index, name, &size, nullptr, data, &dataSize) == Success;
             size = sizeof name, dataSize = sizeof data) {
            EXPECT_EQ(QLatin1String(name), QStringLiteral("v%1").arg(index));
            EXPECT_EQ(QByteArray(data, dataSize), text(round, 7, int(index)));
            ++index;
        }
        EXPECT_EQ(index, 4u);
        closeKey(k);
    };
    fill("first");
    check("first");
    const QString file = hiveFilePath(CurrentUser);
    setMode(file, ReadOnly);
    check("first");
    EXPECT_EQ(writeValue(CurrentUser, keyPath(0), QStringLiteral("v0"), sz("x")), AccessDenied);
    setMode(file, ReadWrite);
    fill("second");
    check("second");
}

// Hives of a registry folder that moved (every test environment has its own) are not kept
// open beside those of the folder in use.
TEST(RegistryHive, ConnectionsToHivesOfAFolderThatMovedAreClosed)
{
    const auto openFiles = [] {
        return QDir(QStringLiteral("/proc/self/fd"))
            .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
            .size();
    };
    const auto useHives = [] {
        testsupport::TempEnvironment env;
        ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\A"), QStringLiteral("v"), sz("1")),
                  Success);
        ASSERT_EQ(writeValue(LocalMachine, QStringLiteral("SOFTWARE\\B"), QStringLiteral("v"), sz("2")),
                  Success);
        ASSERT_EQ(readValue(CurrentUser, QStringLiteral("Software\\A"), QStringLiteral("v")), sz("1"));
    };
    useHives();
    const qsizetype before = openFiles();
    for (int i = 0; i < 30; ++i)
        useHives();
    // Each hive left open would hold its file and both journal files.
    EXPECT_LT(openFiles(), before + 10);
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

// Another program holds the hive's write lock for a moment: writes wait for it instead of
// failing.
TEST(RegistryHive, WritesWaitOutABriefLockHeldElsewhere)
{
    testsupport::TempEnvironment env;
    ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Busy"), QStringLiteral("v"), sz("old")),
              Success);
    const QByteArray file = QFile::encodeName(hiveFilePath(CurrentUser));

    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(file.constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::thread holder([db] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    });
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Busy"), QStringLiteral("v"), sz("new")),
              Success);
    EXPECT_GE(t.elapsed(), 300);
    holder.join();
    EXPECT_EQ(readValue(CurrentUser, QStringLiteral("Software\\Busy"), QStringLiteral("v")), sz("new"));
}

// Readers neither wait for a writer nor see what it has not committed: while another
// connection holds the hive's write lock in the middle of a rewrite, a read answers at once
// with the value as it was.
TEST(RegistryHive, ReadsDoNotWaitForAWriterNorSeeItsUnfinishedWork)
{
    testsupport::TempEnvironment env;
    ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Busy"), QStringLiteral("v"), sz("old")),
              Success);
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(hiveFilePath(CurrentUser)).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "BEGIN EXCLUSIVE; UPDATE vals SET data=x'6E657700'; DELETE FROM keys WHERE id>1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    // Still inside the other connection's transaction: a reader that had to wait for it would
    // give up after its busy timeout and fail.
    long rc = 0;
    EXPECT_EQ(readValue(CurrentUser, QStringLiteral("Software\\Busy"), QStringLiteral("v"), &rc), sz("old"));
    EXPECT_EQ(rc, Success);
    ASSERT_EQ(sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    EXPECT_EQ(readValue(CurrentUser, QStringLiteral("Software\\Busy"), QStringLiteral("v")), sz("old"));
}

// A machine hive written once (by an administrator, say) and then left in a folder the user
// may not write: the journal files a reader would need cannot be made beside it, and it must
// still read. The test starts its own binary again as that user: as root, with the rights of
// "nobody", since root may write any folder.
TEST(RegistryHive, HiveInAFolderTheUserMayNotWriteStillReads)
{
    if (qEnvironmentVariableIsSet("CD_READONLY_FOLDER_CHILD")) {
        long rc = 0;
        EXPECT_EQ(readValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("v"), &rc),
                  sz("kept"));
        EXPECT_EQ(rc, Success);
        EXPECT_EQ(readValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("w"), &rc),
                  QByteArray());
        EXPECT_EQ(rc, FileNotFound);
        EXPECT_EQ(writeValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("v"), sz("new")),
                  AccessDenied);
        return;
    }
    QString program = QCoreApplication::applicationFilePath();
    QStringList arguments{
        QStringLiteral("--gtest_filter=RegistryHive.HiveInAFolderTheUserMayNotWriteStillReads")};
    if (geteuid() == 0) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty())
            GTEST_SKIP() << "running as root without setpriv to drop the rights";
        arguments = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                QStringLiteral("--clear-groups"), program} +
                    arguments;
        program = setpriv;
    }

    testsupport::TempEnvironment env;
    // Written on a thread of its own, whose connection closes when it ends: the journal is
    // folded into the hive and its files go, as after the writing program quit.
    std::thread([] {
        ASSERT_EQ(writeValue(LocalMachine, QStringLiteral("SOFTWARE\\Co"), QStringLiteral("v"), sz("kept")),
                  Success);
    }).join();
    const QString file = hiveFilePath(LocalMachine);
    ASSERT_FALSE(QFileInfo::exists(file + QStringLiteral("-wal")));
    // Bytes 18 and 19 of the file's header are 2 for a database in the write-ahead journal.
    EXPECT_EQ(testsupport::TempEnvironment::readFile(file).mid(18, 2), QByteArray("\2\2", 2));

    const QFileDevice::Permissions openFolder =
        ReadOnly | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(env.root(), openFolder | QFileDevice::WriteOwner));
    ASSERT_TRUE(QFile::setPermissions(env.registryDir(), openFolder));
    setMode(file, ReadOnly);

    QProcess child;
    QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
    pe.insert(QStringLiteral("CD_READONLY_FOLDER_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(pe);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(program, arguments);
    const bool finished = child.waitForFinished(60000);
    const QByteArray output = child.readAll();
    QFile::setPermissions(env.registryDir(), openFolder | QFileDevice::WriteOwner);
    setMode(file, ReadWrite);
    ASSERT_TRUE(finished);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

// The disk takes the batch's writes but fails to store them when it commits: the batch says
// so, and none of its writes is there. The test starts its own binary again with that disk
// preloaded.
TEST(RegistryHive, ABatchWhoseCommitFailsSaysSoAndKeepsNothing)
{
    if (!testsupport::inFailingDiskChild()) {
        const testsupport::ChildResult child = testsupport::runUnderFailingDisk(
            CD_FAILING_DISK, QStringLiteral("RegistryHive.ABatchWhoseCommitFailsSaysSoAndKeepsNothing"));
        ASSERT_TRUE(child.finished);
        EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
        EXPECT_TRUE(child.output.contains("[  PASSED  ] 1 test")) << child.output.toStdString();
        return;
    }
    testsupport::TempEnvironment env;
    ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Kept"), QStringLiteral("v"), sz("old")),
              Success);
    {
        Batch batch;
        ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Kept"), QStringLiteral("v"), sz("new")),
                  Success);
        ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Added"), QStringLiteral("v"), sz("x")),
                  Success);
        env.setEnv("CD_FAIL_SYNC_UNDER",
                   QFile::encodeName(QFileInfo(env.registryDir()).canonicalFilePath() + QStringLiteral("/")));
        EXPECT_NE(batch.finish(), Success);
        EXPECT_EQ(batch.finish(), Success); // ended once only
    }
    env.setEnv("CD_FAIL_SYNC_UNDER", QByteArray());
    // Another connection sees the hive as it was before the batch.
    std::thread([] {
        long rc = 0;
        EXPECT_EQ(readValue(CurrentUser, QStringLiteral("Software\\Kept"), QStringLiteral("v")), sz("old"));
        readValue(CurrentUser, QStringLiteral("Software\\Added"), QStringLiteral("v"), &rc);
        EXPECT_EQ(rc, FileNotFound);
    }).join();
    // The same disk, working again, stores the next batch.
    Batch again;
    ASSERT_EQ(writeValue(CurrentUser, QStringLiteral("Software\\Kept"), QStringLiteral("v"), sz("newer")),
              Success);
    EXPECT_EQ(again.finish(), Success);
    EXPECT_EQ(readValue(CurrentUser, QStringLiteral("Software\\Kept"), QStringLiteral("v")), sz("newer"));
}

// A writer killed (kill -9) in the middle of its batches: each batch is there whole or not at
// all, readers go on, and the next writer finds the hive as usable as ever. The test starts its
// own binary again as the writer.
TEST(RegistryHive, AWriterKilledMidWayLeavesEveryBatchWholeAndTheHiveUsable)
{
    const QString path = QStringLiteral("Software\\Pair");
    if (qEnvironmentVariableIsSet("CD_REGISTRY_KILLED_CHILD")) {
        for (int i = 1;; ++i) {
            Batch batch;
            const QByteArray text = QByteArray::number(i) + '|' + QByteArray(100, 'x') + '\0';
            writeValue(CurrentUser, path, QStringLiteral("a"), text);
            writeValue(CurrentUser, path, QStringLiteral("b"), text);
            batch.finish();
        }
    }
    const auto counter = [](const QByteArray &text) { return text.left(text.indexOf('|')).toInt(); };
    testsupport::TempEnvironment env;
    ASSERT_EQ(writeValue(CurrentUser, path, QStringLiteral("a"), sz("0|")), Success);
    ASSERT_EQ(writeValue(CurrentUser, path, QStringLiteral("b"), sz("0|")), Success);

    QProcess child;
    QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
    pe.insert(QStringLiteral("CD_REGISTRY_KILLED_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(pe);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral(
                    "--gtest_filter=RegistryHive.AWriterKilledMidWayLeavesEveryBatchWholeAndTheHiveUsable")});
    ASSERT_TRUE(child.waitForStarted());
    // Killed once it has stored a few hundred batches, whichever write it is at then.
    QElapsedTimer waited;
    waited.start();
    while (counter(readValue(CurrentUser, path, QStringLiteral("a"))) < 300 && waited.elapsed() < 60000) {
    }
    child.kill();
    ASSERT_TRUE(child.waitForFinished(60000));

    const auto pairIsWhole = [&] {
        const QByteArray a = readValue(CurrentUser, path, QStringLiteral("a"));
        EXPECT_EQ(a, readValue(CurrentUser, path, QStringLiteral("b")));
        EXPECT_GE(counter(a), 300);
    };
    pairIsWhole();
    std::thread(pairIsWhole).join(); // a connection opened after the kill
    ASSERT_EQ(writeValue(CurrentUser, path, QStringLiteral("a"), sz("after")), Success);
    EXPECT_EQ(readValue(CurrentUser, path, QStringLiteral("a")), sz("after"));
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
