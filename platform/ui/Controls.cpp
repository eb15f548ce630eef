// Buttons, labels, frames, pictures, lines and timers.
#include "platform/ui/Controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <qdrawutil.h>

#include <algorithm>
#include <functional>

namespace ui
{

namespace
{

QPixmap loadPicture(const QString &pathOrResource)
{
    if (pathOrResource.isEmpty())
        return QPixmap();
    return QPixmap(pathOrResource);
}

QColor fromBgr(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// Captions were sized for the designer's narrower font; one that does not fit its control is
// drawn smaller, down to two thirds of the control's font, rather than cut off.
QFont shrunkToFit(const QFont &font, const std::function<bool(const QFontMetrics &)> &fits)
{
    QFont shrunk = font;
    const qreal smallest = font.pointSizeF() * 2 / 3;
    for (qreal size = font.pointSizeF(); size >= smallest; size -= 0.5) {
        shrunk.setPointSizeF(size);
        if (fits(QFontMetrics(shrunk)))
            break;
    }
    return shrunk;
}

} // namespace

// --- CommandButton

CommandButton::CommandButton(QWidget *parent) : QPushButton(parent)
{
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &CommandButton::Click);
}

void CommandButton::setValue(bool value)
{
    if (value)
        click();
}

void CommandButton::setPicture(const QIcon &picture)
{
    setIcon(picture);
    update();
}

// A button with a picture shows it above the caption, as graphical buttons do. A caption too
// wide for its button breaks into lines, as the system's buttons do, and shrinks if need be.
void CommandButton::paintEvent(QPaintEvent *event)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    const bool fitsOnOneLine = fontMetrics().horizontalAdvance(text()) <= contents.width();
    if (icon().isNull() && fitsOnOneLine) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    if (icon().isNull()) {
        painter.setFont(shrunkToFit(font(), [&](const QFontMetrics &metrics) {
            const QRect needed = metrics.boundingRect(contents, flags | Qt::TextWordWrap, text());
            return needed.width() <= contents.width() && needed.height() <= contents.height();
        }));
        painter.drawItemText(contents, flags | Qt::TextWordWrap, palette(), isEnabled(), text(),
                             QPalette::ButtonText);
        return;
    }

    const QRect area = rect().adjusted(4, 4, -4, -4);
    const int textHeight = fontMetrics().height();
    const int side = std::clamp(area.height() - textHeight - 2, 0, 48);
    const int top = area.top() + (area.height() - side - textHeight - 2) / 2;
    const QRect iconRect(area.center().x() - side / 2, top, side, side);
    icon().paint(&painter, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    const QRect textRect(area.left(), iconRect.bottom() + 2, area.width(), textHeight);
    const QString caption =
        fontMetrics().elidedText(text(), Qt::ElideRight, area.width(), Qt::TextShowMnemonic);
    painter.drawItemText(textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic, palette(),
                         isEnabled(), caption, QPalette::ButtonText);
}

void CommandButton::setPicture(const QString &pathOrResource)
{
    setPicture(pathOrResource.isEmpty() ? QIcon() : QIcon(pathOrResource));
}

// --- Label

Label::Label(QWidget *parent) : QLabel(parent)
{
    setWordWrap(true);
    setAlignment(vbLeftJustify);
    setTextFormat(Qt::PlainText);
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    if (m_autoSize)
        adjustSize();
}

int Label::Alignment() const
{
    const Qt::Alignment a = QLabel::alignment();
    if (a & Qt::AlignRight)
        return vbRightJustify;
    if (a & Qt::AlignHCenter)
        return vbCenter;
    return vbLeftJustify;
}

void Label::setAlignment(int alignment)
{
    Qt::Alignment h = Qt::AlignLeft;
    if (alignment == vbRightJustify)
        h = Qt::AlignRight;
    else if (alignment == vbCenter)
        h = Qt::AlignHCenter;
    QLabel::setAlignment(h | Qt::AlignTop);
}

void Label::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (autoSize)
        adjustSize();
}

void Label::setWordsBetweenCovers(bool on)
{
    m_wordsBetweenCovers = on;
    update();
}

QList<QPair<int, int>> Label::uncoveredStretches() const
{
    QList<QPair<int, int>> covered;
    if (QWidget *container = parentWidget()) {
        const QObjectList &siblings = container->children();
        // Children later in the list are stacked above this label.
        for (qsizetype i = siblings.indexOf(const_cast<Label *>(this)) + 1; i < siblings.size(); ++i) {
            const auto *cover = qobject_cast<const QWidget *>(siblings.at(i));
            if (!cover || cover->isWindow() || cover->isHidden() || !cover->geometry().intersects(geometry()))
                continue;
            covered.append({cover->geometry().left() - x(), cover->geometry().right() + 1 - x()});
        }
    }
    std::sort(covered.begin(), covered.end());
    QList<QPair<int, int>> free;
    int left = 0;
    for (const auto &[coverLeft, coverRight] : covered) {
        if (coverLeft > left)
            free.append({left, std::min(coverLeft, width())});
        left = std::max(left, coverRight);
    }
    if (left < width())
        free.append({left, width()});
    return free;
}

