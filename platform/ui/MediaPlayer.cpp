// The media player over libVLC. Every address goes through a media-list player, which
// descends into the entries of playlists (ASX/WAX/WVX, PLS, M3U, "[Reference]"). libVLC
// reports on its own threads; each report is queued to the window's thread.
//
// libVLC draws into a native child window and leaves its last picture there when the video
// ends. That window is therefore shown only while the current media has a video output;
// otherwise it is hidden and the player paints its video area black itself.
//
// libVLC shows the first picture of a stream at once, filling its whole window, and places
// it with the right aspect only from a later picture on (for MPEG-TS after its network
// buffer, most of a second). The window therefore takes the picture's own shape, centred in
// the video area, before it is shown: whatever libVLC fills it with has the right shape.
#include "platform/ui/MediaPlayer.h"

#include <vlc/vlc.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <atomic>
#include <malloc.h>

namespace ui
{

namespace
{

bool embeddable()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The window libVLC draws into. Qt never paints it: whatever Qt drew there after a window
// uncovered part of it would cut a hole into libVLC's picture.
class VideoWindow : public QWidget
{
public:
    VideoWindow(QWidget *parent, bool native) : QWidget(parent), m_native(native)
    {
        setObjectName(QStringLiteral("video"));
        if (m_native) {
            setAttribute(Qt::WA_NativeWindow);
            setAttribute(Qt::WA_PaintOnScreen);
            setAttribute(Qt::WA_NoSystemBackground);
            setAttribute(Qt::WA_OpaquePaintEvent);
        }
    }
    QPaintEngine *paintEngine() const override { return m_native ? nullptr : QWidget::paintEngine(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!m_native)
            QPainter(this).fillRect(rect(), Qt::black);
    }

private:
    bool m_native;
};

// Decoders free their buffers on the threads that end with the media; glibc keeps what they
// freed in its arenas until asked to give it back.
void releaseFreedMemory()
{
    malloc_trim(0);
}

libvlc_instance_t *vlcInstance()
{
    static libvlc_instance_t *instance = [] {
        QList<QByteArray> args = {"--quiet",    "--intf=dummy",          "--no-video-title-show",
                                  "--no-stats", "--no-snapshot-preview", "--no-sub-autodetect-file",
                                  "--no-osd"};
        if (MediaPlayer::headless())
            args << "--vout=dummy"
                 << "--aout=dummy";
        else if (!embeddable())
            args << "--vout=dummy"; // no window system we can embed video into
        QList<const char *> argv;
        for (const QByteArray &a : args)
            argv.append(a.constData());
        return libvlc_new(int(argv.size()), argv.data());
    }();
    return instance;
}

// An address libVLC understands: URLs pass, local paths become file URLs.
QString toMrl(const QString &address)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    const QString a = address.trimmed();
    if (scheme.match(a).hasMatch() && !QFileInfo::exists(a))
        return a;
    QString path = a;
    // Paths joined with "\" by the system's code still name the file.
    if (!QFileInfo::exists(path) && path.contains(QLatin1Char('\\')))
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QUrl::fromLocalFile(QDir::cleanPath(QFileInfo(path).absoluteFilePath()))
        .toString(QUrl::FullyEncoded);
}

QString mediaMrl(libvlc_media_player_t *player)
{
    libvlc_media_t *media = player ? libvlc_media_player_get_media(player) : nullptr;
    if (!media)
        return QString();
    char *mrl = libvlc_media_get_mrl(media);
    const QString s = QString::fromUtf8(mrl);
    libvlc_free(mrl);
    libvlc_media_release(media);
    return s;
}

const libvlc_event_e kPlayerEvents[] = {
    libvlc_MediaPlayerOpening,          libvlc_MediaPlayerBuffering, libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,           libvlc_MediaPlayerStopped,   libvlc_MediaPlayerEndReached,
    libvlc_MediaPlayerEncounteredError, libvlc_MediaPlayerVout,
};

std::atomic<int> g_nextGeneration{1};

// How long a video output may stay without a known picture size before its window is shown
// over the whole area all the same.
constexpr int kShapeWaitMs = 1000;
constexpr int kShapeWaitTickMs = 2;

} // namespace

// --- controls

MediaPlayerControls::MediaPlayerControls(MediaPlayer *player) : QObject(player), m_player(player) {}

void MediaPlayerControls::play()
{
    if (m_player->m_listPlayer && !m_player->m_url.isEmpty())
        libvlc_media_list_player_play(m_player->m_listPlayer);
}

