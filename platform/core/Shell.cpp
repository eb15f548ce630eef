#include "platform/core/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform
{
namespace
{

bool openInChmViewer(const QString &path)
{
    for (const char *viewer : {"xchm", "kchmviewer"}) {
        const QString program = QStandardPaths::findExecutable(QLatin1String(viewer));
        if (program.isEmpty())
            continue;
        // The viewer's own complaints (its toolkit's layout warnings) are not ours to print.
        QProcess viewerProcess;
        viewerProcess.setProgram(program);
        viewerProcess.setArguments({path});
        viewerProcess.setStandardOutputFile(QProcess::nullDevice());
        viewerProcess.setStandardErrorFile(QProcess::nullDevice());
        return viewerProcess.startDetached();
    }
    return false;
}

bool desktopOpen(const QString &urlOrPath)
{
    if (QDir::isAbsolutePath(urlOrPath) && urlOrPath.endsWith(QLatin1String(".chm"), Qt::CaseInsensitive))
        return openInChmViewer(urlOrPath);
    // A local path goes as a file URL; anything else ("http://...") as the address it is.
    const QUrl url = QDir::isAbsolutePath(urlOrPath) ? QUrl::fromLocalFile(urlOrPath)
                                                     : QUrl(urlOrPath, QUrl::TolerantMode);
    if (!url.isValid() || url.isEmpty())
        return false;
    return QDesktopServices::openUrl(url);
}

ShellOpener &currentOpener()
{
    static ShellOpener opener;
    return opener;
}

} // namespace

bool shellOpen(const QString &urlOrPath)
{
    const ShellOpener &opener = currentOpener();
    return opener ? opener(urlOrPath) : desktopOpen(urlOrPath);
}

ShellOpener setShellOpener(ShellOpener opener)
{
    ShellOpener previous = std::move(currentOpener());
    currentOpener() = std::move(opener);
    return previous;
}

} // namespace platform
