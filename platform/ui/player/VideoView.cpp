#include "platform/ui/player/VideoView.h"

#include "platform/ui/player/VideoFrames.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

namespace ui
{

namespace
{

// Where a picture of that width-to-height ratio shows in the area: as large as fits, centred.
QRect fitted(const QRect &area, double aspect)
{
    QRect picture = area;
    if (aspect <= 0.0 || area.isEmpty())
        return picture;
    if (area.width() > area.height() * aspect)
        picture.setWidth(std::max(1, int(std::lround(area.height() * aspect))));
    else
        picture.setHeight(std::max(1, int(std::lround(area.width() / aspect))));
    picture.moveCenter(area.center());
    return picture;
}

} // namespace

VideoView::VideoView(VideoFrames *frames, QWidget *parent) : QWidget(parent), m_frames(frames)
{
    setObjectName(QStringLiteral("video"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VideoView::setAspect(int format, double aspect)
{
    if (m_aspects.value(format) == aspect && m_aspects.contains(format))
        return;
    m_aspects.insert(format, aspect);
    update();
}

void VideoView::clearAspects()
{
    m_aspects.clear();
    update();
}

void VideoView::setWords(const QString &words)
{
    if (words == m_words)
        return;
    m_words = words;
    update();
}

// The open output's latest picture once its shape is known, drawn at the very size it takes;
// else, while a new size waits for its shape, the last picture of the output before.
QImage VideoView::shownPicture(const QRect &area, QRect *target)
{
    const qreal ratio = devicePixelRatioF();
    const int format = m_frames->format();
    if (const double shape = aspect(format); shape > 0.0) {
        *target = fitted(area, shape);
        const QImage latest = m_frames->latest(format, (QSizeF(target->size()) * ratio).toSize());
        if (!latest.isNull())
            return latest;
    }
    int heldFormat = 0;
    const QImage held = m_frames->held(&heldFormat);
    if (const double shape = aspect(heldFormat); !held.isNull() && shape > 0.0) {
        *target = fitted(area, shape);
        return held;
    }
    return QImage();
}

void VideoView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect();
    QRect target;
    const QImage picture = shownPicture(area, &target);
    if (picture.isNull()) {
        painter.fillRect(area, Qt::black);
        paintWords(painter, area);
        return;
    }
    painter.fillRect(QRect(area.left(), area.top(), area.width(), target.top() - area.top()), Qt::black);
    painter.fillRect(QRect(area.left(), target.bottom() + 1, area.width(), area.bottom() - target.bottom()),
                     Qt::black);
    painter.fillRect(QRect(area.left(), target.top(), target.left() - area.left(), target.height()),
                     Qt::black);
    painter.fillRect(QRect(target.right() + 1, target.top(), area.right() - target.right(), target.height()),
                     Qt::black);
    const QSizeF drawn = QSizeF(target.size()) * devicePixelRatioF();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, drawn.toSize() != picture.size());
    painter.drawImage(target, picture);
}

void VideoView::paintWords(QPainter &painter, const QRect &area)
{
    if (m_words.isEmpty())
        return;
    const QStringList lines = m_words.split(QLatin1Char('\n'));
    const QRect text = area.adjusted(12, 12, -12, -12);
    painter.setPen(Qt::white);
    painter.drawText(text, Qt::AlignCenter | Qt::TextWordWrap, lines.first());
    if (lines.size() > 1) {
        painter.setPen(QColor(170, 170, 170));
        const QFontMetrics metrics = painter.fontMetrics();
        const QRect below = text.adjusted(0, text.height() / 2 + metrics.height(), 0, 0);
        painter.drawText(below, Qt::AlignHCenter | Qt::AlignTop,
                         metrics.elidedText(lines.at(1), Qt::ElideMiddle, below.width()));
    }
}

bool VideoView::hasPicture()
{
    QRect target;
    return !shownPicture(rect(), &target).isNull();
}

} // namespace ui
