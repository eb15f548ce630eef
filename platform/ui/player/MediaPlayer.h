// The media player control: libVLC decoding, the player drawing the pictures, with the
// properties the windows use (URL, controls, close) and an optional mini control bar.
#pragma once

#include "platform/ui/ControlProperties.h"
#include "platform/ui/player/VideoFrames.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <atomic>

class QTimer;
struct libvlc_instance_t;
struct libvlc_media_player_t;
struct libvlc_media_list_player_t;
struct libvlc_media_list_t;
struct libvlc_event_t;

namespace ui
{

class FullScreen;
class MediaPlayer;
class MediaTags;
class PlayerBar;
class Rejoin;
class VideoView;

// Call first in main(), before any thread starts: keeps the memory that decoder threads free
// from piling up in glibc's arenas.
void prepareMediaMemory();

// The player's `controls` object.
class MediaPlayerControls : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double currentPosition READ currentPosition WRITE setCurrentPosition)

public:
    explicit MediaPlayerControls(MediaPlayer *player);

    Q_INVOKABLE void play();
    Q_INVOKABLE void pause();
    Q_INVOKABLE void stop();
    // Seconds.
    double currentPosition() const;
    void setCurrentPosition(double seconds);

private:
    MediaPlayer *m_player;
};

class MediaPlayer : public QWidget
{
    Q_OBJECT
    UI_CONTROL("WindowsMediaPlayer")
    Q_PROPERTY(QString URL READ url WRITE setUrl)
    Q_PROPERTY(QString uiMode READ uiMode WRITE setUiMode)
    Q_PROPERTY(int playState READ playState NOTIFY PlayStateChange)
    Q_PROPERTY(int volume READ volume WRITE setVolume)
    Q_PROPERTY(bool mute READ muted WRITE setMuted)
    Q_PROPERTY(bool stretchToFit READ stretchToFit WRITE setStretchToFit)

public:
    // Play states, numbered as the original reports them.
    enum PlayState {
        wmppsUndefined = 0,
        wmppsStopped = 1,
        wmppsPaused = 2,
        wmppsPlaying = 3,
        wmppsBuffering = 6,
        wmppsMediaEnded = 8,
        wmppsTransitioning = 9,
        wmppsReady = 10,
        wmppsReconnecting = 11,
    };

    Q_INVOKABLE explicit MediaPlayer(QWidget *parent = nullptr);
    ~MediaPlayer() override;

    QString url() const { return m_url; }
    // Starts playback of a stream address, a playlist (ASX/WAX/WVX/PLS/M3U, "[Reference]")
    // or a local path; the empty text stops.
    void setUrl(const QString &url);
    // "mini" and "full" show the control bar; "none" and "invisible" hide it.
    QString uiMode() const { return m_uiMode; }
    void setUiMode(const QString &mode);
    int playState() const { return m_state; }
    // Seconds into the current item.
    double currentPosition() const;
    MediaPlayerControls *controls() const { return m_controls; }
    // Stops and releases the current media; URL becomes empty.
    Q_INVOKABLE void close();
    // 0 to 100.
    int volume() const { return m_volume; }
    void setVolume(int volume);
    bool muted() const { return m_muted; }
    void setMuted(bool muted);
    // Milliseconds the current item lasts; 0 when not known (a live stream).
    qint64 length() const;
    bool seekable() const;
    // Milliseconds into the current item, within its length.
    void seek(qint64 position);

    // The picture, with the bar over its bottom edge, fills the screen that holds the window;
    // the play goes on into the same pictures.
    bool fullScreen() const;
    void setFullScreen(bool on);
    bool stretchToFit() const { return m_stretch; }
    void setStretchToFit(bool on) { m_stretch = on; }

    // The address libVLC is playing now (an entry of a playlist, or a fallback address).
    QString currentMrl() const;
    // True when libVLC runs without sound output (tests).
    static bool headless();
    // Whether the video area shows a picture now (black otherwise).
    bool hasPicture();
    // What the video area says when the current address could not be played; empty otherwise.
    QString failure() const { return m_failure; }
    // Takes those words away: something else takes the area.
    void clearFailure();

