#include "services/xfileExists.h"

#include "platform/core/UserFolder.h"

bool FileExists(const QString &path)
{
    const QString name = StripPath(path);
    if (name.isEmpty() || name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?')))
        return false;
    // The name in another letter case counts, as on the old file system.
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : slash == 0 ? QString() : path.left(slash);
    return !platform::findFileIgnoringCase(folder, name).isEmpty();
}

QString StripPath(QString path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}
