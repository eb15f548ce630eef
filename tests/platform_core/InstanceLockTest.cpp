#include "platform/core/InstanceLock.h"
#include "platform/core/ProgramFolder.h"
#include "tests/support/TempEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The first free lock is kept for the whole process, so one test walks the whole story.
TEST(InstanceLock, HeldLockMeansAnotherInstanceAndAFreeOneIsTakenForGood)
{
    // Outlives the lock, which is released only when the process ends.
    static QTemporaryDir runtimeDir;
    testsupport::TempEnvironment env;
    env.setEnv("XDG_RUNTIME_DIR", runtimeDir.path().toUtf8());
    const QString path = platform::instanceLockPath();
    ASSERT_TRUE(path.startsWith(runtimeDir.path() + QLatin1Char('/')));

    {
        QLockFile other(path);
        other.setStaleLockTime(0);
        ASSERT_TRUE(other.tryLock(0));
        EXPECT_TRUE(platform::anotherInstanceRunning());
    }
    EXPECT_FALSE(QFile::exists(path));

    EXPECT_FALSE(platform::anotherInstanceRunning());
    EXPECT_TRUE(QFile::exists(path));
    QLockFile late(path);
    late.setStaleLockTime(0);
    EXPECT_FALSE(late.tryLock(0));
    EXPECT_FALSE(platform::anotherInstanceRunning());
}

TEST(ProgramFolder, EnvironmentOverridesTheExecutablesFolder)
{
    testsupport::TempEnvironment env;
    EXPECT_EQ(platform::programFolder(), env.programFolder());
    env.setEnv("CHANNELDECK_PROGRAM_FOLDER", env.programFolder().toUtf8() + "/");
    EXPECT_EQ(platform::programFolder(), env.programFolder());
    env.setEnv("CHANNELDECK_PROGRAM_FOLDER", "");
    EXPECT_EQ(platform::programFolder(), QCoreApplication::applicationDirPath());
}
