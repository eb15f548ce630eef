// A menu item of a window: an action on the menu bar or in a menu; an item with
// items below it opens them as a submenu.
#pragma once

#include "platform/ui/Twips.h"

#include <QAction>

class QMenu;

namespace ui
{

class Menu : public QAction
{
    Q_OBJECT
    Q_CLASSINFO("TypeName", "Menu")
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(int Index READ Index)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Checked READ Checked WRITE setChecked)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)

public:
    static constexpr const char *TypeName = "Menu";

    explicit Menu(QObject *parent = nullptr);
    ~Menu() override;

    QString Name() const { return objectName(); }
    int Index() const { return controlIndex(this); }
    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    bool Visible() const { return isVisible(); }
    bool Enabled() const { return isEnabled(); }
    bool Checked() const { return isChecked(); }
    void setChecked(bool checked);
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // The submenu, created when the first item is added below this one.
    QMenu *submenu() const { return m_submenu; }
    QMenu *ensureSubmenu();

signals:
    // A pick of the item; for an item with a submenu, the opening of the submenu.
    void Click();

private:
    QString m_caption;
    QString m_tag;
    QMenu *m_submenu = nullptr;
};

} // namespace ui
