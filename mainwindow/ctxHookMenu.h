// The main window's menu-decoration control: small pictures for menu items, each under
// the key "#<item array>:<index>". Nothing in the program addresses it; it dresses the
// menus of the window it is given once they exist.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>

namespace ui
{
class Form;
}

class ctxHookMenu : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("TypeName", "ctxHookMenu")
    Q_PROPERTY(QString Name READ Name)

public:
    static constexpr const char *TypeName = "ctxHookMenu";
    Q_INVOKABLE explicit ctxHookMenu(QObject *parent = nullptr) : QObject(parent) {}

    QString Name() const { return objectName(); }

    // key "#mnuCatItem:3"; picture a path or a ":/" resource.
    void setPicture(const QString &key, const QString &picture) { m_pictures.insert(key, picture); }
    QString picture(const QString &key) const { return m_pictures.value(key); }
    // Gives every menu item of the window that has a picture its icon.
    void decorate(ui::Form *form) const;

private:
    QHash<QString, QString> m_pictures;
};
