#include "platform/ui/DoEvents.h"

#include "platform/core/ProgramEnd.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"

#include <QCoreApplication>
#include <QEvent>
#include <QList>
#include <QMetaEnum>
#include <QPointer>

namespace
{

int depth = 0;

QList<std::function<void()>> &pending()
{
    static QList<std::function<void()>> list;
    return list;
}

ui::Form *formOf(QObject *object)
{
    for (QObject *o = object; o; o = o->parent()) {
        if (auto *form = qobject_cast<ui::Form *>(o))
            return form;
    }
    return nullptr;
}

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// Events whose delivery runs one of the program's handlers.
bool startsHandler(QObject *receiver, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (isUserInput(type) || type == QEvent::Close)
        return true;
    if (type == QEvent::Timer)
        return qobject_cast<ui::TimerControl *>(receiver->parent()) != nullptr;
    if (type == QEvent::MetaCall)
        return formOf(receiver) != nullptr;
    if (type == QEvent::WindowActivate)
        return qobject_cast<ui::Form *>(receiver) != nullptr;
    return false;
}

// Drops, once the program is ending, whatever would start a handler.
class EndFilter : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        if (!startsHandler(receiver, event))
            return false;
        // A close left accepted would still hide the window; it stays as it is.
        if (event->type() == QEvent::Close)
            event->ignore();
        return true;
    }
};

QPointer<EndFilter> endFilter;

// Remembers the window control that the latest handler-starting event went to.
class HandlerWatch : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *receiver, QEvent *event) override
    {
        // Mouse moves and the like start no handler of the program's; the window that a
        // spontaneous event arrives at hands it on to the widget, which is the one worth naming.
        const QEvent::Type type = event->type();
        bool named = false;
        if (type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick ||
            type == QEvent::KeyPress || type == QEvent::Close)
            named = receiver->isWidgetType() && formOf(receiver);
        else if (type == QEvent::Timer || type == QEvent::MetaCall)
            named = startsHandler(receiver, event);
        if (named && (receiver != m_last || type != m_lastType)) {
            m_last = receiver;
            m_lastType = type;
            m_described.clear();
        }
        return false;
    }

    QString describe()
    {
        if (m_described.isEmpty())
            m_described = describe(m_last, m_lastType);
        return m_described;
    }

private:
    static QString describe(QObject *receiver, QEvent::Type type)
    {
        ui::Form *form = formOf(receiver);
        if (!form)
            return QStringLiteral("a handler");
        // The innermost control of the window on the way up: a list's viewport is the list.
        const QList<QObject *> controls = form->controls();
        QString where = form->objectName();
        for (QObject *o = receiver; o && o != form; o = o->parent()) {
            if (controls.contains(o)) {
                where += QLatin1Char('.') + o->objectName();
                break;
            }
        }
        const char *name = QMetaEnum::fromType<QEvent::Type>().valueToKey(type);
        return QStringLiteral("the handler of %1 on %2").arg(QLatin1String(name ? name : "an event"), where);
    }

    QPointer<QObject> m_last;
    QEvent::Type m_lastType = QEvent::None;
    QString m_described;
};

QPointer<HandlerWatch> handlerWatch;

} // namespace

void DoEvents()
{
    const platform::UnderWay letting(handlerWatch ? QStringLiteral("DoEvents in ") + handlerWatch->describe()
                                                  : QStringLiteral("DoEvents"));
    const ui::HandlerWait wait;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

namespace ui
{

HandlerWait::HandlerWait()
{
    ++depth;
}

HandlerWait::~HandlerWait()
{
    if (--depth == 0) {
        const QList<std::function<void()>> due = std::move(pending());
        pending().clear();
        for (const auto &fn : due)
            fn();
    }
}

void afterDoEvents(std::function<void()> fn)
{
    if (depth == 0)
        fn();
    else
        pending().append(std::move(fn));
}

void setProgramEnding(bool value)
{
    platform::setProgramEnding(value);
    QCoreApplication *app = QCoreApplication::instance();
    if (value && !endFilter && app) {
        endFilter = new EndFilter(app);
        app->installEventFilter(endFilter);
    } else if (!value && endFilter) {
        delete endFilter;
    }
}

bool programEnding()
{
    return platform::programEnding();
}

void watchHandlers()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (handlerWatch || !app)
        return;
    handlerWatch = new HandlerWatch(app);
    app->installEventFilter(handlerWatch);
}

} // namespace ui
