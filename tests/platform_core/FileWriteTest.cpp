// Atomic file replacement: a write that fails at any step (open, a short write that is still
// in the buffer, a short write that went straight to the file) keeps the old file and leaves
// no scratch file beside it; and the scratch-file round trip.
#include "platform/core/FileWrite.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace
{

// Every write of this process past `bytes` fails (EFBIG) while it lives; a file-size limit
// stops even root, which permission bits do not.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_ok = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(FileWrite, WritesANewFileAndReplacesAnOldOneWhole)
{
    testsupport::TempEnvironment env;
    const QString folder = env.root();
    const QString path = folder + "/list.txt";

    QString error = "untouched";
    ASSERT_TRUE(platform::writeFileAtomically(path, "first line\r\nsecond line\r\n", &error));
    EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "first line\r\nsecond line\r\n");
    EXPECT_EQ(error, "untouched");

    // A shorter content leaves nothing of the longer one behind.
    ASSERT_TRUE(platform::writeFileAtomically(path, "short"));
    EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "short");
    ASSERT_TRUE(platform::writeFileAtomically(path, QByteArray()));
    EXPECT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), 0);
    EXPECT_EQ(filesIn(folder), QStringList{"list.txt"});
}

TEST(FileWrite, PlaceThatTakesNoFileFailsWithAReason)
{
    testsupport::TempEnvironment env;
    const QString missing = env.root() + "/no/such/folder";
    QString error;
    EXPECT_FALSE(platform::writeFileAtomically(missing + "/list.txt", "data", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(missing));
    // Without a place for the reason it fails just the same.
    EXPECT_FALSE(platform::writeFileAtomically(missing + "/list.txt", "data"));

    // A folder of that name is not replaced by a file.
    const QString folder = env.root() + "/taken";
    ASSERT_TRUE(QDir().mkpath(folder + "/inside"));
    error.clear();
    EXPECT_FALSE(platform::writeFileAtomically(folder, "data", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(QFileInfo(folder + "/inside").isDir());
}

// The small content still sits in the write buffer when write() returns, so only its flush
// meets the limit: the case a bare commit() reports as success.
TEST(FileWrite, ShortWriteKeepsTheOldFileAndLeavesNoScratchFile)
{
    for (const qsizetype size : {qsizetype(1000), qsizetype(200000)}) {
        SCOPED_TRACE(size);
        testsupport::TempEnvironment env;
        const QString folder = env.root() + "/program";
        const QString path = env.writeFile(folder + "/Favorites.txt", "old content\r\n");

        bool written = true;
        QString error;
        {
            FileSizeLimit limit(200);
            ASSERT_TRUE(limit.ok());
            written = platform::writeFileAtomically(path, QByteArray(size, 'x'), &error);
        }
        EXPECT_FALSE(written);
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "old content\r\n");
        EXPECT_EQ(filesIn(folder), QStringList{"Favorites.txt"});
    }
}

TEST(FileWrite, ScratchFileIsReadBackAndRemovedAndALeftoverIsNeverRead)
{
    testsupport::TempEnvironment env;
    const QString path = env.writeFile(env.root() + "/program/temp.txt", "left by a run cut short\r\n");
    const QByteArray page = "line one\r\nline two\r\n";
    EXPECT_EQ(platform::passThroughScratchFile(path, page), page);
    EXPECT_FALSE(QFileInfo::exists(path));

    // Where the file cannot be written the text comes from memory.
    EXPECT_EQ(platform::passThroughScratchFile(env.root() + "/missing/temp.txt", page), page);

    // A write that fails leaves the stale file unread, and it goes as well.
    env.writeFile(path, "stale\r\n");
    QByteArray result;
    {
        FileSizeLimit limit(100);
        ASSERT_TRUE(limit.ok());
        result = platform::passThroughScratchFile(path, QByteArray(1000, 'y'));
    }
    EXPECT_EQ(result, QByteArray(1000, 'y'));
    EXPECT_FALSE(QFileInfo::exists(path));
}
