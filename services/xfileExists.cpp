#include "services/xfileExists.h"

#include <QDir>
#include <QFileInfo>

bool FileExists(const QString &path)
{
    const QString name = StripPath(path);
    if (name.isEmpty() || name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        return false;
    if (QFileInfo(path).isFile())
        return true;

    // The name in another letter case: look through the folder, as the old file system did.
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0    ? QStringLiteral(".")
                           : slash == 0 ? QStringLiteral("/")
                                        : path.left(slash);
    const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &file : files) {
        if (file.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString StripPath(QString path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
