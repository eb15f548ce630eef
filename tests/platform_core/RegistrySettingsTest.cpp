// The per-user settings store on the current user's hive.
#include "platform/core/Registry.h"
#include "platform/core/SettingsStore.h"
#include "tests/support/TempEnvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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
    // A text that begins with U+FEFF keeps it: the character is no byte-order mark here.
    const QString marked = QString(QChar(0xFEFF)) + QStringLiteral("Deutsch");
    platform::saveSetting(app, sec, QStringLiteral("Marked"), marked);
    EXPECT_EQ(platform::getSetting(app, sec, QStringLiteral("Marked")), marked);
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

namespace
{

const QString App = QStringLiteral("ChannelDeck");
const QString Sec = QStringLiteral("Settings");
const QString SettingKey = QStringLiteral("TVLang");
const QString ShortText = QStringLiteral("Short");
const QString LongText = QStringLiteral("A much longer type filter ").repeated(8);

// Rewrites the setting between its two texts, with no pause between writes, until told to stop.
template <typename Stop> void rewriteUntil(Stop stop)
{
    for (int i = 0; !stop(); ++i)
        platform::saveSetting(App, Sec, SettingKey, i % 2 == 0 ? LongText : ShortText);
}

// Reads the setting while a writer is at work: every read must give one of its two texts.
// Answers what else was read, and counts how often the text changed between reads.
QStringList readDuringWrites(int reads, int *changes)
{
    // Reads count only once the writer is at work.
    QElapsedTimer waited;
    waited.start();
    while (platform::getSetting(App, Sec, SettingKey) != LongText && waited.elapsed() < 30000) {
    }
    QStringList odd;
    QString last;
    *changes = 0;
    for (int i = 0; i < reads; ++i) {
        const QString value = platform::getSetting(App, Sec, SettingKey, QStringLiteral("default"));
        if (value != ShortText && value != LongText)
            odd.append(value);
        *changes += value != last;
        last = value;
    }
    return odd;
}

} // namespace

// One process rewrites a setting as fast as it can while another reads it: every read gives
// one of the two texts, never the default. The test starts its own binary again as the
// writer, which stops when the reader leaves a stop file.
TEST(RegistrySettings, ReadWhileAnotherProcessWritesGivesOneOfItsValues)
{
    const QByteArray stopFile = qgetenv("CD_SETTINGS_WRITER_STOP");
    if (!stopFile.isEmpty()) {
        QElapsedTimer running;
        running.start();
        rewriteUntil(
            [&] { return QFile::exists(QString::fromLocal8Bit(stopFile)) || running.elapsed() > 60000; });
        return;
    }

    testsupport::TempEnvironment env;
    platform::saveSetting(App, Sec, SettingKey, ShortText);
    const QString stop = env.root() + QStringLiteral("/stop");
    QProcess writer;
    QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
    pe.insert(QStringLiteral("CD_SETTINGS_WRITER_STOP"), stop);
    writer.setProcessEnvironment(pe);
    writer.setProcessChannelMode(QProcess::MergedChannels);
    writer.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--gtest_filter=RegistrySettings.ReadWhileAnotherProcessWritesGivesOneOfItsValues")});
    ASSERT_TRUE(writer.waitForStarted());

    int changes = 0;
    const QStringList odd = readDuringWrites(4000, &changes);
    env.writeFile(stop, "");
    ASSERT_TRUE(writer.waitForFinished(60000));
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAll().toStdString();
    EXPECT_EQ(odd.size(), 0) << "for example \"" << odd.value(0).toStdString() << '"';
    // The reads did overlap the writes.
    EXPECT_GT(changes, 10);
}

// The same with two connections of one process: each thread has its own.
TEST(RegistrySettings, ReadWhileAnotherConnectionWritesGivesOneOfItsValues)
{
    testsupport::TempEnvironment env;
    platform::saveSetting(App, Sec, SettingKey, ShortText);
    std::atomic<bool> stop = false;
    std::thread writer([&] {
        // A reader that waits for writes must not hold the test forever.
        QElapsedTimer running;
        running.start();
        rewriteUntil([&] { return stop.load() || running.elapsed() > 60000; });
    });
    int changes = 0;
    const QStringList odd = readDuringWrites(4000, &changes);
    stop = true;
    writer.join();
    EXPECT_EQ(odd.size(), 0) << "for example \"" << odd.value(0).toStdString() << '"';
    EXPECT_GT(changes, 10);
}
