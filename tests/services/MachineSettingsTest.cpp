// Machine-wide settings: round trips, key paths, error numbers and the permission box.
#include "services/modMachineSettings.h"

#include "platform/core/Registry.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/SettingsStore.h"
#include "platform/core/VersionInfo.h"
#include "tests/support/MsgBoxRecorder.h"
#include "tests/support/TempEnvironment.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace reg = platform::Registry;

namespace
{

constexpr long Base = -2147221504L;

class MachineSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::setVersionInfo({QStringLiteral("Deck"), QStringLiteral(" Acme Co "), QString(), 1, 0});
    }
    void TearDown() override
    {
        SetMachineSettingsFault({});
        platform::resetVersionInfo();
    }

    // Raw access to a value of the machine key, bypassing the module.
    static void putRaw(const QString &name, quint32 type, const QByteArray &data)
    {
        reg::Key k = 0;
        ASSERT_EQ(reg::createKey(reg::LocalMachine, QStringLiteral("SOFTWARE\\Acme Co\\Deck\\Settings"),
                                 reg::AllAccess, &k),
                  reg::Success);
        ASSERT_EQ(reg::setValue(k, name, type, data), reg::Success);
        reg::closeKey(k);
    }
    static QByteArray getRaw(const QString &name, quint32 *type = nullptr)
    {
        reg::Key k = 0;
        if (reg::openKey(reg::LocalMachine, QStringLiteral("SOFTWARE\\Acme Co\\Deck\\Settings"), reg::KeyRead,
                         &k) != reg::Success)
            return "<no key>";
        char buf[256];
        quint32 size = sizeof buf;
        const long r = reg::queryValue(k, name, type, buf, &size);
        reg::closeKey(k);
        return r == reg::Success ? QByteArray(buf, size) : QByteArray("<no value>");
    }
    static long errorOf(const QString &app, const QString &section, const QString &key,
                        QString *description = nullptr)
    {
        try {
            GetMachineSetting(app, section, key, QStringLiteral("d"));
        } catch (const platform::RuntimeError &e) {
            if (description)
                *description = e.description();
            EXPECT_FALSE(e.source().isEmpty());
            return e.number();
        }
        return 0;
    }
    QString ignoreSetting() const
    {
        return platform::getSetting(QStringLiteral("Deck"), QStringLiteral("Settings"),
                                    QStringLiteral("IgnorePermissionDeniedError"), QStringLiteral("0"));
    }

    testsupport::TempEnvironment env;
};

} // namespace

TEST_F(MachineSettingsTest, SaveThenGetReturnsTheWholeText)
{
    const QString s = QStringLiteral("Settings");
    SaveMachineSetting(QStringLiteral("Deck"), s, QStringLiteral("chkSplash"), QStringLiteral("1"));
    SaveMachineSetting(QStringLiteral("Deck"), s, QStringLiteral("long"),
                       QString(600, QLatin1Char('x')) + "Z");
    SaveMachineSetting(QStringLiteral("Deck"), s, QStringLiteral("umlaut"), QStringLiteral("Größe"));
    EXPECT_EQ(GetMachineSetting(QStringLiteral("Deck"), s, QStringLiteral("chkSplash"), QStringLiteral("0")),
              QStringLiteral("1"));
    EXPECT_EQ(GetMachineSetting(QStringLiteral("Deck"), s, QStringLiteral("long"), QString()),
              QString(600, QLatin1Char('x')) + "Z");
    EXPECT_EQ(GetMachineSetting(QStringLiteral("Deck"), s, QStringLiteral("umlaut"), QString()),
              QStringLiteral("Größe"));

    // Stored as text with its NUL, under the trimmed company name.
    quint32 type = 0;
    EXPECT_EQ(getRaw(QStringLiteral("chkSplash"), &type), QByteArray("1\0", 2));
    EXPECT_EQ(type, quint32(reg::String));
    EXPECT_EQ(reg::openHandleCount(), 0);
}

