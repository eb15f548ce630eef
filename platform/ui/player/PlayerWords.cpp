#include "platform/ui/player/PlayerWords.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace ui
{

namespace
{

constexpr int kMargin = 12;
constexpr int kTurnMs = 80;
const QColor kDetailColour(170, 170, 170);
// Over a picture or a cover the words need a darker ground to be read.
const QColor kDim(0, 0, 0, 160);

} // namespace

PlayerWords::PlayerWords(QWidget *view)
    : QObject(view), m_view(view), m_showTimer(new QTimer(this)), m_turnTimer(new QTimer(this))
{
    m_showTimer->setSingleShot(true);
    connect(m_showTimer, &QTimer::timeout, this, [this] {
        m_turnTimer->start();
        update();
    });
    m_turnTimer->setInterval(kTurnMs);
    connect(m_turnTimer, &QTimer::timeout, this, [this] {
        m_turn = (m_turn + 1) % 12;
        update();
    });
}

void PlayerWords::setBusy(const QString &words)
{
    if (words == m_busy)
        return;
    const bool wasBusy = !m_busy.isEmpty();
    m_busy = words;
    if (words.isEmpty()) {
        m_showTimer->stop();
        m_turnTimer->stop();
    } else if (!wasBusy) {
        m_showTimer->start(kShowDelayMs);
    }
    update();
}

bool PlayerWords::busyShown() const
{
    return !m_busy.isEmpty() && !m_showTimer->isActive();
}

void PlayerWords::setFailure(const QString &words)
{
    if (words == m_failure)
        return;
    m_failure = words;
    update();
}

void PlayerWords::setSound(const SoundCard &card)
{
    if (card.title == m_sound.title && card.detail == m_sound.detail &&
        card.cover.cacheKey() == m_sound.cover.cacheKey())
        return;
    m_sound = card;
    update();
}

void PlayerWords::update()
{
    m_view->update();
}

void PlayerWords::paint(QPainter &painter, const QRect &area, bool overPicture) const
{
    const bool soundShown = !overPicture && !m_sound.isEmpty();
    if (soundShown)
        paintSound(painter, area);
    if (busyShown()) {
        if (overPicture || soundShown)
            painter.fillRect(area, kDim);
        paintBusy(painter, area);
    } else if (!m_failure.isEmpty() && !overPicture) {
        paintFailure(painter, area);
    }
}

// The cover in its own shape, as large as leaves room for the two lines, all centred.
void PlayerWords::paintSound(QPainter &painter, const QRect &area) const
{
    const QRect room = area.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    if (room.isEmpty())
        return;
    QFont titleFont = painter.font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.25);
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics detailMetrics(painter.font());
    const int textHeight = (m_sound.title.isEmpty() ? 0 : titleMetrics.height()) +
                           (m_sound.detail.isEmpty() ? 0 : detailMetrics.height() + 4);
    QSize cover;
    if (!m_sound.cover.isNull()) {
        const QSize most(room.width() * 4 / 5,
                         std::min(room.height() * 3 / 5, room.height() - textHeight - kMargin));
        if (most.width() > 0 && most.height() > 0)
            cover = m_sound.cover.size().scaled(most, Qt::KeepAspectRatio);
    }
    const int coverHeight = cover.isEmpty() ? 0 : cover.height() + kMargin;
    int y = room.top() + (room.height() - coverHeight - textHeight) / 2;
    if (!cover.isEmpty()) {
        const QRect target(room.left() + (room.width() - cover.width()) / 2, y, cover.width(),
                           cover.height());
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_sound.cover);
        painter.restore();
        y += coverHeight;
    }
    if (!m_sound.title.isEmpty()) {
        painter.save();
        painter.setFont(titleFont);
        painter.setPen(Qt::white);
        painter.drawText(QRect(room.left(), y, room.width(), titleMetrics.height()), Qt::AlignCenter,
                         titleMetrics.elidedText(m_sound.title, Qt::ElideRight, room.width()));
        painter.restore();
        y += titleMetrics.height() + 4;
    }
    if (!m_sound.detail.isEmpty()) {
        painter.setPen(kDetailColour);
        painter.drawText(QRect(room.left(), y, room.width(), detailMetrics.height()), Qt::AlignCenter,
                         detailMetrics.elidedText(m_sound.detail, Qt::ElideRight, room.width()));
    }
}

// The words where the failure's first line stands, and above them a turning arc.
void PlayerWords::paintBusy(QPainter &painter, const QRect &area) const
{
    const QRect text = area.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QFontMetrics metrics = painter.fontMetrics();
    painter.setPen(Qt::white);
    painter.drawText(text, Qt::AlignCenter | Qt::TextWordWrap, m_busy);
    const int size = metrics.height() * 3 / 2;
    const QRect sign(text.center().x() - size / 2, text.center().y() - metrics.height() - size, size, size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(Qt::white, std::max(2, size / 8), Qt::SolidLine, Qt::RoundCap);
    painter.setPen(pen);
    painter.drawArc(sign.adjusted(2, 2, -2, -2), -m_turn * 30 * 16, 270 * 16);
    painter.restore();
}

void PlayerWords::paintFailure(QPainter &painter, const QRect &area) const
{
    const QStringList lines = m_failure.split(QLatin1Char('\n'));
    const QRect text = area.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    painter.setPen(Qt::white);
    painter.drawText(text, Qt::AlignCenter | Qt::TextWordWrap, lines.first());
    if (lines.size() > 1) {
        painter.setPen(kDetailColour);
        const QFontMetrics metrics = painter.fontMetrics();
        const QRect below = text.adjusted(0, text.height() / 2 + metrics.height(), 0, 0);
        painter.drawText(below, Qt::AlignHCenter | Qt::AlignTop,
                         metrics.elidedText(lines.at(1), Qt::ElideMiddle, below.width()));
    }
}

} // namespace ui
