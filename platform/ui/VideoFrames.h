// Pictures that libVLC decodes, handed from its video thread to the window's thread.
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

struct libvlc_media_player_t;

namespace ui
{

// libVLC renders each picture into one of two buffers of ours, in RGB; the window's thread
// draws the latest one. The two never share a buffer: libVLC writes into the one not shown.
class VideoFrames : public QObject
{
    Q_OBJECT

public:
    explicit VideoFrames(QObject *parent = nullptr);

    // Makes the player render its video here instead of into a window of its own.
    void attach(libvlc_media_player_t *player);

    // A picture and the output it came from; the image is valid only inside draw().
    struct Picture {
        QImage image;
        int format = 0;
    };
    // Calls paint with the latest picture of the open output and the last one of an output
    // that closed since (kept while a stream changes format, so the area need not go black);
    // either may be null. libVLC writes no buffer meanwhile.
    void draw(const std::function<void(const Picture &latest, const Picture &held)> &paint) const;
    // Pictures larger than this are scaled down by libVLC, keeping their proportions, before
    // they reach us: drawing them smaller here would cost the window's thread far more.
    // Takes effect with the next output.
    void setLargestPicture(const QSize &size);
    // The open output's format number and the picture size the decoder stores; 0 and empty
    // when none is open.
    int format() const;
    QSize formatSize() const;
    // Forgets every picture (stop, a new address): nothing is drawn until the next one.
    void clear();

signals:
    // A new picture arrived. Queued to the window's thread, at most one waiting at a time.
    void pictureArrived();

private:
    static unsigned setupFormat(void **opaque, char *chroma, unsigned *width, unsigned *height,
                                unsigned *pitches, unsigned *lines);
    static void closeFormat(void *opaque);
    static void *lockBuffer(void *opaque, void **planes);
    static void showBuffer(void *opaque, void *buffer);
    QImage bufferImage(int index) const;

    mutable std::mutex m_mutex;
    std::vector<uchar> m_buffers[2];
    QSize m_stored;
    int m_width = 0; // of the buffers
    int m_height = 0;
    int m_pitch = 0;
    int m_format = 0;
    int m_nextFormat = 1;
    int m_front = -1; // the buffer holding the latest picture
    QImage m_held;    // the last picture of an output that closed
    int m_heldFormat = 0;
    std::atomic<bool> m_notifyPending{false};
    std::atomic<int> m_largestWidth{0};
    std::atomic<int> m_largestHeight{0};
};

} // namespace ui
