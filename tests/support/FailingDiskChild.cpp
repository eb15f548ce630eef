#include "tests/support/FailingDiskChild.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

namespace testsupport
{

bool inFailingDiskChild()
{
    return qEnvironmentVariableIsSet("CD_FAILING_DISK_CHILD");
}

ChildResult runUnderFailingDisk(const char *shimLibrary, const QString &testName)
{
    QProcess child;
    QProcessEnvironment pe = QProcessEnvironment::systemEnvironment();
    pe.insert(QStringLiteral("CD_FAILING_DISK_CHILD"), QStringLiteral("1"));
    pe.insert(QStringLiteral("LD_PRELOAD"), QString::fromLocal8Bit(shimLibrary));
    // A preloaded library comes before the sanitizer's runtime; the rest of the parent's
    // options (leak checks off in `make test-asan`) still hold.
    QString asan = pe.value(QStringLiteral("ASAN_OPTIONS"));
    if (!asan.isEmpty())
        asan += QLatin1Char(':');
    asan += QLatin1String("verify_asan_link_order=0");
    pe.insert(QStringLiteral("ASAN_OPTIONS"), asan);
    child.setProcessEnvironment(pe);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + testName});
    ChildResult result;
    result.finished = child.waitForFinished(60000);
    result.exitCode = child.exitCode();
    result.output = child.readAll();
    return result;
}

} // namespace testsupport
