#include "platform/core/FileWrite.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace platform
{
namespace
{

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// commit() syncs and closes the file but goes on to replace the old one when either fails,
// so a full or failing disk would be reported as a success. Both are asked here first: a
// close of a copy of the descriptor reports what the file system could not store just as
// the last close would (NFS and the like report late).
int storedOnDisk(int fd)
{
    if (::fdatasync(fd) != 0)
        return errno;
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return errno;
    return ::close(copy) == 0 ? 0 : errno;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *errorText)
{
    QSaveFile file(path);
    const auto fail = [&file, errorText](const QString &reason) {
        if (errorText)
            *errorText = reason;
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    // commit() flushes the buffer too, but drops an error of that last write and would put a
    // cut-short file in place; a write that stays in the buffer fails only here.
    if (file.write(data) != data.size() || !file.flush())
        return fail(file.errorString());
    if (const int error = storedOnDisk(file.handle()))
        return fail(systemError(error));
    if (!file.commit()) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    return true;
}

QByteArray passThroughScratchFile(const QString &path, const QByteArray &data)
{
    QByteArray text = data;
    if (writeFileAtomically(path, data)) {
        QFile scratch(path);
        if (scratch.open(QIODevice::ReadOnly)) {
            const QByteArray read = scratch.readAll();
            if (scratch.error() == QFileDevice::NoError)
                text = read;
        }
    }
    QFile::remove(path);
    return text;
}

} // namespace platform
