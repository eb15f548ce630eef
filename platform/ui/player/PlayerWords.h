// What the player says over its area: what it is doing while a play starts or a live stream is
// joined again (with a turning sign that shows the program is alive), why it cannot play, and,
// for sound alone, the cover and the titles. One painter draws all of it inside the picture's
// widget, so it goes wherever the picture goes, full screen included.
#pragma once

#include <QImage>
#include <QObject>
#include <QString>

class QPainter;
class QTimer;
class QWidget;

namespace ui
{

// For sound alone: a cover (null for none) and two lines under it.
struct SoundCard {
    QImage cover;
    QString title;
    QString detail;
    bool isEmpty() const { return cover.isNull() && title.isEmpty() && detail.isEmpty(); }
};

class PlayerWords : public QObject
{
    Q_OBJECT

public:
    // How long words of what the player does wait before they show: a play that starts
    // sooner shows none, so a quick channel does not flash them on every click.
    static constexpr int kShowDelayMs = 300;

    // Draws in `view` and repaints it whenever what it says changes.
    explicit PlayerWords(QWidget *view);

    // What the player is doing ("Connecting to host…"); empty when nothing. Words that follow
    // others show at once; the first wait kShowDelayMs.
    void setBusy(const QString &words);
    QString busy() const { return m_busy; }
    // Whether the busy words are on screen now.
    bool busyShown() const;
    // Why nothing plays: a first line and, after a line break, a detail (the address), which is
    // cut in the middle to fit. Empty for none.
    void setFailure(const QString &words);
    QString failure() const { return m_failure; }
    void setSound(const SoundCard &card);
    const SoundCard &sound() const { return m_sound; }

    // Over `area`, after the picture (when `overPicture`) or black has been drawn there: the
    // sound card where no picture is, then dimmed under the busy words, or the failure.
    void paint(QPainter &painter, const QRect &area, bool overPicture) const;

private:
    void paintSound(QPainter &painter, const QRect &area) const;
    void paintBusy(QPainter &painter, const QRect &area) const;
    void paintFailure(QPainter &painter, const QRect &area) const;
    void update();

    QWidget *m_view;
    QString m_busy;
    QString m_failure;
    SoundCard m_sound;
    // Runs from the first busy words until they show.
    QTimer *m_showTimer;
    // Turns the sign while the busy words show.
    QTimer *m_turnTimer;
    int m_turn = 0;
};

} // namespace ui
