// Menu items as actions; an item gets a submenu when items are added below it.
#include "platform/ui/Menu.h"

#include <QMenu>

namespace ui
{

Menu::Menu(QObject *parent) : QAction(parent)
{
    connect(this, &QAction::triggered, this, &Menu::Click);
}

Menu::~Menu()
{
    delete m_submenu;
}

void Menu::setCaption(const QString &caption)
{
    m_caption = caption;
    setSeparator(caption == QLatin1String("-"));
    setText(caption);
    if (m_submenu)
        m_submenu->setTitle(caption);
}

void Menu::setChecked(bool checked)
{
    if (checked)
        setCheckable(true);
    QAction::setChecked(checked);
}

QMenu *Menu::ensureSubmenu()
{
    if (!m_submenu) {
        m_submenu = new QMenu(m_caption, qobject_cast<QWidget *>(parent()));
        // The original raises Click on a menu as it drops down, so handlers can
        // prepare their items.
        connect(m_submenu, &QMenu::aboutToShow, this, &Menu::Click);
        setMenu(m_submenu);
    }
    return m_submenu;
}

} // namespace ui