TEST_F(MachineSettingsTest, MissingKeyOrValueGivesDefaultAndLeavesNoHandle)
{
    EXPECT_EQ(GetMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"),
                                QStringLiteral("chkSplash"), QStringLiteral("0")),
              QStringLiteral("0"));
    putRaw(QStringLiteral("other"), reg::String, QByteArray("x\0", 2));
    EXPECT_EQ(GetMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"),
                                QStringLiteral("chkSplash"), QStringLiteral("dflt")),
              QStringLiteral("dflt"));
    EXPECT_EQ(reg::openHandleCount(), 0);
}

TEST_F(MachineSettingsTest, EmptyStringsReadAsEmptyText)
{
    putRaw(QStringLiteral("nul"), reg::String, QByteArray("\0", 1));
    putRaw(QStringLiteral("zero"), reg::String, QByteArray());
    putRaw(QStringLiteral("foreign"), reg::String, QByteArray("no terminator"));
    const auto get = [](const char *k) {
        return GetMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"), QString::fromLatin1(k),
                                 QStringLiteral("d"));
    };
    EXPECT_EQ(get("nul"), QString());
    EXPECT_EQ(get("zero"), QString());
    EXPECT_EQ(get("foreign"), QStringLiteral("no terminator"));
}

TEST_F(MachineSettingsTest, BlanksAroundNamesButNotAroundTheValueName)
{
    SaveMachineSetting(QStringLiteral("  Deck "), QStringLiteral(" Settings "), QStringLiteral("k"),
                       QStringLiteral("a"));
    SaveMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("k "),
                       QStringLiteral("b"));
    EXPECT_EQ(getRaw(QStringLiteral("k")), QByteArray("a\0", 2));
    EXPECT_EQ(getRaw(QStringLiteral("k ")), QByteArray("b\0", 2));
    EXPECT_EQ(GetMachineSetting(QStringLiteral("Deck  "), QStringLiteral("  Settings"), QStringLiteral("k"),
                                QString()),
              QStringLiteral("a"));
    // An inner blank stays part of the name.
    SaveMachineSetting(QStringLiteral("De ck"), QStringLiteral("Settings"), QStringLiteral("k"),
                       QStringLiteral("c"));
    EXPECT_EQ(
        GetMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("k"), QString()),
        QStringLiteral("a"));
}

TEST_F(MachineSettingsTest, ValuesOfOtherTypesRaiseTheirTypeNumber)
{
    putRaw(QStringLiteral("dw"), reg::DWord, QByteArray("\1\0\0\0", 4));
    putRaw(QStringLiteral("exp"), reg::ExpandString, QByteArray("%HOME%\0", 7));
    putRaw(QStringLiteral("bin"), reg::Binary, QByteArray("\0", 1));
    QString text;
    EXPECT_EQ(errorOf(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("dw"), &text),
              Base + 2004);
    EXPECT_EQ(text, QStringLiteral("Registry data not a string"));
    EXPECT_EQ(errorOf(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("exp")),
              Base + 2002);
    EXPECT_EQ(errorOf(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("bin")),
              Base + 2003);
    EXPECT_EQ(reg::openHandleCount(), 0); // closed before the error reached us
}

TEST_F(MachineSettingsTest, EmptyNamesRaiseInOrderBeforeTheRegistryIsTouched)
{
    QString text;
    EXPECT_EQ(errorOf(QStringLiteral("   "), QStringLiteral("S"), QStringLiteral("K"), &text), Base + 1000);
    EXPECT_EQ(text, QStringLiteral("AppName may not be empty"));
    EXPECT_EQ(errorOf(QStringLiteral("A"), QString(), QStringLiteral(" "), &text), Base + 1001);
    EXPECT_EQ(text, QStringLiteral("Section may not be empty"));
    EXPECT_EQ(errorOf(QStringLiteral("A"), QStringLiteral("S"), QStringLiteral("  "), &text), Base + 1002);
    EXPECT_EQ(text, QStringLiteral("Key may not be empty"));
    EXPECT_FALSE(QFileInfo::exists(reg::hiveFilePath(reg::LocalMachine)));
}

