// Pictures that libVLC decodes, handed from its video thread to the window's thread.
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <atomic>
#include <mutex>
#include <vector>

struct libvlc_media_player_t;
struct SwsContext;

namespace ui
{

// What the media's video track tells of the pictures that libVLC stores at `stored` (upright):
// their visible size and their width over height on screen. Empty and 0 while it describes no
// picture of that size (not decoded yet, or still the size before a change).
struct TrackPicture {
    QSize visible;
    double aspect = 0.0;
};
TrackPicture describedPicture(libvlc_media_player_t *player, const QSize &stored);

// libVLC copies each decoded picture, in its own size and in YUV 4:2:0, into one of two buffers
// of ours; the window's thread turns the latest into RGB at the very size it is drawn, so a
// larger window gets a sharper picture at once, whatever the stream. A picture equal to the
// one before (libVLC shows a paused picture again several times a second) is not announced.
class VideoFrames : public QObject
{
    Q_OBJECT

public:
    explicit VideoFrames(QObject *parent = nullptr);
    ~VideoFrames() override;

    // Makes the player render its video here instead of into a window of its own.
    void attach(libvlc_media_player_t *player);

    // The open output's format number and the picture size the decoder stores; 0 and empty
    // when none is open.
    int format() const;
    QSize formatSize() const;
    // The latest picture of output `format` in RGB at `size`; null unless that output is open
    // and has one.
    QImage latest(int format, const QSize &size);
    // The last picture of an output that closed since (kept while a stream changes format, so
    // the area need not go black) and its format number; null and 0 when there is none.
    QImage held(int *format) const;
    // Pictures libVLC delivered since the start, unchanged ones included.
    int delivered() const { return m_delivered; }
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
    bool sameAsFront(int index) const;
    // Needs m_mutex.
    void convert(int index, QImage &into, const QSize &size);

    libvlc_media_player_t *m_player = nullptr;
    // Whatever libVLC writes into is not the front buffer; the window's thread reads only the
    // front one, under the mutex, so neither ever reads a picture half written.
    mutable std::mutex m_mutex;
    std::vector<uchar> m_buffers[2];
    QSize m_stored;
    QSize m_size; // of the pictures in the buffers
    int m_pitches[3] = {};
    size_t m_planeOffsets[3] = {};
    bool m_fullRange = false;
    int m_format = 0;
    int m_nextFormat = 1;
    int m_front = -1; // the buffer holding the latest picture
    int m_serial = 0; // counts the pictures that became the front one
    QImage m_rgb;     // the front picture as last drawn
    int m_rgbSerial = -1;
    QImage m_held; // the last picture of an output that closed
    int m_heldFormat = 0;
    SwsContext *m_scaler = nullptr;
    int m_scalerRange = -1; // the source range the scaler was set up for
    std::atomic<bool> m_notifyPending{false};
    std::atomic<int> m_delivered{0};
};

} // namespace ui