void MediaPlayerControls::pause()
{
    if (m_player->m_listPlayer)
        libvlc_media_list_player_set_pause(m_player->m_listPlayer, 1);
}

void MediaPlayerControls::stop()
{
    if (m_player->m_listPlayer) {
        libvlc_media_list_player_stop(m_player->m_listPlayer);
        // What libVLC reported before it stopped is out of date now.
        m_player->m_generation = g_nextGeneration++;
        releaseFreedMemory();
        m_player->showVideo(false);
        m_player->setState(MediaPlayer::wmppsStopped);
    }
}

double MediaPlayerControls::currentPosition() const
{
    return m_player->currentPosition();
}

void MediaPlayerControls::setCurrentPosition(double seconds)
{
    if (m_player->m_player)
        libvlc_media_player_set_time(m_player->m_player, libvlc_time_t(seconds * 1000.0));
}

// --- player

void prepareMediaMemory()
{
    // Every decoder thread would otherwise get an arena of its own, and each arena keeps
    // what it once held: switching channels would grow the process by hundreds of MB.
    // A limit the user set in the environment stays.
    if (qEnvironmentVariableIsEmpty("MALLOC_ARENA_MAX"))
        mallopt(M_ARENA_MAX, 4);
}

MediaPlayer::MediaPlayer(QWidget *parent)
    : QWidget(parent), m_controls(new MediaPlayerControls(this)),
      m_video(new VideoWindow(this, embeddable() && !headless())), m_bar(new QWidget(this)),
      m_playButton(new QToolButton(m_bar)), m_stopButton(new QToolButton(m_bar)),
      m_volumeSlider(new QSlider(Qt::Horizontal, m_bar)), m_shapeWait(new QTimer(this))
{
    setAutoFillBackground(true);
    m_video->hide();
    m_shapeWait->setInterval(kShapeWaitTickMs);
    m_shapeWait->setTimerType(Qt::PreciseTimer);
    connect(m_shapeWait, &QTimer::timeout, this, [this] {
        if (readPictureShape() || m_shapeDeadline.hasExpired())
            showVideo(true);
    });

    auto *layout = new QHBoxLayout(m_bar);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    m_playButton->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    m_playButton->setToolTip(tr("Play/Pause"));
    m_stopButton->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    m_stopButton->setToolTip(tr("Stop"));
    m_volumeSlider->setRange(0, 100);
    m_volumeSlider->setValue(m_volume);
    m_volumeSlider->setMaximumWidth(100);
    m_volumeSlider->setToolTip(tr("Volume"));
    layout->addWidget(m_playButton);
    layout->addWidget(m_stopButton);
    layout->addStretch(1);
    layout->addWidget(m_volumeSlider);

    connect(m_playButton, &QToolButton::clicked, this, [this] {
        if (m_state == wmppsPlaying)
            m_controls->pause();
        else
            m_controls->play();
    });
    connect(m_stopButton, &QToolButton::clicked, m_controls, &MediaPlayerControls::stop);
    connect(m_volumeSlider, &QSlider::valueChanged, this, &MediaPlayer::setVolume);
    layoutChildren();
}

MediaPlayer::~MediaPlayer()
{
    if (m_player) {
        libvlc_event_manager_t *events = libvlc_media_player_event_manager(m_player);
        for (libvlc_event_e type : kPlayerEvents)
            libvlc_event_detach(events, type, &MediaPlayer::vlcCallback, this);
        libvlc_media_list_player_stop(m_listPlayer);
        libvlc_media_list_player_release(m_listPlayer);
        libvlc_media_player_release(m_player);
    }
    if (m_list)
        libvlc_media_list_release(m_list);
}

bool MediaPlayer::headless()
{
    return qEnvironmentVariable("CHANNELDECK_HEADLESS_MEDIA") == QLatin1String("1") ||
           QGuiApplication::platformName() == QLatin1String("offscreen") ||
           QGuiApplication::platformName() == QLatin1String("minimal");
}

void MediaPlayer::ensurePlayer()
{
    if (m_player)
        return;
    libvlc_instance_t *vlc = vlcInstance();
    if (!vlc)
        return;
    m_player = libvlc_media_player_new(vlc);
    m_listPlayer = libvlc_media_list_player_new(vlc);
    libvlc_media_list_player_set_media_player(m_listPlayer, m_player);
    libvlc_video_set_mouse_input(m_player, 0);
    libvlc_video_set_key_input(m_player, 0);
    libvlc_event_manager_t *events = libvlc_media_player_event_manager(m_player);
    for (libvlc_event_e type : kPlayerEvents)
        libvlc_event_attach(events, type, &MediaPlayer::vlcCallback, this);
    attachVideo();
}

