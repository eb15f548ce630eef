// Window geometry in twips, the control registry and the unload protocol of a window.
#include "platform/ui/Form.h"

#include "platform/core/ProgramEnd.h"
#include "platform/ui/ControlProperties.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DoEvents.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menu.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMetaProperty>
#include <QScreen>
#include <algorithm>

namespace ui
{

Form::Form(const QString &name, QWidget *parent) : QMainWindow(parent), m_client(new QWidget(this))
{
    setObjectName(name);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);
}

Form::~Form()
{
    Forms::forget(this);
}

int Form::menuBarPixels() const
{
    QWidget *bar = menuWidget();
    if (!bar || bar->isHidden())
        return 0;
    return bar->hasHeightForWidth() ? bar->heightForWidth(width()) : bar->sizeHint().height();
}

QSize Form::frameTwips() const
{
    // The frame a window manager draws differs between managers, and exists only once the
    // window is framed: counting it would give one client size several layouts.
    return {DesignFrameWidth, DesignFrameHeight};
}

int Form::Left() const
{
    return m_left.read(frameGeometry().x());
}

int Form::Top() const
{
    return m_top.read(frameGeometry().y());
}

int Form::ScaleWidth() const
{
    return m_clientWidth.read(width());
}

int Form::ScaleHeight() const
{
    return m_clientHeight.read(height() - menuBarPixels());
}

int Form::Width() const
{
    return ScaleWidth() + frameTwips().width();
}

int Form::Height() const
{
    return ScaleHeight() + frameTwips().height();
}

void Form::setLeft(int twips)
{
    move(m_left.write(twips), frameGeometry().y());
}

void Form::setTop(int twips)
{
    move(frameGeometry().x(), m_top.write(twips));
}

void Form::setWidth(int twips)
{
    Move(Left(), Top(), twips, Height());
}

void Form::setHeight(int twips)
{
    Move(Left(), Top(), Width(), twips);
}

void Form::Move(int left, int top)
{
    move(m_left.write(left), m_top.write(top));
}

void Form::Move(int left, int top, int width, int height)
{
    const QSize frame = frameTwips();
    const int clientWidth = m_clientWidth.write(width - frame.width());
    const int clientHeight = m_clientHeight.write(height - frame.height());
    move(m_left.write(left), m_top.write(top));
    resize(std::max(clientWidth, 0), std::max(clientHeight, 0) + menuBarPixels());
    // A resize of a window that is not on screen yet only takes effect when it is shown;
    // the window's handler runs now, as the system's layout code expects.
    if (!isVisible())
        applyClientSize();
}

void Form::applyClientSize()
{
    m_client->resize(width(), std::max(height() - menuBarPixels(), 0));
    Form_Resize();
}

int Form::WindowState() const
{
    const Qt::WindowStates s = windowState();
    if (s & Qt::WindowMinimized)
        return vbMinimized;
    if (s & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return vbMaximized;
    return vbNormal;
}

void Form::setWindowState(int state)
{
    Qt::WindowStates s = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == vbMinimized)
        s |= Qt::WindowMinimized;
    else if (state == vbMaximized)
        s |= Qt::WindowMaximized;
    QMainWindow::setWindowState(s);
}

int Form::BackColor() const
{
    return backColor(m_client);
}

void Form::setBackColor(int color)
{
    ui::setBackColor(m_client, color);
}

void Form::bringToFront()
{
    // A window nobody placed opens in the middle of the screen, not in its top-left corner.
    if (!m_placedOnce && pos() == QPoint(0, 0)) {
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            const QSize size = frameGeometry().size();
            move(area.center() - QPoint(size.width() / 2, size.height() / 2));
        }
    }
    m_placedOnce = true;
    show();
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
    activateWindow();
}

void Form::Show(bool modal)
{
    if (!modal) {
        bringToFront();
        return;
    }
    QPointer<Form> self(this);
    setWindowModality(Qt::ApplicationModal);
    bringToFront();
    const platform::UnderWay waiting(QStringLiteral("the modal window ") + objectName());
    const HandlerWait wait;
    QEventLoop loop;
    connect(this, &Form::hidden, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (isVisible() && !programEnding())
        loop.exec(QEventLoop::DialogExec);
    if (self)
        setWindowModality(Qt::NonModal);
}

void Form::Hide()
{
    hide();
}

void Form::registerControl(QObject *control, const QString &name, int index)
{
    control->setObjectName(name);
    if (index >= 0)
        control->setProperty("index", index);
    m_controls.append(control);
}

Menu *Form::addMenu(const QString &name, const QString &caption, Menu *parent, int index)
{
    auto *menu = new Menu(this);
    menu->setCaption(caption);
    if (parent)
        parent->ensureSubmenu()->addAction(menu);
    else
        menuBar()->addAction(menu);
    registerControl(menu, name, index);
    return menu;
}

QObject *Form::control(const QString &name, int index) const
{
    for (const QPointer<QObject> &c : m_controls) {
        if (c && c->objectName().compare(name, Qt::CaseInsensitive) == 0 && controlIndex(c) == index)
            return c;
    }
    return nullptr;
}

QList<QObject *> Form::controls() const
{
    QList<QObject *> list;
    list.reserve(m_controls.size());
    for (const QPointer<QObject> &c : m_controls) {
        if (c)
            list.append(c);
    }
    return list;
}

QList<QObject *> Form::controlArray(const QString &name) const
{
    QList<QObject *> list;
    for (const QPointer<QObject> &c : m_controls) {
        if (c && controlIndex(c) >= 0 && c->objectName().compare(name, Qt::CaseInsensitive) == 0)
            list.append(c);
    }
    std::stable_sort(list.begin(), list.end(),
                     [](QObject *a, QObject *b) { return controlIndex(a) < controlIndex(b); });
    return list;
}

int Form::upperBound(const QString &name) const
{
    const QList<QObject *> array = controlArray(name);
    return array.isEmpty() ? -1 : controlIndex(array.last());
}

namespace
{

// Copies the control's own (VB-named) properties: those declared by ui:: classes.
void copyControlProperties(const QObject *from, QObject *to)
{
    static const QList<QByteArray> skipped = {"Name", "Index", "Visible", "Container"};
    for (const QMetaObject *meta = from->metaObject(); meta; meta = meta->superClass()) {
        if (!QByteArray(meta->className()).startsWith("ui::"))
            continue;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const QMetaProperty p = meta->property(i);
            if (!p.isWritable() || skipped.contains(p.name()))
                continue;
            to->setProperty(p.name(), p.read(from));
        }
    }
}

} // namespace

