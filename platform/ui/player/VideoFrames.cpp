#include "platform/ui/player/VideoFrames.h"

#include <vlc/vlc.h>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libswscale/swscale.h>
}

#include <cstdlib>
#include <cstring>

namespace ui
{

namespace
{

// Whether a stored picture side of `stored` pixels holds a visible side of `visible`: decoders
// store whole blocks plus spare lines, a few dozen pixels at most.
bool holds(int stored, int visible)
{
    return stored >= visible && stored - visible < 48;
}

unsigned alignedTo(unsigned value, unsigned alignment)
{
    return (value + alignment - 1) / alignment * alignment;
}

// The visible side most likely behind a stored one when the track does not tell it yet: the
// first usual size that decoders' padding turns into it (whole 16-pixel blocks; rows also in
// pairs of blocks and, for H.264, two spare lines). A wrong guess costs libVLC a scaling
// pass per picture, nothing else: the picture is drawn in the shape the track tells.
int likelyVisible(int stored, bool rows)
{
    static const std::vector<int> usualWidths = {1920, 1280, 854, 640, 720, 1024, 960,  1440,
                                                 3840, 2560, 480, 426, 352, 320,  1080, 768,
                                                 576,  360,  256, 176, 128, 96,   64};
    static const std::vector<int> usualHeights = {1080, 720,  576, 480, 360, 540, 270, 240, 288, 1440, 2160,
                                                  1920, 1280, 768, 600, 234, 180, 144, 120, 90,  72,   48};
    for (const int usual : rows ? usualHeights : usualWidths) {
        const unsigned blocks = alignedTo(unsigned(usual), 16);
        if (unsigned(stored) == unsigned(usual) || unsigned(stored) == blocks ||
            (rows &&
             (unsigned(stored) == alignedTo(blocks, 32) || unsigned(stored) == alignedTo(blocks, 32) + 2)))
            return usual;
    }
    return stored;
}

// An RGB image whose rows swscale may overrun: it writes whole blocks of pixels, past the end
// of a row and of the last one. Rows padded to 64 bytes and a spare row take that in.
QImage paddedImage(const QSize &size)
{
    const qsizetype bytesPerLine = alignedTo(unsigned(size.width()) * 4, 64);
    auto *data = static_cast<uchar *>(std::malloc(size_t(bytesPerLine) * size_t(size.height() + 1)));
    if (!data)
        return QImage();
    return QImage(data, size.width(), size.height(), bytesPerLine, QImage::Format_RGB32, std::free, data);
}

} // namespace

TrackPicture describedPicture(libvlc_media_player_t *player, const QSize &stored)
{
    TrackPicture described;
    libvlc_media_t *media = player ? libvlc_media_player_get_media(player) : nullptr;
    if (!media)
        return described;
    libvlc_media_track_t **tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    for (unsigned i = 0; i < count && described.aspect == 0.0; ++i) {
        const libvlc_video_track_t *video =
            tracks[i]->i_type == libvlc_track_video ? tracks[i]->video : nullptr;
        if (!video || !video->i_width || !video->i_height || !video->i_sar_num || !video->i_sar_den)
            continue;
        double width = video->i_width * double(video->i_sar_num) / video->i_sar_den;
        double height = video->i_height;
        QSize visible(int(video->i_width), int(video->i_height));
        // Turned a quarter: libVLC hands the picture over upright.
        if (video->i_orientation >= libvlc_video_orient_left_top) {
            std::swap(width, height);
            visible.transpose();
        }
        if (holds(stored.width(), visible.width()) && holds(stored.height(), visible.height()))
            described = {visible, width / height};
    }
    if (count)
        libvlc_media_tracks_release(tracks, count);
    libvlc_media_release(media);
    return described;
}

VideoFrames::VideoFrames(QObject *parent) : QObject(parent) {}

VideoFrames::~VideoFrames()
{
    sws_freeContext(m_scaler);
}

void VideoFrames::attach(libvlc_media_player_t *player)
{
    m_player = player;
    libvlc_video_set_callbacks(player, &VideoFrames::lockBuffer, nullptr, &VideoFrames::showBuffer, this);
    libvlc_video_set_format_callbacks(player, &VideoFrames::setupFormat, &VideoFrames::closeFormat);
}

// libVLC's video thread, whenever an output opens: a new picture size or orientation.
unsigned VideoFrames::setupFormat(void **opaque, char *chroma, unsigned *width, unsigned *height,
                                  unsigned *pitches, unsigned *lines)
{
    auto *self = static_cast<VideoFrames *>(*opaque);
    const QSize stored(int(std::max(1u, *width)), int(std::max(1u, *height)));
    // Pictures of exactly the visible size are copied as they are, also when libVLC shows a
    // paused one again; any other size makes it scale every one. The track knows that size;
    // a transport stream tells it only a moment later.
    const QSize described = describedPicture(self->m_player, stored).visible;
    const QSize size = !described.isEmpty() ? described
                                            : QSize(likelyVisible(stored.width(), false),
                                                    likelyVisible(stored.height(), true));
    // Full-range pictures (JPEG-like) stay full range, planes laid out alike.
    const bool fullRange = chroma[0] == 'J';
    std::memcpy(chroma, fullRange ? "J420" : "I420", 4);
    *width = unsigned(size.width());
    *height = unsigned(size.height());
    // Rows and lines for the larger of the stored and the handed size, aligned, and spare lines
    // below: libVLC's filters and converters may write whole blocks past a picture's edge.
    const unsigned lumaPitch = alignedTo(unsigned(std::max(stored.width(), size.width())), 64);
    const unsigned lumaLines = alignedTo(unsigned(std::max(stored.height(), size.height())), 32) + 32;
    pitches[0] = lumaPitch;
    lines[0] = lumaLines;
    pitches[1] = pitches[2] = lumaPitch / 2;
    lines[1] = lines[2] = lumaLines / 2;
    const size_t lumaBytes = size_t(lumaPitch) * lumaLines;
    const size_t chromaBytes = lumaBytes / 4;

    const std::lock_guard<std::mutex> lock(self->m_mutex);
    for (std::vector<uchar> &buffer : self->m_buffers)
        buffer.assign(lumaBytes + 2 * chromaBytes, 0);
    self->m_planeOffsets[0] = 0;
    self->m_planeOffsets[1] = lumaBytes;
    self->m_planeOffsets[2] = lumaBytes + chromaBytes;
    self->m_pitches[0] = int(lumaPitch);
    self->m_pitches[1] = self->m_pitches[2] = int(lumaPitch / 2);
    self->m_fullRange = fullRange;
    self->m_stored = stored;
    self->m_size = size;
    self->m_format = self->m_nextFormat++;
    self->m_front = -1;
    return 1;
}

void VideoFrames::closeFormat(void *opaque)
{
    auto *self = static_cast<VideoFrames *>(opaque);
    const std::lock_guard<std::mutex> lock(self->m_mutex);
    if (self->m_front >= 0) {
        // As last drawn when it was; drawing scales it to whatever the area is then.
        if (self->m_rgbSerial == self->m_serial && !self->m_rgb.isNull())
            self->m_held = self->m_rgb;
        else
            self->convert(self->m_front, self->m_held, self->m_size);
        self->m_heldFormat = self->m_format;
    }
    for (std::vector<uchar> &buffer : self->m_buffers)
        std::vector<uchar>().swap(buffer);
    self->m_format = 0;
    self->m_stored = self->m_size = QSize();
    self->m_front = -1;
    self->m_rgb = QImage();
    self->m_rgbSerial = -1;
}

void *VideoFrames::lockBuffer(void *opaque, void **planes)
{
    auto *self = static_cast<VideoFrames *>(opaque);
    const std::lock_guard<std::mutex> lock(self->m_mutex);
    // The buffer not shown; libVLC names it back to showBuffer.
    const int index = self->m_front == 0 ? 1 : 0;
    for (int plane = 0; plane < 3; ++plane)
        planes[plane] = self->m_buffers[index].data() + self->m_planeOffsets[plane];
    return reinterpret_cast<void *>(quintptr(index + 1));
}

// Only libVLC's video thread changes the front buffer or writes a buffer, so the comparison
// needs no lock: the window's thread only reads.
bool VideoFrames::sameAsFront(int index) const
{
    int front = 0;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        front = m_front;
    }
    return front >= 0 && front != index && m_buffers[index] == m_buffers[front];
}