void MediaPlayer::attachVideo()
{
    if (!m_player || m_videoAttached || headless() || !embeddable())
        return;
    libvlc_media_player_set_xwindow(m_player, uint32_t(m_video->winId()));
    m_videoAttached = true;
}

void MediaPlayer::vlcCallback(const libvlc_event_t *event, void *self)
{
    auto *player = static_cast<MediaPlayer *>(self);
    const int type = event->type;
    const int vouts = type == libvlc_MediaPlayerVout ? event->u.media_player_vout.new_count : 0;
    const int generation = player->m_generation.load();
    // libVLC's thread: hand over to the window's thread and return at once.
    QMetaObject::invokeMethod(
        player,
        [player, type, vouts, generation] {
            if (generation == player->m_generation.load())
                player->handleVlcEvent(type, vouts);
        },
        Qt::QueuedConnection);
}

void MediaPlayer::handleVlcEvent(int type, int vouts)
{
    switch (type) {
    case libvlc_MediaPlayerVout:
        videoOutputChanged(vouts);
        break;
    case libvlc_MediaPlayerOpening:
        m_reachedPlaying = false;
        setState(wmppsTransitioning);
        break;
    case libvlc_MediaPlayerBuffering:
        if (m_state != wmppsPlaying && m_state != wmppsPaused)
            setState(wmppsBuffering);
        break;
    case libvlc_MediaPlayerPlaying:
        m_reachedPlaying = true;
        libvlc_audio_set_volume(m_player, m_volume);
        setState(wmppsPlaying);
        break;
    case libvlc_MediaPlayerPaused:
        setState(wmppsPaused);
        break;
    case libvlc_MediaPlayerStopped:
        showVideo(false);
        setState(wmppsStopped);
        break;
    case libvlc_MediaPlayerEndReached:
    case libvlc_MediaPlayerEncounteredError: {
        showVideo(false);
        const QString mrl = mediaMrl(m_player);
        // A "[Reference]" entry that libVLC rewrote to MMS over HTTP: plain HTTP servers
        // do not speak it, so the same address is tried over plain HTTP.
        if (!m_reachedPlaying && !m_fellBack &&
            mrl.startsWith(QLatin1String("mmsh://"), Qt::CaseInsensitive)) {
            m_fellBack = true;
            playMrl(QStringLiteral("http://") + mrl.mid(7));
            return;
        }
        if (type == libvlc_MediaPlayerEncounteredError) {
            setState(wmppsReady);
            emit MediaError(mrl);
        } else {
            setState(wmppsMediaEnded);
        }
        break;
    }
    default:
        break;
    }
}

