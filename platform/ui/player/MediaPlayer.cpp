// The media player over libVLC. Every address goes through a media-list player, which
// descends into the entries of playlists (ASX/WAX/WVX, PLS, M3U, "[Reference]"). libVLC
// reports on its own threads; each report is queued to the window's thread.
//
// libVLC hands the decoded pictures to memory of ours and the player draws them itself, each
// in its own shape, centred in the video area with black bars, scaled once from the decoded
// size to the size drawn. libVLC's own window output places a picture for the window size it
// saw when the output opened and holds a stream's first picture through its network buffer:
// after a video of another shape that picture showed squeezed for most of a second.
//
// The shape is the stored size, turned for the track's orientation, times the pixel shape.
// A stream's pixel shape may be known only to its decoder: a new picture size waits for the
// track to report it (a few milliseconds after the first picture) before it is drawn.
#include "platform/ui/player/MediaPlayer.h"

#include "platform/ui/player/FullScreen.h"
#include "platform/ui/player/MediaTags.h"
#include "platform/ui/player/PlayerBar.h"
#include "platform/ui/player/PlayerWords.h"
#include "platform/ui/player/Rejoin.h"
#include "platform/ui/player/VideoView.h"

#include <vlc/vlc.h>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <atomic>
#include <malloc.h>
#include <utility>

namespace ui
{

namespace
{

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
            args << "--aout=dummy";
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
    libvlc_MediaPlayerEncounteredError, libvlc_MediaPlayerESAdded,   libvlc_MediaPlayerTimeChanged,
};

std::atomic<int> g_nextGeneration{1};

// How long a new picture size may wait for its track to report its shape before it is drawn
// with square pixels all the same.
constexpr int kShapeWaitMs = 1000;
constexpr int kShapeWaitTickMs = 2;
// A change of pixel shape within a stream keeps the output open; the track tells it.
constexpr int kShapeRereadMs = 250;
// A playlist ends as its first entry opens; an address that ends with nothing to see or hear
// and nothing after it within this time could not be played.
constexpr int kEndCheckMs = 300;
constexpr int kPositionTickMs = 250;
constexpr int kSeekPaceMs = 100;
// What Left and Right skip, and what a notch of the wheel changes the volume by.
constexpr qint64 kSkipMs = 10000;
constexpr int kWheelVolumeStep = 5;
// Sound that plays this long while a video track shows no picture is sound alone.
constexpr int kPictureLateMs = 1500;

// What the area says while an address opens: the host it reaches, or a file being opened.
QString connectingWords(const QString &address)
{
    const QUrl url(address);
    if (url.isLocalFile() || url.host().isEmpty())
        return MediaPlayer::tr("Opening\u2026");
    return MediaPlayer::tr("Connecting to %1\u2026").arg(url.host());
}

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
    // Nothing plays yet to be held: a connection paused would only go stale.
    if (m_player->opening()) {
        stop();
        return;
    }
    if (m_player->m_listPlayer)
        libvlc_media_list_player_set_pause(m_player->m_listPlayer, 1);
}

