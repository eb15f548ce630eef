#include "platform/core/InstanceLock.h"

#include "platform/core/VersionInfo.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <memory>

namespace platform
{

QString instanceLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QString name = versionInfo().productName;
    if (name.isEmpty())
        name = QStringLiteral("ChannelDeck");
    return folder + QLatin1Char('/') + name + QStringLiteral(".lock");
}

namespace
{
// Held until the process ends; the lock file goes with it (or is found stale by the next
// instance when this one dies without cleaning up).
std::unique_ptr<QLockFile> held;
} // namespace

void releaseInstanceLock()
{
    held.reset();
}

bool anotherInstanceRunning()
{
    if (held)
        return false;

    auto lock = std::make_unique<QLockFile>(instanceLockPath());
    // A long-running instance must not lose its lock to age; only a dead owner frees it.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        held = std::move(lock);
        return false;
    }
    // A lock that cannot even be written (no runtime folder) must not keep the user out.
    return lock->error() == QLockFile::LockFailedError;
}

} // namespace platform
