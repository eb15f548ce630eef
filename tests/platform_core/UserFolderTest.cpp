// Where files are read and written: shipped files in the program folder (or the installed
// share folder), everything the program writes in the user folder, which is read first, and
// the user's files that earlier versions kept beside the program, taken over into it.
#include "platform/core/UserFolder.h"
#include "platform/core/ProgramFolder.h"
#include "tests/support/TempEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace
{

using testsupport::TempEnvironment;

void setModified(const QString &path, const QDateTime &when)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

QDateTime modified(const QString &path)
{
    return QFileInfo(path).lastModified();
}

class TakeOverTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        QFile::setPermissions(env.programFolder(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QString old(const QString &name) const { return env.programFolder() + QLatin1Char('/') + name; }
    QString mine(const QString &name) const { return env.userFolder() + QLatin1Char('/') + name; }

    TempEnvironment env;
    const QDateTime lastYear = QDateTime::currentDateTime().addYears(-1);
    const QDateTime lastMonth = QDateTime::currentDateTime().addMonths(-1);
};

} // namespace

TEST(UserFolder, FollowsXdgDataHomeAndIsNotMadeByReading)
{
    TempEnvironment env;
    EXPECT_EQ(platform::userFolder(), env.dataHome() + QStringLiteral("/ChannelDeck"));
    env.setEnv("XDG_DATA_HOME", "");
    env.setEnv("HOME", env.root().toUtf8());
    EXPECT_EQ(platform::userFolder(), env.root() + QStringLiteral("/.local/share/ChannelDeck"));
    env.setEnv("XDG_DATA_HOME", env.dataHome().toUtf8());

    // Shipped files are found beside the program while the user has none of their own.
    env.writeFile(env.programFolder() + QStringLiteral("/Localization.txt"), "shipped");
    EXPECT_EQ(platform::readableFile(QStringLiteral("Localization.txt")),
              env.programFolder() + QStringLiteral("/Localization.txt"));
    EXPECT_EQ(platform::readableFile(QStringLiteral("absent.txt")),
              env.programFolder() + QStringLiteral("/absent.txt"));
    EXPECT_FALSE(QFileInfo::exists(env.userFolder()));

    // The user's own copy wins, in whatever letter case it was saved.
    env.writeFile(env.userFolder() + QStringLiteral("/localization.TXT"), "mine");
    EXPECT_EQ(platform::readableFile(QStringLiteral("Localization.txt")),
              env.userFolder() + QStringLiteral("/localization.TXT"));
    env.writeFile(env.userFolder() + QStringLiteral("/Localization.txt"), "mine, exact");
    EXPECT_EQ(platform::readableFile(QStringLiteral("Localization.txt")),
              env.userFolder() + QStringLiteral("/Localization.txt"));
    // A folder of that name is no file.
    QDir().mkpath(env.userFolder() + QStringLiteral("/Help.chm"));
    env.writeFile(env.programFolder() + QStringLiteral("/Help.chm"), "ITSF");
    EXPECT_EQ(platform::readableFile(QStringLiteral("Help.chm")),
              env.programFolder() + QStringLiteral("/Help.chm"));
}

TEST(UserFolder, WritingMakesTheFolderAndItsSubfolders)
{
    TempEnvironment env;
    const QString path = platform::userFileForWriting(QStringLiteral("Favorites.txt"));
    EXPECT_EQ(path, env.userFolder() + QStringLiteral("/Favorites.txt"));
    EXPECT_TRUE(QFileInfo(env.userFolder()).isDir());
    EXPECT_FALSE(QFileInfo::exists(path)); // the folder only: the write is the caller's
    platform::userFileForWriting(QStringLiteral("lists/sports.txt"));
    EXPECT_TRUE(QFileInfo(env.userFolder() + QStringLiteral("/lists")).isDir());

    // Where it cannot be made, the path still comes back for the write to fail on.
    const QString blocker = env.writeFile(env.root() + QStringLiteral("/plain-file"), "x");
    env.setEnv("XDG_DATA_HOME", blocker.toUtf8());
    EXPECT_EQ(platform::userFileForWriting(QStringLiteral("Favorites.txt")),
              blocker + QStringLiteral("/ChannelDeck/Favorites.txt"));
}

TEST(ProgramFolder, InstalledProgramFindsItsShareFolder)
{
    TempEnvironment env;
    const QString prefix = env.root() + QStringLiteral("/prefix");
    const QString programDir = prefix + QStringLiteral("/lib/channeldeck");
    ASSERT_TRUE(QDir().mkpath(programDir));
    // A build tree: the shipped files lie beside the executable.
    EXPECT_EQ(platform::programFolderBeside(programDir), programDir);
    EXPECT_EQ(platform::programFolderBeside(programDir + QStringLiteral("/")), programDir);
    // Installed: lib/channeldeck/channeldeck and share/channeldeck.
    ASSERT_TRUE(QDir().mkpath(prefix + QStringLiteral("/share/channeldeck")));
    EXPECT_EQ(platform::programFolderBeside(programDir), prefix + QStringLiteral("/share/channeldeck"));
    // The variable still names the folder of the shipped files.
    EXPECT_EQ(platform::programFolder(), env.programFolder());
}

TEST_F(TakeOverTest, MovedFromAWritableProgramFolderWithItsTime)
{
    env.writeFile(old(QStringLiteral("Favorites.txt")), "favourites\r\n");
    setModified(old(QStringLiteral("Favorites.txt")), lastYear);
    env.writeFile(old(QStringLiteral("Data.htm")), "<data>\r\n</data>\r\n");
    env.writeFile(old(QStringLiteral("Localization.txt")), "shipped");

    platform::takeOverFromProgramFolder({QStringLiteral("Favorites.txt"), QStringLiteral("Data.htm")});
    EXPECT_EQ(TempEnvironment::readFile(mine(QStringLiteral("Favorites.txt"))), "favourites\r\n");
    EXPECT_EQ(modified(mine(QStringLiteral("Favorites.txt"))), lastYear);
    EXPECT_EQ(TempEnvironment::readFile(mine(QStringLiteral("Data.htm"))), "<data>\r\n</data>\r\n");
    EXPECT_FALSE(QFile::exists(old(QStringLiteral("Favorites.txt"))));
    EXPECT_FALSE(QFile::exists(old(QStringLiteral("Data.htm"))));
    // Files not named stay where they are.
    EXPECT_TRUE(QFile::exists(old(QStringLiteral("Localization.txt"))));
    EXPECT_FALSE(QFile::exists(mine(QStringLiteral("Localization.txt"))));
    EXPECT_EQ(QDir(env.userFolder()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"Data.htm", "Favorites.txt"})); // no scratch file left
}

