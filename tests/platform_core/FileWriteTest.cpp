// Atomic file replacement: a write that fails at any step (open, a short write that is still
// in the buffer, a short write that went straight to the file, a disk that fails to store it)
// keeps the old file and leaves no scratch file beside it; and the scratch-file round trip.
#include "platform/core/FileWrite.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace
{

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(FileWrite, WritesANewFileAndReplacesAnOldOneWhole)
{
    testsupport::TempEnvironment env;
    const QString folder = env.root();
    const QString path = folder + "/list.txt";

    QString error = "untouched";
    ASSERT_TRUE(platform::writeFileAtomically(path, "first line\r\nsecond line\r\n", &error));
    EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "first line\r\nsecond line\r\n");
    EXPECT_EQ(error, "untouched");

    // A shorter content leaves nothing of the longer one behind.
    ASSERT_TRUE(platform::writeFileAtomically(path, "short"));
    EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "short");
    ASSERT_TRUE(platform::writeFileAtomically(path, QByteArray()));
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_EQ(filesIn(folder), QStringList{"list.txt"});
}

TEST(FileWrite, PlaceThatTakesNoFileFailsWithAReason)
{
    testsupport::TempEnvironment env;
    const QString missing = env.root() + "/no/such/folder";
    QString error;
    EXPECT_FALSE(platform::writeFileAtomically(missing + "/list.txt", "data", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(missing));
    // Without a place for the reason it fails just the same.
    EXPECT_FALSE(platform::writeFileAtomically(missing + "/list.txt", "data"));

    // A folder of that name is not replaced by a file.
    const QString folder = env.root() + "/taken";
    ASSERT_TRUE(QDir().mkpath(folder + "/inside"));
    error.clear();
    EXPECT_FALSE(platform::writeFileAtomically(folder, "data", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QFileInfo(folder + "/inside").isDir());
}

// The small content still sits in the write buffer when write() returns, so only its flush
// meets the limit: the case a bare commit() reports as success.
TEST(FileWrite, ShortWriteKeepsTheOldFileAndLeavesNoScratchFile)
{
    for (const qsizetype size : {qsizetype(1000), qsizetype(200000)}) {
        SCOPED_TRACE(size);
        testsupport::TempEnvironment env;
        const QString folder = env.root() + "/program";
        const QString path = env.writeFile(folder + "/Favorites.txt", "old content\r\n");

        bool written = true;
        QString error;
        {
            testsupport::FileSizeLimit limit(200);
            ASSERT_TRUE(limit.ok());
            written = platform::writeFileAtomically(path, QByteArray(size, 'x'), &error);
        }
        EXPECT_FALSE(written);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "old content\r\n");
        EXPECT_EQ(filesIn(folder), QStringList{"Favorites.txt"});
    }
}

TEST(FileWrite, ScratchFileIsReadBackAndRemovedAndALeftoverIsNeverRead)
{
    testsupport::TempEnvironment env;
    const QString path = env.writeFile(env.root() + "/program/temp.txt", "left by a run cut short\r\n");
    const QByteArray page = "line one\r\nline two\r\n";
    EXPECT_EQ(platform::passThroughScratchFile(path, page), page);
    EXPECT_FALSE(QFileInfo::exists(path));

    // Where the file cannot be written the text comes from memory.
    EXPECT_EQ(platform::passThroughScratchFile(env.root() + "/missing/temp.txt", page), page);

    // A write that fails leaves the stale file unread, and it goes as well.
    env.writeFile(path, "stale\r\n");
    QByteArray result;
    {
        testsupport::FileSizeLimit limit(100);
        ASSERT_TRUE(limit.ok());
        result = platform::passThroughScratchFile(path, QByteArray(1000, 'y'));
    }
    EXPECT_EQ(result, QByteArray(1000, 'y'));
    EXPECT_FALSE(QFileInfo::exists(path));
}

// A link in the scratch file's place, to a file or to nothing yet, is neither written
// through nor read: the page comes back whole and the file it names stays as it was.
TEST(FileWrite, ScratchFileNeverFollowsALink)
{
    testsupport::TempEnvironment env;
    const QString path = env.root() + "/program/temp.txt";
    const QString victim = env.writeFile(env.root() + "/elsewhere/precious.txt", "keep me\r\n");
    const QString absent = env.root() + "/elsewhere/planted.txt";
    const QByteArray page = "href=one\r\nhref=two\r\n";
    ASSERT_TRUE(QDir().mkpath(env.root() + "/program"));
    for (const QString &target : {victim, absent}) {
        SCOPED_TRACE(target.toStdString());
        ASSERT_TRUE(QFile::link(target, path));
        EXPECT_EQ(platform::passThroughScratchFile(path, page), page);
        EXPECT_FALSE(QFileInfo(path).isSymLink());
        EXPECT_FALSE(QFileInfo::exists(path));
    }
    EXPECT_EQ(testsupport::TempEnvironment::readFile(victim), "keep me\r\n");
    EXPECT_FALSE(QFileInfo::exists(absent));
}

// The disk takes every byte but reports EIO when asked to store them (fdatasync) or when the
// file is closed. The test starts its own binary again with that disk preloaded.
TEST(FileWrite, DiskThatFailsToStoreTheFileKeepsTheOldOne)
{
    if (!qEnvironmentVariableIsSet("CD_FAILING_DISK_CHILD")) {
        QProcess child;
        QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
        pe.insert(QStringLiteral("CD_FAILING_DISK_CHILD"), QStringLiteral("1"));
        pe.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(CD_FAILING_DISK));
        pe.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0"));
        child.setProcessEnvironment(pe);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_filter=FileWrite.DiskThatFailsToStoreTheFileKeepsTheOldOne")});
        ASSERT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAll().toStdString();
        return;
    }
    for (const char *failing : {"CD_FAIL_SYNC_UNDER", "CD_FAIL_CLOSE_UNDER"}) {
        SCOPED_TRACE(failing);
        testsupport::TempEnvironment env;
        const QString folder = env.root() + "/program";
        const QString path = env.writeFile(folder + "/Favorites.txt", "old content\r\n");
        // The preloaded disk stores files elsewhere as usual.
        ASSERT_TRUE(platform::writeFileAtomically(path, "before\r\n"));
        EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "before\r\n");

        env.setEnv(failing, QFile::encodeName(QFileInfo(folder).canonicalFilePath() + "/"));
        QString error;
        EXPECT_FALSE(platform::writeFileAtomically(path, "new content\r\n", &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "before\r\n");
        EXPECT_EQ(filesIn(folder), QStringList{"Favorites.txt"});
    }
}