TEST_F(MachineSettingsTest, UnreadableMachineHiveRaisesCouldNotOpen)
{
    putRaw(QStringLiteral("chkSplash"), reg::String, QByteArray("1\0", 2));
    ASSERT_TRUE(QFile::setPermissions(reg::hiveFilePath(reg::LocalMachine), QFileDevice::Permissions()));
    QString text;
    EXPECT_EQ(errorOf(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("chkSplash"), &text),
              Base + 2005);
    EXPECT_EQ(text, QStringLiteral("Could not open registry section"));
    QFile::setPermissions(reg::hiveFilePath(reg::LocalMachine),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(MachineSettingsTest, ReadOnlyMachineHiveSavesNothingAndSaysNothing)
{
    putRaw(QStringLiteral("showHelp"), reg::String, QByteArray("1\0", 2));
    ASSERT_TRUE(QFile::setPermissions(reg::hiveFilePath(reg::LocalMachine), QFileDevice::ReadOwner));
    testsupport::MsgBoxRecorder boxes(vbAbort);
    SaveMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("showHelp"),
                       QStringLiteral("0"));
    SaveMachineSetting(QStringLiteral("Deck"), QStringLiteral("New"), QStringLiteral("x"),
                       QStringLiteral("0"));
    EXPECT_EQ(boxes.count(), 0);
    // Still readable, still the old text.
    EXPECT_EQ(GetMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"),
                                QStringLiteral("showHelp"), QString()),
              QStringLiteral("1"));
    EXPECT_EQ(GetMachineSetting(QStringLiteral("Deck"), QStringLiteral("New"), QStringLiteral("x"),
                                QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(reg::openHandleCount(), 0);
    QFile::setPermissions(reg::hiveFilePath(reg::LocalMachine),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(MachineSettingsTest, FailingStepShowsPermissionBoxAndRetryCompletes)
{
    int failures = 1;
    QList<int> steps;
    SetMachineSettingsFault([&](int step) {
        steps.append(step);
        if (step == 2 && failures-- > 0)
            throw std::runtime_error("denied");
    });
    testsupport::MsgBoxRecorder boxes(vbRetry);
    SaveMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("showHelp"),
                       QStringLiteral("0"));

    ASSERT_EQ(boxes.count(), 1);
    const platform::MessageBoxRequest &box = boxes.boxes().first();
    EXPECT_EQ(box.title, QStringLiteral("Permission Denied"));
    EXPECT_EQ(box.buttons, int(vbAbortRetryIgnore)); // no icon
    EXPECT_EQ(box.prompt,
              QStringLiteral("Deck requires read/write access to the system registry and hard drive in order "
                             "to run properly.  This user account does not have the proper permissions "
                             "set.  As a result some or all of your settings may not be properly saved.  "
                             "Please contact your system administrator or change the permission settings "
                             "for this account.\r\n\r\nIf you would like to prevent this error message "
                             "from being displayed again, please press 'Ignore'."));
    EXPECT_EQ(steps, (QList<int>{1, 2, 2, 3})); // the failed step ran again, then the rest
    EXPECT_EQ(getRaw(QStringLiteral("showHelp")), QByteArray("0\0", 2));
    EXPECT_EQ(ignoreSetting(), QStringLiteral("0"));
}

TEST_F(MachineSettingsTest, AbortEndsWithoutWritingOrLeakingTheKey)
{
    SetMachineSettingsFault([](int step) {
        if (step == 3)
            throw std::runtime_error("denied");
    });
    testsupport::MsgBoxRecorder boxes;
    boxes.queueAnswers({vbRetry, vbAbort});
    SaveMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("showHelp"),
                       QStringLiteral("0"));
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(getRaw(QStringLiteral("showHelp")), QByteArray("<no value>")); // the key was created, no value
    EXPECT_EQ(reg::openHandleCount(), 0);
    EXPECT_EQ(ignoreSetting(), QStringLiteral("0"));
}

TEST_F(MachineSettingsTest, IgnoreSilencesLaterFailures)
{
    SetMachineSettingsFault([](int step) {
        if (step == 1)
            throw platform::RuntimeError(5, QStringLiteral("x"), QStringLiteral("y"));
    });
    testsupport::MsgBoxRecorder boxes(vbIgnore);
    SaveMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("a"),
                       QStringLiteral("1"));
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(ignoreSetting(), QStringLiteral("1"));
    SaveMachineSetting(QStringLiteral("Deck"), QStringLiteral("Settings"), QStringLiteral("a"),
                       QStringLiteral("1"));
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(getRaw(QStringLiteral("a")), QByteArray("<no key>"));
}
