// Drive, folder and file lists over real folders.
#include "platform/ui/FileLists.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace ui;

namespace
{

void touch(const QString &path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

} // namespace

TEST(FileListsTest, FileListShowsMatchingFilesIgnoringCaseWithoutHiddenOnes)
{
    QTemporaryDir dir;
    touch(dir.filePath(QStringLiteral("song.MP3")));
    touch(dir.filePath(QStringLiteral("clip.wmv")));
    touch(dir.filePath(QStringLiteral("notes.txt")));
    touch(dir.filePath(QStringLiteral(".hidden.mp3")));
    QDir(dir.path()).mkdir(QStringLiteral("sub.mp3"));

    FileListBox files;
    QSignalSpy pathChanges(&files, &FileListBox::PathChange);
    files.setPattern(QStringLiteral("*.wmv;*.mp3"));
    ASSERT_TRUE(files.setPath(dir.path()));
    EXPECT_EQ(pathChanges.count(), 1);
    EXPECT_EQ(files.ListCount(), 2);
    EXPECT_EQ(files.List(0), QStringLiteral("clip.wmv"));
    EXPECT_EQ(files.List(1), QStringLiteral("song.MP3"));
    EXPECT_EQ(files.FileName(), QString());
    files.setListIndex(1);
    EXPECT_EQ(files.FileName(), QStringLiteral("song.MP3"));

    touch(dir.filePath(QStringLiteral("later.wmv")));
    EXPECT_EQ(files.ListCount(), 2);
    files.Refresh();
    EXPECT_EQ(files.ListCount(), 3);

    EXPECT_FALSE(files.setPath(dir.filePath(QStringLiteral("missing"))));
    EXPECT_EQ(files.Path(), QDir(dir.path()).absolutePath());
}

TEST(FileListsTest, DirListListsSubfoldersAndRaisesChangeOnlyOnAChange)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir(QStringLiteral("Music"));
    QDir(dir.path()).mkdir(QStringLiteral("clips"));
    touch(dir.filePath(QStringLiteral("file.mp3")));

    DirListBox dirs;
    QSignalSpy changes(&dirs, &DirListBox::Change);
    ASSERT_TRUE(dirs.setPath(dir.path()));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(dirs.ListCount(), 2);
    EXPECT_EQ(dirs.List(0), dir.filePath(QStringLiteral("clips")));
    EXPECT_EQ(dirs.List(-1), QDir(dir.path()).absolutePath());
    dirs.setPath(dir.path() + QStringLiteral("/"));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_FALSE(dirs.setPath(QString()));
    EXPECT_FALSE(dirs.setPath(dir.filePath(QStringLiteral("nope"))));
    EXPECT_EQ(changes.count(), 1);
}

TEST(FileListsTest, DrivesAreMountPointsAndAPathPicksItsMountPoint)
{
    DriveListBox drives;
    ASSERT_GT(drives.ListCount(), 0);
    QSignalSpy changes(&drives, &DriveListBox::Change);
    const QString root = QStorageInfo(QDir::tempPath()).rootPath();
    drives.setListIndex(-1);
    drives.setDrive(QDir::tempPath());
    EXPECT_EQ(drives.Drive(), root);
    drives.setDrive(QStringLiteral("no such drive"));
    EXPECT_EQ(drives.Drive(), root);
    EXPECT_LE(changes.count(), 1);
}
