// Once the program's end has begun no write starts: the file on disk stays as it was and no
// scratch file appears; a write under way is waited for by whoever ends the process.
#include "platform/core/FileWrite.h"
#include "platform/core/ProgramEnd.h"
#include "tests/support/TempEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <thread>

using namespace std::chrono_literals;

namespace
{

struct EndingForATest {
    EndingForATest() { platform::setProgramEnding(true); }
    ~EndingForATest() { platform::setProgramEnding(false); }
};

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(WritesAtTheEnd, NoWriteStartsOnceTheEndHasBegun)
{
    testsupport::TempEnvironment env;
    const QString path = env.writeFile(env.root() + "/Favorites.txt", "old line\r\n");
    const QString scratch = env.writeFile(env.root() + "/temp.txt", "left by an earlier run");
    {
        EndingForATest ending;
        QString error;
        EXPECT_FALSE(platform::writeFileAtomically(path, "new line\r\n", &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(platform::writeFileAtomically(env.root() + "/Data.htm", "<data>\r\n"));
        platform::AtomicFileWrite file(env.root() + "/out.reg", platform::ExistingFile::Keep);
        EXPECT_FALSE(file.open());
        EXPECT_FALSE(file.errorString().isEmpty());
        // The scratch round trip answers its input and leaves the folder alone.
        EXPECT_EQ(platform::passThroughScratchFile(scratch, "page text"), QByteArray("page text"));
    }
    EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "old line\r\n");
    EXPECT_EQ(testsupport::TempEnvironment::readFile(scratch), "left by an earlier run");
    EXPECT_EQ(filesIn(env.root()), QStringList({"Favorites.txt", "temp.txt"}));

    // Called off (as tests do), writes run again.
    EXPECT_TRUE(platform::writeFileAtomically(path, "new line\r\n"));
    EXPECT_EQ(testsupport::TempEnvironment::readFile(path), "new line\r\n");
}

TEST(WritesAtTheEnd, AWriteUnderWayIsNamedAndWaitedFor)
{
    std::optional<platform::UnderWay> writing;
    writing.emplace(QStringLiteral("the write of /x/Favorites.txt"), platform::UnderWay::Write);
    const platform::UnderWay modal(QStringLiteral("the modal window frmLanguage"));
    EXPECT_EQ(platform::underWay(),
              QStringList({"the write of /x/Favorites.txt", "the modal window frmLanguage"}));
    EXPECT_FALSE(platform::waitForWrites(50ms));

    // Other work under way does not hold the ending back; the write does until it is done.
    std::thread finisher([&writing] {
        std::this_thread::sleep_for(50ms);
        writing.reset();
    });
    EXPECT_TRUE(platform::waitForWrites(30s));
    finisher.join();
    EXPECT_EQ(platform::underWay(), QStringList({"the modal window frmLanguage"}));
}
