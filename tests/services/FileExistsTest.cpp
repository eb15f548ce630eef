#include "services/xfileExists.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

class FileExistsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = env.programFolder();
        env.writeFile(dir + QStringLiteral("/Favorites.txt"), "x");
        env.writeFile(dir + QStringLiteral("/.hidden"), "x");
        const QString readOnly = env.writeFile(dir + QStringLiteral("/locked.txt"), "x");
        QFile::setPermissions(readOnly, QFile::ReadOwner);
        QDir(dir).mkdir(QStringLiteral("Data"));
    }
    testsupport::TempEnvironment env;
    QString dir;
};

TEST_F(FileExistsTest, FilesCountInAnyLetterCaseHiddenAndReadOnlyIncluded)
{
    EXPECT_TRUE(FileExists(dir + QStringLiteral("/Favorites.txt")));
    EXPECT_TRUE(FileExists(dir + QStringLiteral("/FAVORITES.TXT")));
    EXPECT_TRUE(FileExists(dir + QStringLiteral("/favorites.Txt")));
    EXPECT_TRUE(FileExists(dir + QStringLiteral("/.hidden")));
    EXPECT_TRUE(FileExists(dir + QStringLiteral("/.HIDDEN")));
    EXPECT_TRUE(FileExists(dir + QStringLiteral("/locked.txt")));
}

TEST_F(FileExistsTest, FoldersPatternsAndMissingPathsAreNotFiles)
{
    EXPECT_FALSE(FileExists(dir + QStringLiteral("/Data")));
    EXPECT_FALSE(FileExists(dir + QStringLiteral("/data")));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_FALSE(FileExists(dir + QLatin1Char('/')));
    EXPECT_FALSE(FileExists(dir + QStringLiteral("/*.txt")));
    EXPECT_FALSE(FileExists(dir + QStringLiteral("/Favorites.tx?")));
    EXPECT_FALSE(FileExists(dir + QStringLiteral("/Help.chm")));
    EXPECT_FALSE(FileExists(dir + QStringLiteral("/nowhere/Favorites.txt")));
    EXPECT_FALSE(FileExists(QString()));
    // A broken link is no file to read.
    QFile::link(dir + QStringLiteral("/gone.txt"), dir + QStringLiteral("/link.txt"));
    EXPECT_FALSE(FileExists(dir + QStringLiteral("/link.txt")));
}

TEST_F(FileExistsTest, OnlyTheLastPartIgnoresCase)
{
    env.writeFile(dir + QStringLiteral("/Data/Data.txt"), "x");
    EXPECT_TRUE(FileExists(dir + QStringLiteral("/Data/DATA.TXT")));
    EXPECT_FALSE(FileExists(dir + QStringLiteral("/DATA/Data.txt")));
}

TEST(StripPath, GivesTheTextAfterTheLastSlash)
{
    EXPECT_EQ(StripPath(QStringLiteral("/home/user/Help.chm")), QStringLiteral("Help.chm"));
    EXPECT_EQ(StripPath(QStringLiteral("Help.chm")), QStringLiteral("Help.chm"));
    EXPECT_EQ(StripPath(QStringLiteral("/home/user/")), QString());
    EXPECT_EQ(StripPath(QString()), QString());
    EXPECT_EQ(StripPath(QStringLiteral("C:\\Program\\Help.chm")), QStringLiteral("C:\\Program\\Help.chm"));
}
