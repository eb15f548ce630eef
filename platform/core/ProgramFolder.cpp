#include "platform/core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// The install rules set this from the install layout; the default is the usual one.
#ifndef CD_SHIPPED_FROM_PROGRAM_DIR
#define CD_SHIPPED_FROM_PROGRAM_DIR "../../share/channeldeck"
#endif

namespace platform
{

QString programFolder()
{
    const QString folder = qEnvironmentVariable("CHANNELDECK_PROGRAM_FOLDER");
    if (!folder.isEmpty())
        return QDir::cleanPath(folder); // also drops a trailing "/"
    // applicationDirPath needs an application object; tools and early start-up may lack one.
    return programFolderBeside(QCoreApplication::instance()
                                   ? QCoreApplication::applicationDirPath()
                                   : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath());
}

QString programFolderBeside(const QString &executableFolder)
{
    const QString installed =
        QDir::cleanPath(executableFolder + QLatin1Char('/') + QStringLiteral(CD_SHIPPED_FROM_PROGRAM_DIR));
    if (QFileInfo(installed).isDir())
        return installed;
    return QDir::cleanPath(executableFolder);
}

} // namespace platform
