#include "platform/ui/player/FullScreen.h"

#include <QCursor>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace ui
{

FullScreen::FullScreen(QWidget *owner) : QWidget(owner, Qt::Window), m_idle(new QTimer(this))
{
    setObjectName(QStringLiteral("fullScreen"));
    setWindowTitle(owner->window()->windowTitle());
    // Black where the borrowed widget leaves room; not by palette, which the bar would inherit.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_idle->setSingleShot(true);
    m_idle->setInterval(kIdleMs);
    connect(m_idle, &QTimer::timeout, this, &FullScreen::idle);
}

FullScreen::Borrowed FullScreen::borrow(QWidget *widget)
{
    Borrowed b;
    b.widget = widget;
    if (widget) {
        b.parent = widget->parentWidget();
        b.geometry = widget->geometry();
        b.mouseTracking = widget->hasMouseTracking();
    }
    return b;
}

void FullScreen::giveBack(const Borrowed &borrowed)
{
    if (!borrowed.widget)
        return;
    borrowed.widget->setParent(borrowed.parent);
    borrowed.widget->setGeometry(borrowed.geometry);
    borrowed.widget->setMouseTracking(borrowed.mouseTracking);
    borrowed.widget->show();
}

void FullScreen::enter(QWidget *content, QWidget *bar, QWidget *near)
{
    if (active())
        return;
    m_borrowedContent = borrow(content);
    m_borrowedBar = borrow(bar);
    m_content = content;
    m_bar = bar;
    content->setParent(this);
    // Moves over the picture show the bar again.
    content->setMouseTracking(true);
    content->installEventFilter(this);
    content->show();
    if (bar) {
        bar->setParent(this);
        bar->installEventFilter(this);
        bar->show();
        bar->raise();
    }
    QScreen *screen = near && near->window()->screen() ? near->window()->screen() : QWidget::screen();
    setGeometry(screen->geometry());
    placeChildren();
    showFullScreen();
    if (windowHandle())
        windowHandle()->setScreen(screen);
    activateWindow();
    raise();
    content->setFocus(Qt::OtherFocusReason);
    m_lastPointer = QCursor::pos();
    unsetCursor();
    // Without a bar the content (a page) handles the pointer itself.
    if (bar)
        m_idle->start();
}

void FullScreen::leave()
{
    if (!active())
        return;
    m_idle->stop();
    m_content->removeEventFilter(this);
    if (m_bar)
        m_bar->removeEventFilter(this);
    const bool hadFocus = m_content->hasFocus();
    // Back in place before this window goes: what is uncovered shows the picture at once.
    giveBack(m_borrowedBar);
    giveBack(m_borrowedContent);
    QWidget *content = m_content;
    m_content = nullptr;
    m_bar = nullptr;
    unsetCursor();
    hide();
    if (content->window()) {
        content->window()->activateWindow();
        if (hadFocus)
            content->setFocus(Qt::OtherFocusReason);
    }
}

void FullScreen::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), Qt::black);
}

void FullScreen::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeChildren();
}

void FullScreen::placeChildren()
{
    if (m_content)
        m_content->setGeometry(rect());
    if (m_bar) {
        const int height = m_bar->sizeHint().height();
        m_bar->setGeometry(0, this->height() - height, width(), height);
    }
}

bool FullScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove && active())
        pointerMoved(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
    return QWidget::eventFilter(watched, event);
}

void FullScreen::pointerMoved(const QPoint &global)
{
    // A widget shown or hidden under a resting pointer makes Qt report a move to the same place.
    if (global == m_lastPointer)
        return;
    m_lastPointer = global;
    if (!m_bar)
        return;
    m_bar->show();
    unsetCursor();
    m_idle->start();
}

void FullScreen::idle()
{
    if (!active() || !m_bar)
        return;
    // The bar stays while the pointer is over it (about to be used).
    if (m_bar && m_bar->isVisible() && m_bar->geometry().contains(mapFromGlobal(QCursor::pos()))) {
        m_idle->start();
        return;
    }
    m_bar->hide();
    setCursor(Qt::BlankCursor);
}

} // namespace ui
