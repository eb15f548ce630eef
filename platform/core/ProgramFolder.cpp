#include "platform/core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform
{

QString programFolder()
{
    QString folder = qEnvironmentVariable("CHANNELDECK_PROGRAM_FOLDER");
    if (folder.isEmpty()) {
        // applicationDirPath needs an application object; tools and early start-up may lack one.
        folder = QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                              : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    }
    return QDir::cleanPath(folder); // also drops a trailing "/"
}

} // namespace platform