TEST_F(TakeOverTest, CopiedOnceFromAReadOnlyProgramFolder)
{
    env.writeFile(old(QStringLiteral("favorites.TXT")), "favourites\r\n");
    setModified(old(QStringLiteral("favorites.TXT")), lastYear);
    // Read-only by its bits, which count for root too.
    ASSERT_TRUE(QFile::setPermissions(env.programFolder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    platform::takeOverFromProgramFolder({QStringLiteral("Favorites.txt")});
    EXPECT_EQ(TempEnvironment::readFile(mine(QStringLiteral("Favorites.txt"))), "favourites\r\n");
    EXPECT_EQ(TempEnvironment::readFile(old(QStringLiteral("favorites.TXT"))), "favourites\r\n");

    // The next start finds the copy as old as the original and takes nothing again: a
    // favourite removed since is not brought back.
    env.writeFile(mine(QStringLiteral("Favorites.txt")), "");
    setModified(mine(QStringLiteral("Favorites.txt")), lastYear);
    platform::takeOverFromProgramFolder({QStringLiteral("Favorites.txt")});
    EXPECT_EQ(TempEnvironment::readFile(mine(QStringLiteral("Favorites.txt"))), "");
}

TEST_F(TakeOverTest, NewerFileInTheUserFolderIsNeverOverwritten)
{
    env.writeFile(old(QStringLiteral("Favorites.txt")), "older");
    setModified(old(QStringLiteral("Favorites.txt")), lastYear);
    env.writeFile(mine(QStringLiteral("Favorites.txt")), "newer");
    setModified(mine(QStringLiteral("Favorites.txt")), lastMonth);
    platform::takeOverFromProgramFolder({QStringLiteral("Favorites.txt")});
    EXPECT_EQ(TempEnvironment::readFile(mine(QStringLiteral("Favorites.txt"))), "newer");
    EXPECT_EQ(modified(mine(QStringLiteral("Favorites.txt"))), lastMonth);
    // Nor is the one beside the program thrown away: it was not taken.
    EXPECT_EQ(TempEnvironment::readFile(old(QStringLiteral("Favorites.txt"))), "older");

    // Saved beside the program by an earlier version after the last take-over: that one wins.
    setModified(old(QStringLiteral("Favorites.txt")), QDateTime::currentDateTime());
    platform::takeOverFromProgramFolder({QStringLiteral("Favorites.txt")});
    EXPECT_EQ(TempEnvironment::readFile(mine(QStringLiteral("Favorites.txt"))), "older");
    EXPECT_FALSE(QFile::exists(old(QStringLiteral("Favorites.txt"))));
}

TEST_F(TakeOverTest, UserFolderThatCannotBeMadeLeavesTheOldFileInPlace)
{
    env.writeFile(old(QStringLiteral("Favorites.txt")), "favourites");
    const QString blocker = env.writeFile(env.root() + QStringLiteral("/plain-file"), "x");
    env.setEnv("XDG_DATA_HOME", blocker.toUtf8());
    platform::takeOverFromProgramFolder({QStringLiteral("Favorites.txt")});
    EXPECT_EQ(TempEnvironment::readFile(old(QStringLiteral("Favorites.txt"))), "favourites");
    // It is still what is read.
    EXPECT_EQ(platform::readableFile(QStringLiteral("Favorites.txt")), old(QStringLiteral("Favorites.txt")));
}