void VideoFrames::showBuffer(void *opaque, void *buffer)
{
    auto *self = static_cast<VideoFrames *>(opaque);
    const int index = int(reinterpret_cast<quintptr>(buffer)) - 1;
    ++self->m_delivered;
    if (self->sameAsFront(index))
        return;
    {
        const std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_front = index;
        ++self->m_serial;
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

void VideoFrames::convert(int index, QImage &into, const QSize &size)
{
    if (into.size() != size || !into.isDetached())
        into = paddedImage(size);
    // Bicubic, as libVLC scales; AV_PIX_FMT_RGB32 is QImage's 0xAARRGGBB on any byte order.
    SwsContext *scaler =
        sws_getCachedContext(m_scaler, m_size.width(), m_size.height(), AV_PIX_FMT_YUV420P, size.width(),
                             size.height(), AV_PIX_FMT_RGB32, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!scaler || into.isNull()) {
        into.fill(Qt::black);
        return;
    }
    if (scaler != m_scaler || m_scalerRange != int(m_fullRange)) {
        const int *coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
        sws_setColorspaceDetails(scaler, coefficients, int(m_fullRange), coefficients, 1, 0, 1 << 16,
                                 1 << 16);
        m_scaler = scaler;
        m_scalerRange = int(m_fullRange);
    }
    const uchar *source = m_buffers[index].data();
    const uint8_t *const planes[4] = {source + m_planeOffsets[0], source + m_planeOffsets[1],
                                      source + m_planeOffsets[2], nullptr};
    const int strides[4] = {m_pitches[0], m_pitches[1], m_pitches[2], 0};
    uint8_t *const target[4] = {into.bits(), nullptr, nullptr, nullptr};
    const int targetStrides[4] = {int(into.bytesPerLine()), 0, 0, 0};
    sws_scale(scaler, planes, strides, 0, m_size.height(), target, targetStrides);
}

QImage VideoFrames::latest(int format, const QSize &size)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_front < 0 || format != m_format || size.isEmpty())
        return QImage();
    if (m_rgbSerial != m_serial || m_rgb.size() != size) {
        convert(m_front, m_rgb, size);
        m_rgbSerial = m_serial;
    }
    return m_rgb;
}

QImage VideoFrames::held(int *format) const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    *format = m_heldFormat;
    return m_held;
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
    m_rgb = QImage();
    m_rgbSerial = -1;
    m_held = QImage();
    m_heldFormat = 0;
}

} // namespace ui
