// The player's control bar: play/pause, stop, where the media is and how long it lasts, mute,
// volume and full screen. It shows what the player tells it and asks the player for changes.
#pragma once

#include <QSlider>
#include <QWidget>

class QLabel;
class QToolButton;

namespace ui
{

// A slider that a click moves to the place clicked (not by a page), ready to be dragged on.
class JumpSlider : public QSlider
{
    Q_OBJECT

public:
    explicit JumpSlider(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};

class PlayerBar : public QWidget
{
    Q_OBJECT

public:
    explicit PlayerBar(QWidget *parent = nullptr);

    void setPlaying(bool playing);
    // Milliseconds; a length of 0 or less (a live stream) shows neither the position nor a time.
    void setPosition(qint64 position, qint64 length, bool seekable);
    void setVolume(int volume);
    void setMuted(bool muted);
    void setFullScreen(bool on);
    // Whether the user holds the position slider: the player does not move it meanwhile.
    bool seeking() const;

    // "0:12 / 1:00"; past an hour both as "1:02:03 / 2:00:00".
    static QString timeText(qint64 position, qint64 length);

signals:
    void playPauseClicked();
    void stopClicked();
    // Milliseconds into the media, as the user chose with the position slider.
    void seekRequested(qint64 position);
    void volumeMoved(int volume);
    // The user let go of the volume slider.
    void volumeChosen();
    void muteClicked();
    void fullScreenClicked();

private:
    QToolButton *m_play;
    QToolButton *m_stop;
    JumpSlider *m_position;
    QLabel *m_time;
    // Takes the position's width when there is none, so the right-hand controls stay right.
    QWidget *m_gap;
    QToolButton *m_mute;
    JumpSlider *m_volume;
    QToolButton *m_fullScreen;
    bool m_updating = false;
};

} // namespace ui
