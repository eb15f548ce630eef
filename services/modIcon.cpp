// Window icons from the icon groups compiled into the program.
#include "services/modIcon.h"

#include <QDir>
#include <QIcon>
#include <QWidget>

QIcon LoadIconGroup(const QString &IconResName)
{
    // Resource names ignore letter case, as the original's resource lookup does.
    const QDir groups(QStringLiteral(":/icons"));
    QIcon icon;
    for (const QString &group : groups.entryList(QDir::Dirs)) {
        if (IconResName.isEmpty() || group.compare(IconResName, Qt::CaseInsensitive) != 0)
            continue;
        const QDir dir(groups.filePath(group));
        for (const QString &file : dir.entryList({QStringLiteral("*.png")}, QDir::Files))
            icon.addFile(dir.filePath(file));
    }
    return icon;
}

void SetIcon(QWidget *hWnd, const QString &IconResName, bool SetAsAppIcon)
{
    if (!hWnd)
        return;
    const QIcon icon = LoadIconGroup(IconResName);
    if (icon.isNull())
        return;
    if (SetAsAppIcon) {
        QWidget *owner = hWnd;
        while (owner->parentWidget())
            owner = owner->parentWidget();
        owner->setWindowIcon(icon);
    }
    hWnd->setWindowIcon(icon);
}
