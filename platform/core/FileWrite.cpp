#include "platform/core/FileWrite.h"

#include "platform/core/ProgramEnd.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
namespace
{

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Closing a file reports nothing to its owner (QFileDevice drops the result, and QSaveFile's
// commit() goes on to replace the old file when its sync or close fails), so a full or failing
// disk would pass for a success. Both are asked here first: a close of a copy of the
// descriptor reports what the file system could not store just as the last close would (NFS
// and the like report late). 0, or the error.
int storedOnDisk(int fd)
{
    if (::fdatasync(fd) != 0)
        return errno;
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return errno;
    return ::close(copy) == 0 ? 0 : errno;
}

// A new file beside path with a name of its own, made as any new file is (the umask decides
// who may read it); its descriptor, or -1 with errno set.
int createScratchFile(const QString &path, QByteArray *name)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString candidate = path + QLatin1Char('.');
        for (int i = 0; i < 6; ++i)
            candidate += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
        *name = QFile::encodeName(candidate);
        const int fd = ::open(name->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

enum class Placed { Renamed, Linked, Failed };

// Gives the finished file the target's name unless that name is taken, in one step, so a file
// that another program saved there in the meantime is never replaced. errno tells a failure.
Placed placeWithoutReplacing(const QByteArray &source, const QByteArray &target)
{
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return Placed::Renamed;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return Placed::Failed;
    // File systems without that rename: a hard link refuses a taken name just as well.
    if (::link(source.constData(), target.constData()) == 0)
        return Placed::Linked;
    if (errno != EPERM && errno != ENOTSUP)
        return Placed::Failed;
    // Neither is supported (FAT and the like): the last look is as close as it gets.
    struct stat st;
    if (::lstat(target.constData(), &st) == 0) {
        errno = EEXIST;
        return Placed::Failed;
    }
    return ::rename(source.constData(), target.constData()) == 0 ? Placed::Renamed : Placed::Failed;
}

} // namespace

struct AtomicFileWrite::State {
    QString path;
    ExistingFile existing;
    std::optional<UnderWay> underWay;
    // A QSaveFile where the file may be replaced (it keeps an old file's permissions and
    // writes through a link at the path); else a plain file on the scratch name.
    std::unique_ptr<QFileDevice> file;
    QByteArray scratchName;
    QString error;

    bool fail(const QString &reason)
    {
        error = reason;
        drop();
        return false;
    }
    void drop()
    {
        if (auto *save = qobject_cast<QSaveFile *>(file.get()))
            save->cancelWriting();
        file.reset();
        if (!scratchName.isEmpty())
            ::unlink(scratchName.constData());
        scratchName.clear();
        underWay.reset();
    }
};

AtomicFileWrite::AtomicFileWrite(const QString &path, ExistingFile existing) : d(std::make_unique<State>())
{
    d->path = path;
    d->existing = existing;
}

AtomicFileWrite::~AtomicFileWrite()
{
    d->drop();
}

bool AtomicFileWrite::open()
{
    d->drop();
    // Whatever asks for a write once the end has begun was started by input the user gave
    // after closing the program: it is not carried out, and the file stays as it was.
    if (programEnding())
        return d->fail(QStringLiteral("the program is ending"));
    d->underWay.emplace(QStringLiteral("the write of ") + d->path, UnderWay::Write);
    if (d->existing == ExistingFile::Replace) {
        auto save = std::make_unique<QSaveFile>(d->path);
        if (!save->open(QIODevice::WriteOnly))
            return d->fail(save->errorString());
        d->file = std::move(save);
        return true;
    }
    const QFileInfo target(d->path);
    if (target.exists() || target.isSymLink())
        return d->fail(systemError(EEXIST));
    const int fd = createScratchFile(d->path, &d->scratchName);
    if (fd < 0) {
        d->scratchName.clear();
        return d->fail(systemError(errno));
    }
    auto scratch = std::make_unique<QFile>();
    if (!scratch->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return d->fail(scratch->errorString());
    }
    d->file = std::move(scratch);
    return true;
}

bool AtomicFileWrite::write(QByteArrayView data)
{
    if (!d->file)
        return false;
    if (!data.isEmpty() && d->file->write(data.data(), data.size()) != data.size())
        return d->fail(d->file->errorString());
    return true;
}

bool AtomicFileWrite::commit()
{
    if (!d->file)
        return false;
    // A commit() of QSaveFile flushes too, but drops an error of that last write and would put
    // a cut-short file in place; a write that stays in the buffer fails only here.
    if (!d->file->flush())
        return d->fail(d->file->errorString());
    if (const int error = storedOnDisk(d->file->handle()))
        return d->fail(systemError(error));
    if (auto *save = qobject_cast<QSaveFile *>(d->file.get())) {
        if (!save->commit())
            return d->fail(save->errorString());
    } else {
        d->file->close();
        const Placed placed = placeWithoutReplacing(d->scratchName, QFile::encodeName(d->path));
        if (placed == Placed::Failed)
            return d->fail(systemError(errno));
        if (placed == Placed::Renamed)
            d->scratchName.clear();
    }
    d->drop();
    return true;
}

void AtomicFileWrite::cancel()
{
    d->drop();
}

QString AtomicFileWrite::errorString() const
{
    return d->error;
}

bool writeFileAtomically(const QString &path, const QByteArray &data, QString *errorText,
                         ExistingFile existing)
{
    AtomicFileWrite file(path, existing);
    if (file.open() && file.write(data) && file.commit())
        return true;
    if (errorText)
        *errorText = file.errorString();
    return false;
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