void Label::paintCaption(QPaintEvent *event)
{
    const QRect area = contentsRect();
    const int flags = int(QLabel::alignment()) | (wordWrap() ? Qt::TextWordWrap : 0);
    const auto fits = [&](const QFontMetrics &metrics) {
        const QRect needed = metrics.boundingRect(area, flags, text());
        return needed.width() <= area.width() && needed.height() <= area.height();
    };
    if (text().isEmpty() || fits(fontMetrics())) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setFont(shrunkToFit(font(), fits));
    style()->drawItemText(&painter, area, flags, palette(), isEnabled(), text(), foregroundRole());
}

void Label::paintEvent(QPaintEvent *event)
{
    static const QRegularExpression blankRun(QStringLiteral(" {2,}"));
    QStringList words = m_wordsBetweenCovers ? text().split(blankRun, Qt::SkipEmptyParts) : QStringList();
    const QList<QPair<int, int>> stretches =
        words.size() < 2 ? QList<QPair<int, int>>() : uncoveredStretches();
    if (stretches.isEmpty()) {
        paintCaption(event);
        return;
    }
    // Words beyond the last free stretch share it.
    while (words.size() > stretches.size()) {
        const QString tail = words.takeLast();
        words.last() += QLatin1Char(' ') + tail;
    }

    constexpr int padding = 3; // clear of the control the stretch starts after
    auto room = [&](qsizetype i) {
        const auto &[left, right] = stretches.at(i);
        return right - left - (left > 0 ? padding : 0);
    };
    const QFont shrunk = shrunkToFit(font(), [&](const QFontMetrics &metrics) {
        for (qsizetype i = 0; i < words.size(); ++i) {
            if (metrics.horizontalAdvance(words.at(i)) > room(i))
                return false;
        }
        return true;
    });

    QPainter painter(this);
    painter.setFont(shrunk);
    const QFontMetrics metrics(shrunk);
    const QRect area = contentsRect();
    for (qsizetype i = 0; i < words.size(); ++i) {
        const int left = stretches.at(i).first + (stretches.at(i).first > 0 ? padding : 0);
        const QString &word = words.at(i);
        const int width = metrics.horizontalAdvance(word);
        // Only a word that still does not fit is cut short.
        const QString shown = width <= room(i) ? word : metrics.elidedText(word, Qt::ElideRight, room(i));
        const QRect place(left, area.top(), std::max(width, room(i)), area.height());
        style()->drawItemText(&painter, place, Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(),
                              shown, foregroundRole());
    }
}

void Label::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

void Label::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLabel::mouseDoubleClickEvent(event);
    emit DblClick();
}

// --- CheckBox

CheckBox::CheckBox(QWidget *parent) : QCheckBox(parent)
{
    connect(this, &QCheckBox::stateChanged, this, [this] { emit Click(); });
}

int CheckBox::Value() const
{
    switch (checkState()) {
    case Qt::Checked:
        return vbChecked;
    case Qt::PartiallyChecked:
        return vbGrayed;
    default:
        return vbUnchecked;
    }
}

void CheckBox::setValue(int value)
{
    if (value == vbGrayed)
        setTristate(true);
    setCheckState(value == vbChecked  ? Qt::Checked
                  : value == vbGrayed ? Qt::PartiallyChecked
                                      : Qt::Unchecked);
}

// A caption too long for the box is drawn smaller rather than cut off.
void CheckBox::paintEvent(QPaintEvent *event)
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect room = style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
    const auto fits = [&](const QFontMetrics &metrics) {
        return metrics.horizontalAdvance(text()) <= room.width();
    };
    if (fits(fontMetrics())) {
        QCheckBox::paintEvent(event);
        return;
    }
    const QFont shrunk = shrunkToFit(font(), fits);
    QStylePainter painter(this);
    painter.setFont(shrunk);
    option.fontMetrics = QFontMetrics(shrunk);
    painter.drawControl(QStyle::CE_CheckBox, option);
}

// --- OptionButton

OptionButton::OptionButton(QWidget *parent) : QRadioButton(parent)
{
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            emit Click();
    });
}

// --- Frame

// A frame paints its own background: whatever lies beneath it (a player, a picture) never
// shows through its captions.
Frame::Frame(QWidget *parent) : QGroupBox(parent)
{
    setAutoFillBackground(true);
}

