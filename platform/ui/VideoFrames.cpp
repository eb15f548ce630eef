#include "platform/ui/VideoFrames.h"

#include <vlc/vlc.h>

#include <cmath>
#include <cstring>

namespace ui
{

VideoFrames::VideoFrames(QObject *parent) : QObject(parent) {}

void VideoFrames::attach(libvlc_media_player_t *player)
{
    libvlc_video_set_callbacks(player, &VideoFrames::lockBuffer, nullptr, &VideoFrames::showBuffer, this);
    libvlc_video_set_format_callbacks(player, &VideoFrames::setupFormat, &VideoFrames::closeFormat);
}

// libVLC's video thread, whenever an output opens: a new picture size or orientation.
unsigned VideoFrames::setupFormat(void **opaque, char *chroma, unsigned *width, unsigned *height,
                                  unsigned *pitches, unsigned *lines)
{
    auto *self = static_cast<VideoFrames *>(*opaque);
    std::memcpy(chroma, "RV32", 4); // what QImage::Format_RGB32 holds
    const unsigned storedWidth = std::max(1u, *width);
    const unsigned storedHeight = std::max(1u, *height);
    unsigned w = storedWidth;
    unsigned h = storedHeight;
    const int largestWidth = self->m_largestWidth;
    const int largestHeight = self->m_largestHeight;
    if (largestWidth > 0 && largestHeight > 0) {
        // Large enough to fill the largest area in both directions, whatever its shape.
        const double scale = std::max(double(largestWidth) / w, double(largestHeight) / h);
        if (scale < 1.0) {
            w = std::max(2u, unsigned(std::ceil(w * scale / 2.0)) * 2);
            h = std::max(2u, unsigned(std::ceil(h * scale / 2.0)) * 2);
        }
    }
    *width = w;
    *height = h;
    // Aligned rows, and spare rows below: libVLC's converters may write whole blocks.
    const unsigned pitch = (w * 4 + 63) & ~63u;
    const unsigned rows = (h + 31) & ~31u;
    pitches[0] = pitch;
    lines[0] = rows;
    const std::lock_guard<std::mutex> lock(self->m_mutex);
    for (std::vector<uchar> &buffer : self->m_buffers)
        buffer.assign(size_t(pitch) * rows, 0);
    self->m_stored = QSize(int(storedWidth), int(storedHeight));
    self->m_width = int(w);
    self->m_height = int(h);
    self->m_pitch = int(pitch);
    self->m_format = self->m_nextFormat++;
    self->m_front = -1;
    return 1;
}

void VideoFrames::closeFormat(void *opaque)
{
    auto *self = static_cast<VideoFrames *>(opaque);
    const std::lock_guard<std::mutex> lock(self->m_mutex);
    if (self->m_front >= 0) {
        self->m_held = self->bufferImage(self->m_front).copy();
        self->m_heldFormat = self->m_format;
    }
    for (std::vector<uchar> &buffer : self->m_buffers)
        std::vector<uchar>().swap(buffer);
    self->m_format = 0;
    self->m_stored = QSize();
    self->m_width = self->m_height = self->m_pitch = 0;
    self->m_front = -1;
}

void *VideoFrames::lockBuffer(void *opaque, void **planes)
{
    auto *self = static_cast<VideoFrames *>(opaque);
    const std::lock_guard<std::mutex> lock(self->m_mutex);
    // The buffer not shown; libVLC names it back to showBuffer.
    const int index = self->m_front == 0 ? 1 : 0;
    planes[0] = self->m_buffers[index].data();
    return reinterpret_cast<void *>(quintptr(index + 1));
}

void VideoFrames::showBuffer(void *opaque, void *buffer)
{
    auto *self = static_cast<VideoFrames *>(opaque);
    {
        const std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_front = int(reinterpret_cast<quintptr>(buffer)) - 1;
    }
    if (!self->m_notifyPending.exchange(true)) {
        QMetaObject::invokeMethod(
            self,
            [self] {
                self->m_notifyPending = false;
                emit self->pictureArrived();
            },
            Qt::QueuedConnection);
    }
}

QImage VideoFrames::bufferImage(int index) const
{
    return QImage(m_buffers[index].data(), m_width, m_height, m_pitch, QImage::Format_RGB32);
}

void VideoFrames::draw(const std::function<void(const Picture &, const Picture &)> &paint) const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    paint(m_front >= 0 ? Picture{bufferImage(m_front), m_format} : Picture{}, Picture{m_held, m_heldFormat});
}

void VideoFrames::setLargestPicture(const QSize &size)
{
    m_largestWidth = size.width();
    m_largestHeight = size.height();
}

int VideoFrames::format() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_format;
}

QSize VideoFrames::formatSize() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_stored;
}

void VideoFrames::clear()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_front = -1;
    m_held = QImage();
    m_heldFormat = 0;
}

} // namespace ui