    // The main window looks an address up before it hands it over: meanwhile the area says so.
    // `name` is what the user clicked, shown for sound alone once the address plays.
    void announce(const QString &address, const QString &name);
    // Whether that address is still awaited: Stop, close() and another address end the wait.
    bool awaits(const QString &address) const;
    // The announced address will not come (its look-up failed): its words go.
    void withdraw();
    // What the area says the player is doing (connecting, buffering, re-joining); empty when
    // nothing.
    QString activity() const;
    // Whether a live stream that dropped is being joined again.
    bool rejoining() const;
    Rejoin *rejoin() const { return m_rejoin; }

signals:
    void PlayStateChange(int NewState);
    // libVLC could not play the address (after any fallback); the text names it.
    void MediaError(const QString &address);
    // The user chose a volume or toggled mute (the slider let go, the wheel, the button, M).
    void VolumeChosen();

protected:
    void resizeEvent(QResizeEvent *event) override;
    // The keys, the wheel and the double-click of the picture and of the full-screen window.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    friend class MediaPlayerControls;
    void ensurePlayer();
    void playMrl(const QString &mrl);
    // detail: the kind of track an added stream is (ESAdded), the percentage buffered
    // (Buffering), the milliseconds played (TimeChanged).
    void handleVlcEvent(int type, int detail);
    void pictureArrived();
    void settlePictureShape();
    bool readPictureShape(int format, bool orSquare);
    void clearPicture();
    // `why` replaces the words that the address cannot be played.
    void fail(const QString &why = QString());
    void judgeEnd();
    // Words and state of a play that is starting, joined again, or has begun to play.
    void setActivity(const QString &words);
    bool opening() const;
    void entryPlays(bool soundAlone);
    void showSound();
    bool dropped() const;
    void beginRejoin();
    void endRejoin();
    void rejoinAttempt(int number);
    void rejoinGaveUp();
    void updatePlayButton();
    bool barShown() const;
    QRect videoArea() const;
    void setState(int state);
    void togglePlay();
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    void changeVolume(int volume);
    void showPosition();
    // The volume libVLC plays at: none while muted.
    void applyVolume();
    void layoutChildren();
    static void vlcCallback(const libvlc_event_t *event, void *self);

    QString m_url;
    QString m_uiMode = QStringLiteral("full");
    int m_state = wmppsUndefined;
    int m_volume = 50;
    bool m_muted = false;
    bool m_stretch = false;
    bool m_fellBack = false;
    bool m_reachedPlaying = false;
    // Whether the current entry showed a picture or had sound to play.
    bool m_sawPicture = false;
    bool m_hasSound = false;
    bool m_hasVideo = false;
    // From an address (or a playlist's entry) until it shows a picture or plays sound.
    bool m_awaitingPlay = false;
    // Whether libVLC's clock reports are wanted (while awaiting the first sound).
    std::atomic<bool> m_watchTime{false};
    // A live stream that played has ended; joined again unless another entry follows.
    bool m_liveEnded = false;
    QString m_joinMrl;
    // The name the user clicked for the address played, and for the one announced.
    QString m_name;
    QString m_announced;
    QString m_announcedName;
    QString m_failure;
    // Bumped with every new address; reports of older ones are dropped.
    std::atomic<int> m_generation{0};
    MediaPlayerControls *m_controls;
    VideoFrames *m_frames;
    VideoView *m_video;
    MediaTags *m_tags;
    Rejoin *m_rejoin;
    PlayerBar *m_bar;
    FullScreen *m_fullScreen;
    // Moves the position slider and the time while playing.
    QTimer *m_positionTick;
    // While the user drags the position, a seek at most this often; the last one always.
    QTimer *m_seekPace;
    qint64 m_pendingSeek = -1;
    libvlc_media_player_t *m_player = nullptr;
    libvlc_media_list_player_t *m_listPlayer = nullptr;
    libvlc_media_list_t *m_list = nullptr;
    // Polls the track for the shape of a new picture size, which is not drawn until then.
    QTimer *m_shapeWait;
    QDeadlineTimer m_shapeDeadline;
    // Reads it again while playing: a change of pixel shape alone keeps the output open.
    QTimer *m_shapeReread;
    // An entry that ended with nothing to see or hear failed, unless another one follows.
    QTimer *m_endCheck;
};

} // namespace ui
