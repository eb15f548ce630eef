// Twips conversion, type names and the shared property plumbing of controls.
#include "platform/ui/ControlProperties.h"

#include <QMetaClassInfo>
#include <QMetaObject>
#include <QPalette>
#include <QVariant>
#include <cmath>

namespace ui
{

int toPixels(int twips)
{
    return int(std::lround(double(twips) / TwipsPerPixel));
}

int toTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

QString typeName(const QObject *control)
{
    if (!control)
        return QString();
    const QMetaObject *meta = control->metaObject();
    const int i = meta->indexOfClassInfo("TypeName");
    if (i >= 0)
        return QString::fromLatin1(meta->classInfo(i).value());
    return QString::fromLatin1(meta->className());
}

int controlIndex(const QObject *control)
{
    if (!control)
        return -1;
    const QVariant v = control->property("index");
    return v.isValid() ? v.toInt() : -1;
}

namespace
{

QColor fromBgr(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

int toBgr(const QColor &c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

bool isSystemColor(int color)
{
    return (unsigned(color) & 0x80000000u) != 0;
}

void setRoles(QWidget *w, std::initializer_list<QPalette::ColorRole> roles, int color)
{
    QPalette p = w->palette();
    const QPalette defaults = QPalette();
    for (QPalette::ColorRole role : roles) {
        for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            p.setColor(group, role, isSystemColor(color) ? defaults.color(group, role) : fromBgr(color));
        }
    }
    w->setPalette(p);
}

} // namespace

int backColor(const QWidget *w)
{
    return toBgr(w->palette().color(w->backgroundRole()));
}

void setBackColor(QWidget *w, int color)
{
    setRoles(w, {QPalette::Window, QPalette::Base, QPalette::Button}, color);
    w->setAutoFillBackground(!isSystemColor(color) || w->autoFillBackground());
}

int foreColor(const QWidget *w)
{
    return toBgr(w->palette().color(w->foregroundRole()));
}

void setForeColor(QWidget *w, int color)
{
    setRoles(w, {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}, color);
}

void refresh(QWidget *w)
{
    if (w->metaObject()->indexOfMethod("refreshContents()") >= 0)
        QMetaObject::invokeMethod(w, "refreshContents");
    w->update();
}

void setContainer(QWidget *control, QWidget *container)
{
    if (!container || container == control->parentWidget())
        return;
    const QPoint pos = control->pos();
    const bool wasHidden = control->isHidden();
    control->setParent(container);
    control->move(pos);
    if (!wasHidden)
        control->show();
}

void TwipsGeometry::move(QWidget *w, int l, int t, int wd, int h)
{
    const int pl = left.write(l);
    const int pt = top.write(t);
    const int pw = width.write(wd);
    const int ph = height.write(h);
    w->setGeometry(pl, pt, std::max(pw, 0), std::max(ph, 0));
}

} // namespace ui
