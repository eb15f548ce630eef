// Status bar panels, docked along the bottom edge of the container.
#include "platform/ui/StatusBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QStyleOption>

namespace ui
{

QString StatusPanel::Text() const
{
    return m_label->text();
}

void StatusPanel::setText(const QString &text)
{
    m_label->setText(text);
}

int StatusPanel::Width() const
{
    return m_width.read(m_label->minimumWidth());
}

void StatusPanel::setWidth(int twips)
{
    m_label->setFixedWidth(std::max(0, m_width.write(std::max(0, twips))));
}

int StatusPanel::Index() const
{
    return int(m_bar->m_panels.indexOf(this)) + 1;
}

StatusBar::StatusBar(QWidget *parent) : QWidget(parent), m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(2);
    m_layout->addStretch(1);
    AddPanel();
    if (parent) {
        m_watched = parent;
        parent->installEventFilter(this);
    }
}

StatusBar::~StatusBar()
{
    qDeleteAll(m_panels);
}

StatusPanel *StatusBar::Panels(int index) const
{
    return (index >= 1 && index <= m_panels.size()) ? m_panels.at(index - 1) : nullptr;
}

StatusPanel *StatusBar::AddPanel(const QString &text, int widthTwips)
{
    auto *label = new QLabel(text, this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_layout->insertWidget(m_layout->count() - 1, label);
    auto *panel = new StatusPanel(this, label);
    panel->setWidth(widthTwips);
    m_panels.append(panel);
    return panel;
}

QString StatusBar::panelText(int index) const
{
    const StatusPanel *p = Panels(index);
    return p ? p->Text() : QString();
}

void StatusBar::setPanelText(int index, const QString &text)
{
    if (StatusPanel *p = Panels(index))
        p->setText(text);
}

void StatusBar::dock()
{
    QWidget *container = parentWidget();
    if (!container)
        return;
    const int h = height() > 0 ? height() : sizeHint().height();
    setGeometry(0, container->height() - h, container->width(), h);
}

bool StatusBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        dock();
    return QWidget::eventFilter(watched, event);
}

bool StatusBar::event(QEvent *event)
{
    // A new container: follow its size from now on.
    if (event->type() == QEvent::ParentChange) {
        if (m_watched)
            m_watched->removeEventFilter(this);
        m_watched = parentWidget();
        if (m_watched) {
            m_watched->installEventFilter(this);
            // After whoever reparented it has placed it.
            QMetaObject::invokeMethod(this, &StatusBar::dock, Qt::QueuedConnection);
        }
    }
    return QWidget::event(event);
}

void StatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
}

} // namespace ui
