// Playing a clicked channel after its availability probe, and the offline picture.
#include "mainwindow/Form1.h"

#include "mainwindow/modStreamProbe.h"
#include "platform/ui/WindowGuard.h"
#include "services/modSettings.h"

#include <QKeyEvent>

void Form1::connectPlaybackEvents()
{
    connect(WindowsMediaPlayer1, &ui::MediaPlayer::PlayStateChange, this,
            &Form1::WindowsMediaPlayer1_PlayStateChange);
    connect(WindowsMediaPlayer1, &ui::MediaPlayer::VolumeChosen, this,
            &Form1::WindowsMediaPlayer1_VolumeChosen);
    // A first run keeps the player's own volume, with the sound on.
    bool ok = false;
    const int volume = GetProgramSetting(QStringLiteral("Volume")).toInt(&ok);
    if (ok)
        WindowsMediaPlayer1->setVolume(volume);
    WindowsMediaPlayer1->setMuted(GetProgramSetting(QStringLiteral("Mute"), QStringLiteral("0")) ==
                                  QLatin1String("1"));
}

void Form1::WindowsMediaPlayer1_VolumeChosen()
{
    SaveProgramSetting(QStringLiteral("Volume"), QString::number(WindowsMediaPlayer1->volume()));
    SaveProgramSetting(QStringLiteral("Mute"),
                       WindowsMediaPlayer1->muted() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    // The video site's pane has a full-screen button of its own.
    if (event->key() == Qt::Key_F11 && event->modifiers() == Qt::NoModifier &&
        WindowsMediaPlayer1->isVisible()) {
        WindowsMediaPlayer1->setFullScreen(!WindowsMediaPlayer1->fullScreen());
        return;
    }
    ui::Form::keyPressEvent(event);
}

void Form1::ListView1_Click()
{
    ui::ListItem *item = ListView1->SelectedItem();
    if (!item)
        return;
    imgOffline->setVisible(false);
    if (blnAdmin) {
        txtEditName->setText(item->Text());
        cmbEditCateogy->setText(item->SubItems(1));
        txtEditType->setText(item->SubItems(2));
        txtEditURL->setText(item->SubItems(3));
    }
    if (chkLoad->Value() == ui::vbChecked)
        return;

    playIfOnline(item->Tag(), item->Text());
}

void Form1::playIfOnline(const QString &url, const QString &name)
{
    // The probe lets other events run: a newer click takes this one's place, and the window
    // may be unloaded before it returns. Meanwhile the player says that it connects, and Stop
    // there cancels this play.
    const ui::WindowGuard guard = ui::WindowGuard::newTicket(this, m_probeTicket);
    WindowsMediaPlayer1->announce(url, name);
    const StreamProbeBounds bounds = channelProbeBounds();
    const StreamProbe probe = ProbeStreamUrl(url, bounds.maxBytes, bounds.maxMs, bounds.graceMs, guard);
    if (!guard.alive() || probe.givenUp || !WindowsMediaPlayer1->awaits(url))
        return;
    // Error words count even in a reply the bound cut; without any, a reply that keeps
    // coming is a stream that plays.
    if (isStreamOnline(QString::fromLatin1(probe.reply))) {
        playUrl(url);
    } else {
        // The user may have left for the video site's pane meanwhile: no card over it. The
        // card speaks of this channel; words of an earlier one that failed go.
        imgOffline->setVisible(!WindowsMediaPlayer1->isHidden());
        WindowsMediaPlayer1->clearFailure();
        WindowsMediaPlayer1->withdraw();
    }
}

// The offline picture speaks of a channel that failed its probe; whatever starts to play or
// takes the player's place afterwards must not sit under it.
void Form1::playUrl(const QString &url)
{
    imgOffline->setVisible(false);
    WindowsMediaPlayer1->setUrl(url);
}

void Form1::showPlayer(bool shown)
{
    WindowsMediaPlayer1->setVisible(shown);
    wbyoutube->setVisible(!shown);
    if (!shown)
        imgOffline->setVisible(false);
}

void Form1::WindowsMediaPlayer1_PlayStateChange(int NewState)
{
    // Out of Stop or Pause into play is the player's own Play button. What was playing
    // already goes from opening through buffering to playing by itself, and a playlist goes
    // from one entry's end to the next one's opening: neither is a new start.
    const bool resting =
        m_playState == ui::MediaPlayer::wmppsStopped || m_playState == ui::MediaPlayer::wmppsPaused;
    const bool starting = NewState == ui::MediaPlayer::wmppsTransitioning ||
                          NewState == ui::MediaPlayer::wmppsBuffering ||
                          NewState == ui::MediaPlayer::wmppsPlaying;
    m_playState = NewState;
    if (resting && starting)
        imgOffline->setVisible(false);
}

bool Form1::isStreamOnline(const QString &probe)
{
    static const char *const errorWords[] = {
        "[Reference]", "Not Available", "404", "Has Moved", "Error", "Not Found", "No web site is configured",
    };
    for (const char *word : errorWords) {
        if (probe.contains(QLatin1String(word), Qt::CaseInsensitive))
            return false;
    }
    return true;
}

void Form1::imgOffline_Click()
{
    imgOffline->setVisible(false);
}
