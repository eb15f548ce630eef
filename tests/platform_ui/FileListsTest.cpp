// Drive, folder and file lists over real folders.
#include "platform/ui/FileLists.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
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

TEST(FileListsTest, ReadingTheSameFolderAgainKeepsThePickAndScrollingAnotherFolderStartsAfresh)
{
    QTemporaryDir dir;
    for (int i = 0; i < 200; ++i)
        touch(dir.filePath(QStringLiteral("track%1.mp3").arg(i, 3, 10, QLatin1Char('0'))));
    QTemporaryDir other;
    touch(other.filePath(QStringLiteral("track149.mp3")));

    FileListBox files;
    files.resize(200, 100);
    files.setPattern(QStringLiteral("*.mp3"));
    ASSERT_TRUE(files.setPath(dir.path()));
    files.setFileName(QStringLiteral("track150.mp3"));
    files.scrollToItem(files.currentItem());
    QCoreApplication::processEvents();
    const int scrolled = files.verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);

    touch(dir.filePath(QStringLiteral("aaa.mp3"))); // sorts first: rows below it move down
    files.refreshContents();
    QCoreApplication::processEvents(); // the rows are laid out late
    EXPECT_EQ(files.ListCount(), 201);
    EXPECT_EQ(files.FileName(), QStringLiteral("track150.mp3"));
    EXPECT_EQ(files.verticalScrollBar()->value(), scrolled);

    // A picked file that went away leaves nothing picked, and the list where it was scrolled.
    QFile::remove(dir.filePath(QStringLiteral("track150.mp3")));
    files.verticalScrollBar()->setValue(files.verticalScrollBar()->maximum() / 2);
    const int midway = files.verticalScrollBar()->value();
    files.refreshContents();
    QCoreApplication::processEvents();
    EXPECT_EQ(files.FileName(), QString());
    EXPECT_EQ(files.verticalScrollBar()->value(), midway);

    // Names that differ only in letter case: the very one picked stays picked, also when it
    // comes second.
    touch(dir.filePath(QStringLiteral("TRACK149.mp3")));
    files.refreshContents();
    const QList<QListWidgetItem *> twins =
        files.findItems(QStringLiteral("track149.mp3"), Qt::MatchFixedString);
    ASSERT_EQ(twins.size(), 2);
    QListWidgetItem *second = files.row(twins.at(0)) > files.row(twins.at(1)) ? twins.at(0) : twins.at(1);
    const QString secondName = second->text();
    files.setCurrentItem(second);
    files.refreshContents();
    EXPECT_EQ(files.FileName(), secondName);

    ASSERT_TRUE(files.setPath(other.path()));
    EXPECT_EQ(files.FileName(), QString()) << "a name picked in another folder is no pick here";

    DirListBox dirs;
    QDir(dir.path()).mkdir(QStringLiteral("b"));
    ASSERT_TRUE(dirs.setPath(dir.path()));
    dirs.setListIndex(0);
    QDir(dir.path()).mkdir(QStringLiteral("a"));
    QSignalSpy changes(&dirs, &DirListBox::Change);
    dirs.refreshContents();
    EXPECT_EQ(dirs.ListCount(), 2);
    EXPECT_EQ(dirs.List(dirs.ListIndex()), dir.filePath(QStringLiteral("b")));
    EXPECT_EQ(changes.count(), 0);
    ASSERT_TRUE(dirs.setPath(dir.filePath(QStringLiteral("a"))));
    EXPECT_EQ(dirs.ListIndex(), -1) << "another folder starts with itself picked";
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