void MediaPlayer::setState(int state)
{
    if (state == m_state)
        return;
    m_state = state;
    m_playButton->setIcon(
        style()->standardIcon(state == wmppsPlaying ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    emit PlayStateChange(state);
}

void MediaPlayer::playMrl(const QString &mrl)
{
    ensurePlayer();
    if (!m_player) {
        setState(wmppsReady);
        emit MediaError(mrl); // libVLC could not start (no plugins)
        return;
    }
    libvlc_media_list_player_stop(m_listPlayer);
    // Reports of the previous address are dropped from here on.
    m_generation = g_nextGeneration++;
    releaseFreedMemory();
    showVideo(false);
    libvlc_media_list_t *list = libvlc_media_list_new(vlcInstance());
    libvlc_media_t *media = libvlc_media_new_location(vlcInstance(), mrl.toUtf8().constData());
    if (media) {
        libvlc_media_list_add_media(list, media);
        libvlc_media_release(media);
    }
    libvlc_media_list_player_set_media_list(m_listPlayer, list);
    if (m_list)
        libvlc_media_list_release(m_list);
    m_list = list;
    m_reachedPlaying = false;
    setState(wmppsTransitioning);
    libvlc_media_list_player_play(m_listPlayer);
}

void MediaPlayer::setUrl(const QString &url)
{
    m_url = url;
    m_fellBack = false;
    if (url.trimmed().isEmpty()) {
        if (m_listPlayer)
            libvlc_media_list_player_stop(m_listPlayer);
        m_generation = g_nextGeneration++;
        releaseFreedMemory();
        showVideo(false);
        setState(wmppsStopped);
        return;
    }
    playMrl(toMrl(url));
}

void MediaPlayer::close()
{
    if (m_listPlayer) {
        libvlc_media_list_player_stop(m_listPlayer);
        libvlc_media_list_t *empty = libvlc_media_list_new(vlcInstance());
        libvlc_media_list_player_set_media_list(m_listPlayer, empty);
        if (m_list)
            libvlc_media_list_release(m_list);
        m_list = empty;
        releaseFreedMemory();
    }
    m_generation = g_nextGeneration++;
    showVideo(false);
    m_url.clear();
    setState(wmppsUndefined);
}

double MediaPlayer::currentPosition() const
{
    if (!m_player)
        return 0.0;
    const libvlc_time_t ms = libvlc_media_player_get_time(m_player);
    return ms > 0 ? double(ms) / 1000.0 : 0.0;
}

QString MediaPlayer::currentMrl() const
{
    return mediaMrl(m_player);
}

void MediaPlayer::setVolume(int volume)
{
    m_volume = std::clamp(volume, 0, 100);
    if (m_volumeSlider->value() != m_volume)
        m_volumeSlider->setValue(m_volume);
    if (m_player)
        libvlc_audio_set_volume(m_player, m_volume);
}

void MediaPlayer::setUiMode(const QString &mode)
{
    m_uiMode = mode;
    layoutChildren();
}

bool MediaPlayer::barShown() const
{
    const QString mode = m_uiMode.toLower();
    return mode == QLatin1String("mini") || mode == QLatin1String("full");
}

QRect MediaPlayer::videoArea() const
{
    const int barHeight = barShown() ? m_bar->sizeHint().height() : 0;
    return QRect(0, 0, width(), std::max(0, height() - barHeight));
}

void MediaPlayer::layoutChildren()
{
    const QRect area = videoArea();
    m_bar->setVisible(barShown());
    m_bar->setGeometry(0, area.height(), width(), height() - area.height());
    QRect picture = area;
    if (m_pictureAspect > 0.0 && !area.isEmpty()) {
        if (area.width() > area.height() * m_pictureAspect)
            picture.setWidth(std::max(1, int(std::lround(area.height() * m_pictureAspect))));
        else
            picture.setHeight(std::max(1, int(std::lround(area.width() / m_pictureAspect))));
        picture.moveCenter(area.center());
    }
    m_video->setGeometry(picture);
}

// The picture's size and pixel shape as the current media's video track reports them; known
// from the container at once, or once the first picture is decoded.
bool MediaPlayer::readPictureShape()
{
    libvlc_media_t *media = m_player ? libvlc_media_player_get_media(m_player) : nullptr;
    if (!media)
        return false;
    libvlc_media_track_t **tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    double aspect = 0.0;
    for (unsigned i = 0; i < count && aspect == 0.0; ++i) {
        const libvlc_media_track_t *track = tracks[i];
        if (track->i_type != libvlc_track_video || !track->video->i_width || !track->video->i_height)
            continue;
        const bool sarKnown = track->video->i_sar_num && track->video->i_sar_den;
        const double sar = sarKnown ? double(track->video->i_sar_num) / track->video->i_sar_den : 1.0;
        aspect = track->video->i_width * sar / track->video->i_height;
    }
    if (count)
        libvlc_media_tracks_release(tracks, count);
    libvlc_media_release(media);
    if (aspect <= 0.0)
        return false;
    m_pictureAspect = aspect;
    return true;
}

void MediaPlayer::videoOutputChanged(int vouts)
{
    if (vouts <= 0) {
        showVideo(false);
        return;
    }
    if (m_video->isVisibleTo(this)) {
        // A new output for a new format: keep to the picture's shape.
        if (readPictureShape())
            layoutChildren();
        return;
    }
    m_shapeDeadline.setRemainingTime(kShapeWaitMs);
    if (readPictureShape())
        showVideo(true);
    else
        m_shapeWait->start();
}

void MediaPlayer::showVideo(bool on)
{
    m_shapeWait->stop();
    if (on) {
        // Shaped first: libVLC may draw into the window the moment it is mapped.
        layoutChildren();
        m_video->show();
        return;
    }
    m_pictureAspect = 0.0;
    if (!m_video->isVisibleTo(this))
        return;
    m_video->hide();
    // Qt paints nothing under a native window, so the back buffer there still holds whatever
    // a window above the video last drew; paint the black that belongs there.
    update(videoArea());
}

void MediaPlayer::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    // The video area is black wherever libVLC's window is not over it.
    QPainter(this).fillRect(videoArea(), Qt::black);
}

void MediaPlayer::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    attachVideo();
}

void MediaPlayer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

} // namespace ui
