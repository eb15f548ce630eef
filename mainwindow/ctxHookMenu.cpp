#include "mainwindow/ctxHookMenu.h"

#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

#include <QIcon>

void ctxHookMenu::decorate(ui::Form *form) const
{
    for (QObject *control : form->controls()) {
        auto *menu = qobject_cast<ui::Menu *>(control);
        if (!menu)
            continue;
        const QString key = QStringLiteral("#%1:%2").arg(menu->Name()).arg(ui::controlIndex(menu));
        const QString picture = m_pictures.value(key);
        if (!picture.isEmpty())
            menu->setIcon(QIcon(picture));
    }
}
