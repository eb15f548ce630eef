// The inert skin control and its auxiliary object.
#include "platform/ui/Skin.h"

namespace ui
{

Skin::Skin(QWidget *parent) : QWidget(parent), m_source(new QObject(this))
{
    m_source->setObjectName(QStringLiteral("skinSource"));
    hide();
}

void Skin::applySkin(QWidget *window)
{
    if (window && !m_skinned.contains(window))
        m_skinned.append(window);
}

QList<QWidget *> Skin::skinnedWindows() const
{
    QList<QWidget *> list;
    for (const QPointer<QWidget> &w : m_skinned) {
        if (w)
            list.append(w);
    }
    return list;
}

void SkinHelper::attach(QObject *skinSource)
{
    m_source = skinSource;
    m_calls.append(QStringLiteral("attach"));
}

void SkinHelper::activate()
{
    m_calls.append(QStringLiteral("activate"));
}

void SkinHelper::refreshRegions()
{
    m_calls.append(QStringLiteral("refreshRegions"));
}

} // namespace ui
