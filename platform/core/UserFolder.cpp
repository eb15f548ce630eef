#include "platform/core/UserFolder.h"

#include "platform/core/FileWrite.h"
#include "platform/core/ProgramFolder.h"
#include "platform/core/SpecialFolders.h"
#include "platform/core/TextLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform
{
namespace
{

// The permission bits count, not only access(2): root may write anywhere, yet an installed
// folder marked read-only is left alone by everyone.
bool folderWritable(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.constData(), W_OK | X_OK) == 0;
}

bool sameModificationTime(const QString &from, const QString &to)
{
    struct stat st;
    if (::stat(QFile::encodeName(from).constData(), &st) != 0)
        return false;
    const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
    return ::utimensat(AT_FDCWD, QFile::encodeName(to).constData(), times, 0) == 0;
}

bool takeOver(const QString &from, const QString &to)
{
    const std::optional<QByteArray> data = readWholeFile(from);
    if (!data || !QDir().mkpath(QFileInfo(to).path()) || !writeFileAtomically(to, *data))
        return false;
    // Kept, so that the copy left in a read-only folder counts as taken over already.
    sameModificationTime(from, to);
    return true;
}

} // namespace

QString findFileIgnoringCase(const QString &folder, const QString &name)
{
    const QString exact = folder + QLatin1Char('/') + name;
    if (QFileInfo(exact).isFile())
        return exact;
    const QFileInfo wanted(exact);
    const QDir dir = wanted.dir();
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString &file : files) {
        if (file.compare(wanted.fileName(), Qt::CaseInsensitive) == 0)
            return dir.filePath(file);
    }
    return QString();
}

QString userFolder()
{
    return specialFolderPath(csidl::AppData) + QStringLiteral("/ChannelDeck");
}

QString userFileForWriting(const QString &name)
{
    const QString path = userFolder() + QLatin1Char('/') + name;
    QDir().mkpath(QFileInfo(path).path());
    return path;
}

QString readableFile(const QString &name)
{
    const QString own = findFileIgnoringCase(userFolder(), name);
    return own.isEmpty() ? programFolder() + QLatin1Char('/') + name : own;
}

void takeOverFromProgramFolder(const QStringList &names)
{
    const QString from = programFolder();
    const QString to = userFolder();
    if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath() && QFileInfo::exists(to))
        return;
    const bool movable = folderWritable(from);
    for (const QString &name : names) {
        const QString old = findFileIgnoringCase(from, name);
        if (old.isEmpty())
            continue;
        const QString held = findFileIgnoringCase(to, name);
        if (!held.isEmpty() && QFileInfo(held).lastModified() >= QFileInfo(old).lastModified())
            continue;
        const QString target = held.isEmpty() ? to + QLatin1Char('/') + name : held;
        if (takeOver(old, target) && movable)
            QFile::remove(old);
    }
}

} // namespace platform