QObject *Form::loadControl(const QString &name, int index)
{
    const QList<QObject *> array = controlArray(name);
    if (array.isEmpty() || index < 0 || control(name, index))
        return nullptr;
    QObject *first = array.first();

    if (auto *firstMenu = qobject_cast<Menu *>(first)) {
        auto *menu = new Menu(this);
        menu->setCaption(firstMenu->Caption());
        menu->setEnabled(firstMenu->isEnabled());
        menu->setCheckable(firstMenu->isCheckable());
        // New items follow the array's last item in the same menu.
        auto *last = qobject_cast<Menu *>(array.last());
        QWidget *host = nullptr;
        for (QObject *o : last->associatedObjects()) {
            if (qobject_cast<QMenu *>(o) || qobject_cast<QMenuBar *>(o)) {
                host = static_cast<QWidget *>(o);
                break;
            }
        }
        if (!host)
            host = menuBar();
        const QList<QAction *> actions = host->actions();
        const int at = int(actions.indexOf(last));
        QAction *before = (at >= 0 && at + 1 < actions.size()) ? actions.at(at + 1) : nullptr;
        host->insertAction(before, menu);
        registerControl(menu, first->objectName(), index);
        m_loadedAtRunTime.append(menu);
        return menu;
    }

    QObject *created = nullptr;
    if (auto *firstWidget = qobject_cast<QWidget *>(first))
        created = first->metaObject()->newInstance(Q_ARG(QWidget *, firstWidget->parentWidget()));
    else
        created = first->metaObject()->newInstance(Q_ARG(QObject *, this));
    if (!created)
        return nullptr;
    copyControlProperties(first, created);
    if (auto *w = qobject_cast<QWidget *>(created))
        w->setVisible(false);
    registerControl(created, first->objectName(), index);
    m_loadedAtRunTime.append(created);
    return created;
}

bool Form::unloadControl(const QString &name, int index)
{
    QObject *c = control(name, index);
    if (!c || !m_loadedAtRunTime.contains(c))
        return false;
    m_loadedAtRunTime.removeAll(c);
    m_controls.removeAll(c);
    c->deleteLater();
    if (auto *w = qobject_cast<QWidget *>(c))
        w->hide();
    if (auto *a = qobject_cast<QAction *>(c))
        a->setVisible(false);
    return true;
}

bool Form::runUnloadHooks(int unloadMode)
{
    int cancel = 0;
    Form_QueryUnload(cancel, unloadMode);
    if (cancel != 0)
        return false;
    Form_Unload(cancel);
    return cancel == 0;
}

void Form::closeEvent(QCloseEvent *event)
{
    if (m_unloading) {
        event->accept();
        return;
    }
    m_unloading = true;
    if (!runUnloadHooks(vbFormControlMenu)) {
        m_unloading = false;
        event->ignore();
        return;
    }
    event->accept();
    Forms::release(this);
}

void Form::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    emit hidden();
}

void Form::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool enter = (key == Qt::Key_Return && modifiers == Qt::NoModifier) ||
                       (key == Qt::Key_Enter && (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier);
    if (enter) {
        CommandButton *target = nullptr;
        for (QObject *c : controls()) {
            auto *button = qobject_cast<CommandButton *>(c);
            if (button && button->isDefault() && button->isVisible() && button->isEnabled()) {
                target = button;
                break;
            }
        }
        // As in a dialog, a focused command button takes Enter itself.
        if (auto *focused = qobject_cast<CommandButton *>(focusWidget());
            target && focused && focused->isEnabled())
            target = focused;
        if (target) {
            target->click();
            return;
        }
    } else if (key == Qt::Key_Escape && modifiers == Qt::NoModifier && m_closesOnEscape) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool Form::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(event);
}

} // namespace ui
