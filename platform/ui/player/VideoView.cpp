#include "platform/ui/player/VideoView.h"

#include "platform/ui/player/PlayerWords.h"
#include "platform/ui/player/VideoFrames.h"

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

VideoView::VideoView(VideoFrames *frames, QWidget *parent)
    : QWidget(parent), m_frames(frames), m_words(new PlayerWords(this))
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
    m_words->setFailure(words);
}

void VideoView::setStill(const QImage &picture, double aspect)
{
    if (picture.isNull() && m_still.isNull())
        return;
    m_still = picture;
    m_stillAspect = aspect;
    update();
}

QImage VideoView::shownNow(double *aspect)
{
    QRect target;
    const QImage picture = shownPicture(rect(), &target);
    *aspect = target.height() > 0 ? double(target.width()) / target.height() : 0.0;
    return picture;
}

// The open output's latest picture once its shape is known, drawn at the very size it takes;
// else, while a new size waits for its shape, the last picture of the output before; else the
// still.
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
    if (!m_still.isNull() && m_stillAspect > 0.0) {
        *target = fitted(area, m_stillAspect);
        return m_still;
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
        m_words->paint(painter, area, false);
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
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_words->paint(painter, area, true);
}

bool VideoView::hasPicture()
{
    QRect target;
    return !shownPicture(rect(), &target).isNull();
}

} // namespace ui
