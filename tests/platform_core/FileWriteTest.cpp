// Atomic file writes: a write that fails at any step (open, a short write that is still in the
// buffer, a short write that went straight to the file, a disk that fails to store it) keeps
// the old file, or leaves no file where there was none, and leaves no scratch file beside it;
// a write that must not replace keeps whatever holds its path, even what turns up while it
// runs; and the scratch-file round trip.
#include "platform/core/FileWrite.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempEnvironment.h"

#include "tests/support/FailingDiskChild.h"
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

        // Where nothing was, nothing is left.
        {
            testsupport::FileSizeLimit limit(200);
            ASSERT_TRUE(limit.ok());
            written = platform::writeFileAtomically(folder + "/new.reg", QByteArray(size, 'x'), &error,
                                                    platform::ExistingFile::Keep);
        }
        EXPECT_FALSE(written);
        EXPECT_EQ(filesIn(folder), QStringList{"Favorites.txt"});
    }
}

// Whatever holds the path (a file, a folder, a link to a file or to nothing) stays as it was,
// and nothing is created beside it.
TEST(FileWrite, WriteThatMustNotReplaceKeepsWhatHoldsThePath)
{
    testsupport::TempEnvironment env;
    const QString folder = env.root() + "/out";
    const QString path = folder + "/saved.reg";
    QString error = "untouched";
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(platform::writeFileAtomically(path, "first\r\n", &error, platform::ExistingFile::Keep));
    EXPECT_EQ(error, "untouched");
    EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "first\r\n");

    EXPECT_FALSE(platform::writeFileAtomically(path, "second\r\n", &error, platform::ExistingFile::Keep));
    EXPECT_NE(error, "untouched");
    EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "first\r\n");

    const QString victim = env.writeFile(env.root() + "/elsewhere/precious.txt", "keep me\r\n");
    ASSERT_TRUE(QFile::link(victim, folder + "/link.reg"));
    ASSERT_TRUE(QFile::link(env.root() + "/elsewhere/planted.txt", folder + "/dangling.reg"));
    ASSERT_TRUE(QDir().mkpath(folder + "/taken.reg"));
    for (const char *name : {"link.reg", "dangling.reg", "taken.reg"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(platform::writeFileAtomically(folder + "/" + QString::fromLatin1(name), "x", nullptr,
                                                   platform::ExistingFile::Keep));
    }
    EXPECT_EQ(testsupport::TempEnvironment::readFile(victim), "keep me\r\n");
    EXPECT_FALSE(QFileInfo::exists(env.root() + "/elsewhere/planted.txt"));
    EXPECT_TRUE(QFileInfo(folder + "/taken.reg").isDir());
    EXPECT_EQ(filesIn(folder), QStringList({"link.reg", "saved.reg"}));
    EXPECT_TRUE(QFileInfo(folder + "/dangling.reg").isSymLink());
}

// Written in pieces, the file shows only when committed; one that another program saves at the
// path meanwhile is kept by a write that must not replace, and replaced by one that may.
TEST(FileWrite, FileWrittenInPiecesAppearsWholeAndOnlyWhereItMay)
{
    testsupport::TempEnvironment env;
    const QString folder = env.root() + "/out";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/list.txt";
    {
        platform::AtomicFileWrite file(path, platform::ExistingFile::Keep);
        ASSERT_TRUE(file.open());
        EXPECT_TRUE(file.write("one\r\n"));
        EXPECT_TRUE(file.write(QByteArray(100000, 'x')));
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_TRUE(file.write("three\r\n"));
        ASSERT_TRUE(file.commit());
    }
    EXPECT_EQ(testsupport::TempEnvironment::readFile(path),
              "one\r\n" + QByteArray(100000, 'x') + "three\r\n");
    EXPECT_EQ(filesIn(folder), QStringList{"list.txt"});

    for (const auto existing : {platform::ExistingFile::Keep, platform::ExistingFile::Replace}) {
        const bool keep = existing == platform::ExistingFile::Keep;
        SCOPED_TRACE(keep);
        const QString target = folder + "/race.txt";
        QFile::remove(target);
        platform::AtomicFileWrite file(target, existing);
        ASSERT_TRUE(file.open());
        EXPECT_TRUE(file.write("mine, first half\r\n"));
        env.writeFile(target, "theirs");
        EXPECT_TRUE(file.write("mine, second half\r\n"));
        EXPECT_EQ(file.commit(), !keep);
        EXPECT_EQ(file.errorString().isEmpty(), !keep);
        EXPECT_EQ(testsupport::TempEnvironment::readFile(target),
                  keep ? QByteArray("theirs") : QByteArray("mine, first half\r\nmine, second half\r\n"));
        EXPECT_EQ(filesIn(folder), QStringList({"list.txt", "race.txt"}));
    }

    // Dropped or cancelled before the commit, nothing of it remains.
    for (const auto existing : {platform::ExistingFile::Keep, platform::ExistingFile::Replace}) {
        {
            platform::AtomicFileWrite file(folder + "/dropped.txt", existing);
            ASSERT_TRUE(file.open());
            EXPECT_TRUE(file.write("half"));
        }
        platform::AtomicFileWrite file(folder + "/cancelled.txt", existing);
        ASSERT_TRUE(file.open());
        EXPECT_TRUE(file.write("half"));
        file.cancel();
        EXPECT_FALSE(file.commit());
        EXPECT_FALSE(file.write("more"));
        EXPECT_EQ(filesIn(folder), QStringList({"list.txt", "race.txt"}));
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
    if (!testsupport::inFailingDiskChild()) {
        const testsupport::ChildResult child = testsupport::runUnderFailingDisk(
            CD_FAILING_DISK, QStringLiteral("FileWrite.DiskThatFailsToStoreTheFileKeepsTheOldOne"));
        ASSERT_TRUE(child.finished);
        EXPECT_EQ(child.exitCode, 0) << child.output.toStdString();
        EXPECT_TRUE(child.output.contains("[  PASSED  ] 1 test")) << child.output.toStdString();
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
        error.clear();
        EXPECT_FALSE(platform::writeFileAtomically(folder + "/new.reg", "new content\r\n", &error,
                                                   platform::ExistingFile::Keep));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(filesIn(folder), QStringList{"Favorites.txt"});
    }
}