void MediaPlayerControls::stop()
{
    // Also while the main window still looks the address up: that play is not wanted any more.
    m_player->m_announced.clear();
    m_player->endRejoin();
    m_player->setActivity(QString());
    m_player->m_video->words()->setSound({});
    if (m_player->m_listPlayer) {
        libvlc_media_list_player_stop(m_player->m_listPlayer);
        // What libVLC reported before it stopped is out of date now.
        m_player->m_generation = g_nextGeneration++;
        releaseFreedMemory();
        m_player->clearPicture();
        m_player->clearFailure();
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
    : QWidget(parent), m_controls(new MediaPlayerControls(this)), m_frames(new VideoFrames(this)),
      m_video(new VideoView(m_frames, this)), m_tags(new MediaTags(this)), m_rejoin(new Rejoin(this)),
      m_bar(new PlayerBar(this)), m_fullScreen(new FullScreen(this)), m_positionTick(new QTimer(this)),
      m_seekPace(new QTimer(this)), m_shapeWait(new QTimer(this)), m_shapeReread(new QTimer(this)),
      m_endCheck(new QTimer(this))
{
    setAutoFillBackground(true);
    m_shapeWait->setInterval(kShapeWaitTickMs);
    m_shapeWait->setTimerType(Qt::PreciseTimer);
    connect(m_shapeWait, &QTimer::timeout, this, &MediaPlayer::settlePictureShape);
    m_shapeReread->setInterval(kShapeRereadMs);
    connect(m_shapeReread, &QTimer::timeout, this, [this] {
        if (const int format = m_frames->format(); format && m_video->aspect(format) > 0.0)
            readPictureShape(format, false);
    });
    m_endCheck->setSingleShot(true);
    m_endCheck->setInterval(kEndCheckMs);
    connect(m_endCheck, &QTimer::timeout, this, &MediaPlayer::judgeEnd);
    connect(m_frames, &VideoFrames::pictureArrived, this, &MediaPlayer::pictureArrived);
    connect(m_tags, &MediaTags::changed, this, &MediaPlayer::showSound);
    m_rejoin->setSchedule(RejoinSchedule::fromEnvironment());
    connect(m_rejoin, &Rejoin::attempt, this, &MediaPlayer::rejoinAttempt);
    connect(m_rejoin, &Rejoin::gaveUp, this, &MediaPlayer::rejoinGaveUp);
    m_positionTick->setInterval(kPositionTickMs);
    connect(m_positionTick, &QTimer::timeout, this, &MediaPlayer::showPosition);
    m_seekPace->setSingleShot(true);
    m_seekPace->setInterval(kSeekPaceMs);
    connect(m_seekPace, &QTimer::timeout, this, [this] {
        if (m_pendingSeek >= 0)
            seek(std::exchange(m_pendingSeek, -1));
    });

    // A click gives the picture the keys and does nothing else.
    m_video->setFocusPolicy(Qt::ClickFocus);
    m_video->installEventFilter(this);
    m_fullScreen->installEventFilter(this);
    m_bar->setVolume(m_volume);
    connect(m_bar, &PlayerBar::playPauseClicked, this, &MediaPlayer::togglePlay);
    connect(m_bar, &PlayerBar::stopClicked, m_controls, &MediaPlayerControls::stop);
    connect(m_bar, &PlayerBar::seekRequested, this, [this](qint64 position) {
        if (m_seekPace->isActive()) {
            m_pendingSeek = position;
            return;
        }
        seek(position);
        m_seekPace->start();
    });
    connect(m_bar, &PlayerBar::volumeMoved, this, &MediaPlayer::setVolume);
    connect(m_bar, &PlayerBar::volumeChosen, this, &MediaPlayer::VolumeChosen);
    connect(m_bar, &PlayerBar::muteClicked, this, [this] {
        setMuted(!m_muted);
        emit VolumeChosen();
    });
    connect(m_bar, &PlayerBar::fullScreenClicked, this, [this] { setFullScreen(!fullScreen()); });
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
    libvlc_event_manager_t *events = libvlc_media_player_event_manager(m_player);
    for (libvlc_event_e type : kPlayerEvents)
        libvlc_event_attach(events, type, &MediaPlayer::vlcCallback, this);
    m_frames->attach(m_player);
}

void MediaPlayer::vlcCallback(const libvlc_event_t *event, void *self)
{
    auto *player = static_cast<MediaPlayer *>(self);
    const int type = event->type;
    const int generation = player->m_generation.load();
    int detail = -1;
    if (type == libvlc_MediaPlayerESAdded) {
        detail = event->u.media_player_es_changed.i_type;
    } else if (type == libvlc_MediaPlayerBuffering) {
        detail = int(event->u.media_player_buffering.new_cache);
    } else if (type == libvlc_MediaPlayerTimeChanged) {
        // Several a second: only while the first sound is awaited.
        if (!player->m_watchTime.load())
            return;
        detail = int(std::clamp<libvlc_time_t>(event->u.media_player_time_changed.new_time, 0, INT_MAX));
    }
    // libVLC's thread: hand over to the window's thread and return at once.
    QMetaObject::invokeMethod(
        player,
        [player, type, detail, generation] {
            if (generation == player->m_generation.load())
                player->handleVlcEvent(type, detail);
        },
        Qt::QueuedConnection);
}

void MediaPlayer::handleVlcEvent(int type, int detail)
{
    switch (type) {
    case libvlc_MediaPlayerOpening:
        m_reachedPlaying = false;
        m_sawPicture = m_hasSound = m_hasVideo = false;
        m_awaitingPlay = true;
        m_watchTime = true;
        m_endCheck->stop();
        // The next entry of a playlist follows the one that ended.
        if (std::exchange(m_liveEnded, false))
            m_video->setStill(QImage(), 0.0);
        clearFailure();
        if (libvlc_media_t *media = libvlc_media_player_get_media(m_player)) {
            m_tags->follow(media);
            libvlc_media_release(media);
        }
        setState(rejoining() ? wmppsReconnecting : wmppsTransitioning);
        break;
    case libvlc_MediaPlayerESAdded:
        m_hasSound |= detail == libvlc_track_audio;
        m_hasVideo |= detail == libvlc_track_video;
        break;
    case libvlc_MediaPlayerBuffering:
        if (m_state != wmppsPlaying && m_state != wmppsPaused && !rejoining())
            setState(wmppsBuffering);
        // libVLC reports 0% as it starts, before it has reached the server.
        if (m_awaitingPlay && !rejoining() && detail > 0)
            setActivity(tr("Buffering %1%").arg(detail));
        // Full, sound alone starts to play; its clock tells so only a quarter second later.
        if (m_awaitingPlay && detail >= 100 && m_hasSound && !m_hasVideo)
            entryPlays(true);
        break;
    case libvlc_MediaPlayerTimeChanged:
        // libVLC 3 tells no first sound: the clock moving on is the sign.
        if (m_awaitingPlay && detail > 0 && (!m_hasVideo || detail >= kPictureLateMs))
            entryPlays(true);
        break;
    case libvlc_MediaPlayerPlaying:
        m_reachedPlaying = true;
        applyVolume();
        m_shapeReread->start();
        // A try to join again has joined only once it shows or sounds.
        if (!rejoining())
            setState(wmppsPlaying);
        break;
    case libvlc_MediaPlayerPaused:
        m_shapeReread->stop();
        setState(wmppsPaused);
        break;
    case libvlc_MediaPlayerStopped:
        clearPicture();
        setState(wmppsStopped);
        break;
    case libvlc_MediaPlayerEndReached:
    case libvlc_MediaPlayerEncounteredError: {
        if (rejoining()) {
            clearPicture();
            m_rejoin->tryFailed();
            return;
        }
        const QString mrl = mediaMrl(m_player);
        m_liveEnded = dropped();
        if (m_liveEnded) {
            // Kept, dimmed, while the stream is joined again.
            double aspect = 0.0;
            const QImage last = m_video->shownNow(&aspect);
            m_video->setStill(last, aspect);
            m_joinMrl = mrl;
        } else {
            m_video->words()->setSound({});
        }
        clearPicture();
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
            if (!m_liveEnded)
                fail();
        } else {
            setState(wmppsMediaEnded);
        }
        // A live stream is joined again, unless another entry of a playlist follows.
        if (m_liveEnded || (type == libvlc_MediaPlayerEndReached && !m_sawPicture && !m_hasSound))
            m_endCheck->start();
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
    updatePlayButton();
    if (state == wmppsPlaying)
        m_positionTick->start();
    else
        m_positionTick->stop();
    showPosition();
    emit PlayStateChange(state);
}

// While a play starts it shows Pause, as for a play.
void MediaPlayer::updatePlayButton()
{
    m_bar->setPlaying(m_state == wmppsPlaying || opening());
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
    clearPicture();
    clearFailure();
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
    m_awaitingPlay = true;
    m_watchTime = true;
    setState(rejoining() ? wmppsReconnecting : wmppsTransitioning);
    libvlc_media_list_player_play(m_listPlayer);
}

void MediaPlayer::setUrl(const QString &url)
{
    m_url = url;
    m_fellBack = false;
    endRejoin();
    m_name = url == m_announced ? m_announcedName : QString();
    m_announced.clear();
    m_video->words()->setSound({});
    if (url.trimmed().isEmpty()) {
        setActivity(QString());
        if (m_listPlayer)
            libvlc_media_list_player_stop(m_listPlayer);
        m_generation = g_nextGeneration++;
        releaseFreedMemory();
        clearPicture();
        clearFailure();
        setState(wmppsStopped);
        return;
    }
    const QString mrl = toMrl(url);
    playMrl(mrl);
    // Stopping what played may have held the window for a while (libVLC stops a transport
    // stream late in its first second): the words wait from here.
    setActivity(connectingWords(mrl));
}

void MediaPlayer::close()
{
    m_announced.clear();
    endRejoin();
    setActivity(QString());
    m_video->words()->setSound({});
    m_tags->follow(nullptr);
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
    clearPicture();
    clearFailure();
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
    m_bar->setVolume(m_volume);
    applyVolume();
}

void MediaPlayer::setMuted(bool muted)
{
    m_muted = muted;
    m_bar->setMuted(muted);
    applyVolume();
}

void MediaPlayer::applyVolume()
{
    if (m_player)
        libvlc_audio_set_volume(m_player, m_muted ? 0 : m_volume);
}

void MediaPlayer::changeVolume(int volume)
{
    setVolume(volume);
    emit VolumeChosen();
}

qint64 MediaPlayer::length() const
{
    const bool open = m_player && (m_state == wmppsPlaying || m_state == wmppsPaused);
    return open ? std::max<qint64>(libvlc_media_player_get_length(m_player), 0) : 0;
}

bool MediaPlayer::seekable() const
{
    return length() > 0 && libvlc_media_player_is_seekable(m_player);
}

void MediaPlayer::seek(qint64 position)
{
    const qint64 total = length();
    if (total <= 0 || !seekable())
        return;
    libvlc_media_player_set_time(m_player, libvlc_time_t(std::clamp<qint64>(position, 0, total - 1)));
    showPosition();
}

void MediaPlayer::showPosition()
{
    const qint64 total = length();
    const qint64 now = total > 0 ? std::max<qint64>(libvlc_media_player_get_time(m_player), 0) : 0;
    m_bar->setPosition(now, total, total > 0 && seekable());
}

void MediaPlayer::togglePlay()
{
    if (m_state == wmppsPlaying || opening())
        m_controls->pause();
    else
        m_controls->play();
}

bool MediaPlayer::fullScreen() const
{
    return m_fullScreen->active();
}

void MediaPlayer::setFullScreen(bool on)
{
    if (on == fullScreen())
        return;
    if (on) {
        m_fullScreen->enter(m_video, barShown() ? m_bar : nullptr, this);
    } else {
        m_fullScreen->leave();
        layoutChildren();
    }
    m_bar->setFullScreen(on);
}

// The player's keys, wherever the picture or the full-screen window has them; true when used.
bool MediaPlayer::handleKey(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & ~Qt::KeypadModifier)
        return false;
    switch (key) {
    case Qt::Key_Space:
        togglePlay();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (seekable()) {
            const qint64 now = std::max<qint64>(libvlc_media_player_get_time(m_player), 0);
            seek(now + (key == Qt::Key_Left ? -kSkipMs : kSkipMs));
        }
        return true;
    case Qt::Key_M:
        setMuted(!m_muted);
        emit VolumeChosen();
        return true;
    case Qt::Key_F11:
        setFullScreen(!fullScreen());
        return true;
    case Qt::Key_Escape:
        if (!fullScreen())
            return false;
        setFullScreen(false);
        return true;
    default:
        return false;
    }
}

bool MediaPlayer::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        return handleKey(key->key(), key->modifiers());
    }
    case QEvent::MouseButtonDblClick:
        if (watched == m_video && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            setFullScreen(!fullScreen());
            return true;
        }
        break;
    case QEvent::Wheel:
        if (watched == m_video) {
            const int notches = static_cast<QWheelEvent *>(event)->angleDelta().y() / 120;
            if (notches)
                changeVolume(m_volume + notches * kWheelVolumeStep);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
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
    // The full-screen window has the picture and the bar meanwhile.
    if (fullScreen())
        return;
    const QRect area = videoArea();
    m_bar->setVisible(barShown());
    m_bar->setGeometry(0, area.height(), width(), height() - area.height());
    m_video->setGeometry(area);
}

void MediaPlayer::pictureArrived()
{
    const int format = m_frames->format();
    m_sawPicture |= format != 0;
    if (format && m_video->aspect(format) <= 0.0 && !m_shapeWait->isActive()) {
        m_shapeDeadline.setRemainingTime(kShapeWaitMs);
        m_shapeWait->start();
    }
    settlePictureShape();
    m_video->update();
}

void MediaPlayer::settlePictureShape()
{
    const int format = m_frames->format();
    if (!format || m_video->aspect(format) > 0.0 || readPictureShape(format, m_shapeDeadline.hasExpired()))
        m_shapeWait->stop();
    // The first picture is on screen once its shape is known.
    if (format && m_awaitingPlay && m_video->aspect(format) > 0.0)
        entryPlays(false);
}

// Stores the shape the track tells for the output's pictures, or with `orSquare` square pixels
// when it tells none (nothing better will come). True when a shape is stored.
bool MediaPlayer::readPictureShape(int format, bool orSquare)
{
    const QSize stored = m_frames->formatSize();
    double aspect = describedPicture(m_player, stored).aspect;
    if (aspect <= 0.0 && orSquare && !stored.isEmpty())
        aspect = double(stored.width()) / stored.height();
    if (aspect <= 0.0)
        return false;
    m_video->setAspect(format, aspect);
    return true;
}

void MediaPlayer::clearPicture()
{
    m_shapeWait->stop();
    m_shapeReread->stop();
    m_frames->clear();
    m_video->clearAspects();
}

bool MediaPlayer::hasPicture()
{
    return m_video->hasPicture();
}

void MediaPlayer::fail(const QString &why)
{
    const QString address = mediaMrl(m_player);
    setActivity(QString());
    m_failure = (why.isEmpty() ? tr("This stream or file cannot be played.") : why) + QLatin1Char('\n') +
                QUrl::fromPercentEncoding(address.toUtf8());
    m_video->setWords(m_failure);
    emit MediaError(address);
}

// An entry that ended without a picture or a sound is a failure, unless the next entry of a
// playlist has opened meanwhile (which stops this check).
void MediaPlayer::judgeEnd()
{
    if (m_liveEnded)
        beginRejoin();
    else if (!m_sawPicture && !m_hasSound)
        fail();
}

void MediaPlayer::clearFailure()
{
    m_endCheck->stop();
    if (m_failure.isEmpty())
        return;
    m_failure.clear();
    m_video->setWords(QString());
}

void MediaPlayer::announce(const QString &address, const QString &name)
{
    // A stream being joined again gives way at once; what plays meanwhile goes on.
    if (rejoining() || m_liveEnded)
        m_controls->stop();
    m_announced = address;
    m_announcedName = name;
    clearFailure();
    setActivity(connectingWords(toMrl(address)));
}

bool MediaPlayer::awaits(const QString &address) const
{
    return !m_announced.isEmpty() && m_announced == address;
}

void MediaPlayer::withdraw()
{
    m_announced.clear();
    // What plays on goes on; a play still starting says so again.
    const bool starting = m_awaitingPlay && (m_state == wmppsTransitioning || m_state == wmppsBuffering);
    setActivity(starting ? connectingWords(toMrl(m_url)) : QString());
}

QString MediaPlayer::activity() const
{
    return m_video->words()->busy();
}

bool MediaPlayer::rejoining() const
{
    return m_rejoin->active();
}

void MediaPlayer::setActivity(const QString &words)
{
    m_video->words()->setBusy(words);
    updatePlayButton();
}

// From the click until the first picture or sound, and while a live stream is joined again.
bool MediaPlayer::opening() const
{
    return !activity().isEmpty() && m_state != wmppsPaused;
}

// The address shows its first picture or plays its first sound: the words go.
void MediaPlayer::entryPlays(bool soundAlone)
{
    m_awaitingPlay = false;
    m_watchTime = false;
    if (rejoining()) {
        m_rejoin->end();
        m_video->setStill(QImage(), 0.0);
        setState(wmppsPlaying);
    }
    setActivity(QString());
    if (soundAlone)
        showSound();
    else
        m_video->words()->setSound({});
}

// For sound alone: the cover and the titles, again whenever the medium tells new ones.
void MediaPlayer::showSound()
{
    if (m_awaitingPlay || m_sawPicture || !m_tags->followed())
        return;
    const SoundLines lines = soundLines(m_name, m_tags->read());
    m_video->words()->setSound({m_tags->cover(), lines.first, lines.second});
}

// A live stream (no length) that showed or sounded and then ended or failed.
bool MediaPlayer::dropped() const
{
    return m_player && !m_awaitingPlay && libvlc_media_player_get_length(m_player) <= 0 &&
           !QUrl(mediaMrl(m_player)).isLocalFile();
}

void MediaPlayer::beginRejoin()
{
    m_liveEnded = false;
    m_rejoin->begin();
    setState(wmppsReconnecting);
    setActivity(tr("Reconnecting\u2026 (try %1)").arg(1));
}

// No more tries; the player stops any under way itself.
void MediaPlayer::endRejoin()
{
    if (!rejoining() && !m_liveEnded)
        return;
    m_rejoin->end();
    m_liveEnded = false;
    m_endCheck->stop();
    m_video->setStill(QImage(), 0.0);
    setActivity(QString());
}

void MediaPlayer::rejoinAttempt(int number)
{
    setActivity(tr("Reconnecting\u2026 (try %1)").arg(number));
    // The same address again, straight to libVLC.
    playMrl(m_joinMrl);
}

void MediaPlayer::rejoinGaveUp()
{
    if (m_listPlayer)
        libvlc_media_list_player_stop(m_listPlayer);
    m_generation = g_nextGeneration++;
    releaseFreedMemory();
    clearPicture();
    m_video->setStill(QImage(), 0.0);
    m_video->words()->setSound({});
    setState(wmppsReady);
    fail(tr("The connection to this channel was lost."));
}

void MediaPlayer::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Another pane takes the area; a window merely minimised keeps it. A live stream is not
    // joined again behind it.
    if (!event->spontaneous()) {
        clearFailure();
        setFullScreen(false);
        if (rejoining() || m_liveEnded)
            m_controls->stop();
    }
}

void MediaPlayer::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutChildren();
}

} // namespace ui