void Frame::paintEvent(QPaintEvent *)
{
    // The style's own group box puts the title above the border; here the border runs
    // through the middle of the title line.
    constexpr int titleIndent = 8;
    constexpr int titlePadding = 2;
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QString caption = title();
    const int borderTop = caption.isEmpty() ? 0 : metrics.height() / 2;
    // An etched line, drawn here: styles offset their group-box frame below a title.
    if (!isFlat())
        qDrawShadeRect(&painter, rect().adjusted(0, borderTop, 0, 0), palette(), true, 1, 0);
    if (caption.isEmpty())
        return;
    const int room = std::max(0, width() - 2 * titleIndent);
    const QString shown = metrics.elidedText(caption, Qt::ElideRight, room, Qt::TextShowMnemonic);
    const QRect titleRect(titleIndent, 0, std::min(room, metrics.horizontalAdvance(shown)), metrics.height());
    painter.fillRect(titleRect.adjusted(-titlePadding, 0, titlePadding, 0),
                     palette().color(backgroundRole()));
    style()->drawItemText(&painter, titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                          palette(), isEnabled(), shown, foregroundRole());
}

// --- PictureBox

PictureBox::PictureBox(QWidget *parent) : QFrame(parent)
{
    setBorderStyle(1);
}

void PictureBox::setPicture(const QString &pathOrResource)
{
    m_picturePath = pathOrResource;
    m_picture = loadPicture(pathOrResource);
    update();
}

void PictureBox::setBorderStyle(int style)
{
    if (style == 0) {
        setFrameStyle(QFrame::NoFrame);
    } else {
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    }
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (!m_picture.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(contentsRect().topLeft(), m_picture);
    }
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

// --- Image

Image::Image(QWidget *parent) : QLabel(parent)
{
    QLabel::setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Image::setPicture(const QString &pathOrResource)
{
    m_picturePath = pathOrResource;
    setPixmap(loadPicture(pathOrResource));
}

void Image::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

void Image::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLabel::mouseDoubleClickEvent(event);
    emit DblClick();
}

// --- Line

Line::Line(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

// Until points are set, the line runs corner to corner of the rectangle it was placed in.
int Line::X1() const
{
    return m_pointsSet ? m_x1 : Left();
}
int Line::Y1() const
{
    return m_pointsSet ? m_y1 : Top();
}
int Line::X2() const
{
    return m_pointsSet ? m_x2 : Left() + Width();
}
int Line::Y2() const
{
    return m_pointsSet ? m_y2 : Top() + Height();
}

void Line::setX1(int twips)
{
    setPoints(twips, Y1(), X2(), Y2());
}
void Line::setY1(int twips)
{
    setPoints(X1(), twips, X2(), Y2());
}
void Line::setX2(int twips)
{
    setPoints(X1(), Y1(), twips, Y2());
}
void Line::setY2(int twips)
{
    setPoints(X1(), Y1(), X2(), twips);
}

void Line::setPoints(int x1, int y1, int x2, int y2)
{
    m_x1 = x1;
    m_y1 = y1;
    m_x2 = x2;
    m_y2 = y2;
    m_pointsSet = true;
    // At least the pen's width, so horizontal and vertical lines have something to paint on.
    Move(std::min(x1, x2), std::min(y1, y2), std::max(std::abs(x2 - x1), toTwips(m_width)),
         std::max(std::abs(y2 - y1), toTwips(m_width)));
    update();
}

void Line::setBorderColor(int color)
{
    m_color = color;
    update();
}

void Line::setBorderWidth(int pixels)
{
    m_width = std::max(1, pixels);
    update();
}

void Line::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(fromBgr(m_color), m_width));
    const QPoint origin(toPixels(std::min(X1(), X2())), toPixels(std::min(Y1(), Y2())));
    painter.drawLine(QPoint(toPixels(X1()), toPixels(Y1())) - origin,
                     QPoint(toPixels(X2()), toPixels(Y2())) - origin);
}

// --- Timer

TimerControl::TimerControl(QObject *parent) : QObject(parent)
{
    // A child, so that its ticks can be told apart from the timers of Qt's own machinery.
    m_timer.setParent(this);
    connect(&m_timer, &QTimer::timeout, this, &TimerControl::Timer);
}

void TimerControl::setInterval(int ms)
{
    m_interval = std::max(0, ms);
    restart();
}

void TimerControl::setEnabled(bool enabled)
{
    m_enabled = enabled;
    restart();
}

void TimerControl::restart()
{
    if (m_enabled && m_interval > 0)
        m_timer.start(m_interval);
    else
        m_timer.stop();
}

} // namespace ui
