// Tests of a disk that fails to store what it was given: the test binary starts itself again,
// filtered to the one test, with the failing-disk library preloaded.
#pragma once

#include <QByteArray>
#include <QString>

namespace testsupport
{

// True inside the started copy.
bool inFailingDiskChild();

struct ChildResult {
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
};

// Runs `testName` of this binary with `shimLibrary` preloaded. The sanitizers keep the options
// the parent runs under.
ChildResult runUnderFailingDisk(const char *shimLibrary, const QString &testName);

} // namespace testsupport
