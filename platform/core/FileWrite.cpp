#include "platform/core/FileWrite.h"

#include "platform/core/ProgramEnd.h"

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
    // Whatever asks for a write once the end has begun was started by input the user gave
    // after closing the program: it is not carried out, and the file stays as it was.
    if (programEnding()) {
        if (errorText)
            *errorText = QStringLiteral("the program is ending");
        return false;
    }
    const UnderWay writing(QStringLiteral("the write of ") + path, UnderWay::Write);
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
    if (programEnding())
        return data;
    const UnderWay writing(QStringLiteral("the write of ") + path, UnderWay::Write);
    const QByteArray name = QFile::encodeName(path);
    // Whatever holds the name goes first: a leftover is never read, and a link is never
    // written through. Created anew and exclusively, the file cannot follow a link that
    // turns up in between.
    ::unlink(name.constData());
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return data;
    QByteArray text = data;
    QFile scratch;
    if (scratch.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        if (scratch.write(data) == data.size() && scratch.flush() && scratch.seek(0)) {
            const QByteArray read = scratch.readAll();
            if (scratch.error() == QFileDevice::NoError)
                text = read;
        }
        scratch.close();
    } else {
        ::close(fd);
    }
    ::unlink(name.constData());
    return text;
}

} // namespace platform
