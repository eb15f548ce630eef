// The per-user settings store on the current user's hive.
#include "platform/core/Registry.h"
#include "platform/core/SettingsStore.h"
#include "tests/support/TempEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace platform::Registry;

TEST(RegistrySettings, RoundTripAndDefaults)
{
    testsupport::TempEnvironment env;
    const QString app = QStringLiteral("ChannelDeck");
    const QString sec = QStringLiteral("Settings");
    EXPECT_EQ(platform::getSetting(app, sec, QStringLiteral("Language"), QStringLiteral("English")),
              QStringLiteral("English"));
    EXPECT_TRUE(platform::getSetting(app, sec, QStringLiteral("Language")).isNull());

    platform::saveSetting(app, sec, QStringLiteral("Language"), QStringLiteral("Français ✓"));
    EXPECT_EQ(platform::getSetting(app, sec, QStringLiteral("language"), QStringLiteral("English")),
              QStringLiteral("Français ✓"));
    // Present but empty is not missing.
    platform::saveSetting(app, sec, QStringLiteral("Dir"), QString());
    EXPECT_EQ(platform::getSetting(app, sec, QStringLiteral("Dir"), QStringLiteral("x")), QString());
    // Another section or application is another key.
    EXPECT_EQ(
        platform::getSetting(app, QStringLiteral("Other"), QStringLiteral("Language"), QStringLiteral("d")),
        QStringLiteral("d"));
    EXPECT_EQ(
        platform::getSetting(QStringLiteral("Else"), sec, QStringLiteral("Language"), QStringLiteral("d")),
        QStringLiteral("d"));
}

TEST(RegistrySettings, StoredAsStringWithItsNulUnderSoftware)
{
    testsupport::TempEnvironment env;
    platform::saveSetting(QStringLiteral("App"), QStringLiteral("Sec"), QStringLiteral("showHelp"),
                          QStringLiteral("0"));
    Key k = 0;
    ASSERT_EQ(openKey(CurrentUser, QStringLiteral("Software\\App\\Sec"), KeyRead, &k), Success);
    char buf[8];
    quint32 size = sizeof buf, type = 0;
    ASSERT_EQ(queryValue(k, QStringLiteral("showHelp"), &type, buf, &size), Success);
    EXPECT_EQ(type, quint32(String));
    EXPECT_EQ(QByteArray(buf, size), QByteArray("0\0", 2));
    closeKey(k);
}

TEST(RegistrySettings, ValueOfAnotherTypeOrUnwritableHiveGivesDefault)
{
    testsupport::TempEnvironment env;
    Key k = 0;
    ASSERT_EQ(createKey(CurrentUser, QStringLiteral("Software\\App\\Sec"), AllAccess, &k), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("n"), DWord, QByteArray("\1\0\0\0", 4)), Success);
    ASSERT_EQ(setValue(k, QStringLiteral("raw"), String, QByteArray("no nul")), Success);
    closeKey(k);
    EXPECT_EQ(platform::getSetting(QStringLiteral("App"), QStringLiteral("Sec"), QStringLiteral("n"),
                                   QStringLiteral("d")),
              QStringLiteral("d"));
    // Text written without its NUL by someone else keeps its last character.
    EXPECT_EQ(platform::getSetting(QStringLiteral("App"), QStringLiteral("Sec"), QStringLiteral("raw")),
              QStringLiteral("no nul"));

    platform::saveSetting(QStringLiteral("App"), QStringLiteral("Sec"), QStringLiteral("s"),
                          QStringLiteral("old"));
    ASSERT_TRUE(QFile::setPermissions(hiveFilePath(CurrentUser), QFileDevice::ReadOwner));
    platform::saveSetting(QStringLiteral("App"), QStringLiteral("Sec"), QStringLiteral("s"),
                          QStringLiteral("new"));
    EXPECT_EQ(platform::getSetting(QStringLiteral("App"), QStringLiteral("Sec"), QStringLiteral("s")),
              QStringLiteral("old"));
    QFile::setPermissions(hiveFilePath(CurrentUser), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
