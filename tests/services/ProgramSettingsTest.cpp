// The program's per-user settings when they cannot be stored: the user hears of it once in a
// run, in one sentence naming the file, and nothing half-stored is read back.
#include "services/modSettings.h"

#include "platform/core/Registry.h"
#include "platform/core/VersionInfo.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/TempEnvironment.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace
{

class ProgramSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::setVersionInfo({QStringLiteral("Deck"), QStringLiteral("Acme"), QString(), 1, 0});
    }
    void TearDown() override
    {
        QFile::setPermissions(env.registryDir(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        platform::resetVersionInfo();
    }

    static QString hive() { return platform::Registry::hiveFilePath(platform::Registry::CurrentUser); }

    testsupport::TempEnvironment env;
};

} // namespace

TEST_F(ProgramSettingsTest, ReadOnlySettingsFolderIsToldOnceAndKeepsTheOldValues)
{
    testsupport::MsgBoxRecorder boxes;
    SaveProgramSetting(QStringLiteral("Language"), QStringLiteral("English"));
    EXPECT_EQ(boxes.count(), 0);

    // The permission bits count for root as well.
    ASSERT_TRUE(QFile::setPermissions(env.registryDir(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    SaveProgramSetting(QStringLiteral("Language"), QStringLiteral("Deutsch"));
    SaveProgramSetting(QStringLiteral("showHelp"), QStringLiteral("0"));
    SaveProgramSetting(QStringLiteral("TVLang"), QStringLiteral("All"));
    EXPECT_EQ(GetProgramSetting(QStringLiteral("Language")), QStringLiteral("English"));
    EXPECT_EQ(GetProgramSetting(QStringLiteral("showHelp"), QStringLiteral("1")), QStringLiteral("1"));

    ASSERT_EQ(boxes.count(), 1);
    const QString text = boxes.boxes().first().prompt;
    EXPECT_TRUE(text.startsWith(QStringLiteral("Your settings could not be saved to ") + hive() +
                                QStringLiteral(" (the settings file or its folder is read-only)")))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(QStringLiteral(" Deck closes."))) << text.toStdString();
    EXPECT_FALSE(text.contains(QLatin1Char('\n')));
}

TEST_F(ProgramSettingsTest, FullDiskIsToldAndTheEmptyFileReadsAsNoSettings)
{
    // A first start on a full disk: the settings file is created but takes nothing.
    testsupport::MsgBoxRecorder boxes;
    {
        testsupport::FileSizeLimit limit(0);
        ASSERT_TRUE(limit.ok());
        SaveProgramSetting(QStringLiteral("Language"), QStringLiteral("English"));
        SaveProgramSetting(QStringLiteral("showHelp"), QStringLiteral("0"));
    }
    EXPECT_EQ(QFileInfo(hive()).size(), 0);
    EXPECT_EQ(GetProgramSetting(QStringLiteral("Language"), QStringLiteral("<none>")),
              QStringLiteral("<none>"));
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.boxes().first().prompt.contains(QStringLiteral("it may be full")))
        << boxes.boxes().first().prompt.toStdString();

    // Once there is room again, the same file takes the settings.
    SaveProgramSetting(QStringLiteral("Language"), QStringLiteral("English"));
    EXPECT_EQ(GetProgramSetting(QStringLiteral("Language")), QStringLiteral("English"));
    EXPECT_EQ(boxes.count(), 1);
}
