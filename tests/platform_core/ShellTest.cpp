// Help files go to a CHM viewer found on the PATH, or report that none could open them.
#include "platform/core/Shell.h"
#include "tests/support/TempEnvironment.h"

#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

using testsupport::TempEnvironment;

TEST(ShellTest, ChmFileOpensInTheViewerOnThePathOrFails)
{
    TempEnvironment env;
    const QString bin = env.root() + QStringLiteral("/bin");
    const QString record = env.root() + QStringLiteral("/opened.txt");
    const QString help = env.writeFile(env.root() + QStringLiteral("/prog/Help.CHM"), "ITSF");

    // No viewer at all: nothing pretends to have opened the file.
    env.writeFile(bin + QStringLiteral("/.keep"), QByteArray());
    env.setEnv("PATH", bin.toUtf8());
    EXPECT_FALSE(platform::shellOpen(help));

    // The second viewer of the list serves when the first is missing.
    const QString viewer = env.writeFile(bin + QStringLiteral("/kchmviewer"),
                                         "#!/bin/sh\necho \"$1\" > '" + record.toUtf8() + "'\n");
    QFile::setPermissions(viewer, QFile::permissions(viewer) | QFile::ExeOwner);
    EXPECT_TRUE(platform::shellOpen(help));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return TempEnvironment::readFile(record) == help.toUtf8() + "\n"; }, 5000))
        << TempEnvironment::readFile(record).toStdString();
}
