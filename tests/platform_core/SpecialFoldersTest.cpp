#include "platform/core/SpecialFolders.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace platform;

TEST(SpecialFolders, AppDataFollowsXdgDataHomeAndFallsBackToHome)
{
    testsupport::TempEnvironment env;
    env.setEnv("HOME", env.root().toUtf8());
    EXPECT_EQ(specialFolderPath(csidl::AppData), env.dataHome());

    env.setEnv("XDG_DATA_HOME", env.dataHome().toUtf8() + "/");
    EXPECT_EQ(specialFolderPath(csidl::AppData), env.dataHome()); // no trailing "/"

    // The XDG rules ignore a relative or empty value.
    env.setEnv("XDG_DATA_HOME", "relative/share");
    EXPECT_EQ(specialFolderPath(csidl::AppData), env.root() + QStringLiteral("/.local/share"));
    env.setEnv("XDG_DATA_HOME", "");
    EXPECT_EQ(specialFolderPath(csidl::AppData), env.root() + QStringLiteral("/.local/share"));
}

TEST(SpecialFolders, UserAndSystemFoldersMapToTheirXdgCounterparts)
{
    testsupport::TempEnvironment env;
    const QString home = env.root();
    env.setEnv("HOME", home.toUtf8());
    env.writeFile(QStringLiteral("config/user-dirs.dirs"),
                  "XDG_DOCUMENTS_DIR=\"$HOME/Papers\"\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    env.setEnv("XDG_DATA_DIRS", "relative:/opt/share:/usr/share");
    env.setEnv("XDG_CONFIG_DIRS", "/etc/xdg-test");
    env.setEnv("XDG_CACHE_HOME", (home + QStringLiteral("/cache")).toUtf8());

    EXPECT_EQ(specialFolderPath(csidl::Personal), home + QStringLiteral("/Papers"));
    EXPECT_EQ(specialFolderPath(csidl::DesktopDirectory), home + QStringLiteral("/Bureau"));
    EXPECT_EQ(specialFolderPath(csidl::StartMenu), env.dataHome() + QStringLiteral("/applications"));
    EXPECT_EQ(specialFolderPath(csidl::Startup), home + QStringLiteral("/config/autostart"));
    EXPECT_EQ(specialFolderPath(csidl::CommonStartup), QStringLiteral("/etc/xdg-test/autostart"));
    EXPECT_EQ(specialFolderPath(csidl::CommonAppData), QStringLiteral("/opt/share"));
    EXPECT_EQ(specialFolderPath(csidl::CommonStartMenu), QStringLiteral("/opt/share/applications"));
    EXPECT_EQ(specialFolderPath(csidl::InternetCache), home + QStringLiteral("/cache"));
}

TEST(SpecialFolders, EveryTokenFolderIsAbsoluteOrAFailedLookup)
{
    testsupport::TempEnvironment env;
    const int all[] = {0x02, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x10, 0x14,
                       0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1C, 0x1D, 0x1E, 0x1F,
                       0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x2B, 0x2D, 0x2E};
    for (const int id : all) {
        const QString path = specialFolderPath(id);
        if (!path.isEmpty()) {
            EXPECT_TRUE(QDir::isAbsolutePath(path)) << id;
            EXPECT_FALSE(path.endsWith(QLatin1Char('/'))) << id;
        }
    }
    for (const int none : {csidl::Windows, csidl::System, csidl::Cookies, csidl::History, csidl::Favorites,
                           csidl::AltStartup, csidl::BitBucket, csidl::CommonDocuments})
        EXPECT_TRUE(specialFolderPath(none).isEmpty()) << none;
    EXPECT_TRUE(specialFolderPath(-1).isEmpty());
    EXPECT_TRUE(specialFolderPath(0x1000).isEmpty());
}
