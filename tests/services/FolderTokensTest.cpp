#include "services/modGlobals.h"
#include "tests/support/TempEnvironment.h"

#include <gtest/gtest.h>

namespace
{

QString expanded(QString path)
{
    return ExpandFolderTokens(path);
}

} // namespace

TEST(FolderTokens, AppDataGivesTheDataFolderAndReplacesTheCallersText)
{
    testsupport::TempEnvironment env;
    QString path = QStringLiteral("[appdata]TVDAT");
    const QString result = ExpandFolderTokens(path);
    EXPECT_EQ(result, env.dataHome() + QStringLiteral("/TVDAT"));
    EXPECT_EQ(path, result);
}

TEST(FolderTokens, CaseRulesRepeatsAndMissingFolders)
{
    testsupport::TempEnvironment env;
    const QString data = env.dataHome() + QLatin1Char('/');
    EXPECT_EQ(expanded(QStringLiteral("[AppData]a/[APPDATA]b")),
              data + QStringLiteral("a/") + data + QStringLiteral("b"));
    EXPECT_EQ(expanded(QStringLiteral("[USER]x[AllUser]")), QStringLiteral("[USER]x[AllUser]"));
    // A folder this platform lacks leaves nothing behind.
    EXPECT_EQ(expanded(QStringLiteral("[windir]TVDAT")), QStringLiteral("TVDAT"));
    EXPECT_EQ(expanded(QStringLiteral("[desktop]")), QString()); // the all-users desktop
    EXPECT_EQ(expanded(QStringLiteral("[fonts]")), data + QStringLiteral("fonts/"));
}

TEST(FolderTokens, ProfileTokensDropEveryStartMenuPart)
{
    testsupport::TempEnvironment env;
    env.setEnv("XDG_DATA_HOME", (env.root() + QStringLiteral("/Profile/start menu/share")).toUtf8());
    EXPECT_EQ(expanded(QStringLiteral("[user]")),
              env.root() + QStringLiteral("/Profile/share/applications/"));
    EXPECT_EQ(expanded(QStringLiteral("[strtmnu]")),
              env.root() + QStringLiteral("/Profile/start menu/share/applications/"));
}

TEST(FolderTokens, TextWithoutTokensComesBackUnchanged)
{
    testsupport::TempEnvironment env;
    for (const QString &s : {QString(), QStringLiteral("/plain/path/Data.txt"),
                             QStringLiteral("[unknown]x[appdata"), QStringLiteral("[ appdata]")})
        EXPECT_EQ(expanded(s), s);
}
