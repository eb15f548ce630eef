#include "platform/ui/player/PlayerBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolButton>

namespace ui
{

JumpSlider::JumpSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    // The picture keeps the keys: Left and Right move in the media, not this slider.
    setFocusPolicy(Qt::NoFocus);
}

void JumpSlider::mousePressEvent(QMouseEvent *event)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    if (event->button() == Qt::LeftButton && !handle.contains(event->position().toPoint())) {
        const QRect groove =
            style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const int half = handle.width() / 2;
        const int value = QStyle::sliderValueFromPosition(minimum(), maximum(),
                                                          event->position().toPoint().x() - groove.x() - half,
                                                          groove.width() - handle.width(), option.upsideDown);
        // The handle is under the pointer now: the press below starts a drag from there.
        setValue(value);
    }
    QSlider::mousePressEvent(event);
}

PlayerBar::PlayerBar(QWidget *parent)
    : QWidget(parent), m_play(new QToolButton(this)), m_stop(new QToolButton(this)),
      m_position(new JumpSlider(this)), m_time(new QLabel(this)), m_gap(new QWidget(this)),
      m_mute(new QToolButton(this)), m_volume(new JumpSlider(this)), m_fullScreen(new QToolButton(this))
{
    setObjectName(QStringLiteral("bar"));
    setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    m_play->setObjectName(QStringLiteral("play"));
    m_play->setToolTip(tr("Play/Pause"));
    m_stop->setObjectName(QStringLiteral("stop"));
    m_stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    m_stop->setToolTip(tr("Stop"));
    m_position->setObjectName(QStringLiteral("position"));
    m_position->setToolTip(tr("Position"));
    m_position->setSingleStep(1000);
    m_position->setPageStep(10000);
    m_time->setObjectName(QStringLiteral("time"));
    m_gap->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_mute->setObjectName(QStringLiteral("mute"));
    m_volume->setObjectName(QStringLiteral("volume"));
    m_volume->setRange(0, 100);
    m_volume->setMaximumWidth(100);
    m_volume->setToolTip(tr("Volume"));
    m_fullScreen->setObjectName(QStringLiteral("fullScreen"));
    for (QToolButton *button : {m_play, m_stop, m_mute, m_fullScreen})
        button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_play);
    layout->addWidget(m_stop);
    layout->addWidget(m_position, 1);
    layout->addWidget(m_time);
    layout->addWidget(m_gap, 1);
    layout->addWidget(m_mute);
    layout->addWidget(m_volume);
    layout->addWidget(m_fullScreen);
    setPlaying(false);
    setMuted(false);
    setFullScreen(false);
    setPosition(0, 0, false);

    connect(m_play, &QToolButton::clicked, this, &PlayerBar::playPauseClicked);
    connect(m_stop, &QToolButton::clicked, this, &PlayerBar::stopClicked);
    connect(m_mute, &QToolButton::clicked, this, &PlayerBar::muteClicked);
    connect(m_fullScreen, &QToolButton::clicked, this, &PlayerBar::fullScreenClicked);
    connect(m_position, &QSlider::valueChanged, this, [this](int value) {
        if (!m_updating)
            emit seekRequested(value);
    });
    connect(m_volume, &QSlider::valueChanged, this, [this](int value) {
        if (!m_updating)
            emit volumeMoved(value);
    });
    connect(m_volume, &QSlider::sliderReleased, this, &PlayerBar::volumeChosen);
    // Nothing else moves it without holding it but the wheel, whose step lands after this.
    connect(m_volume, &QSlider::actionTriggered, this, [this] {
        if (!m_volume->isSliderDown())
            QMetaObject::invokeMethod(this, &PlayerBar::volumeChosen, Qt::QueuedConnection);
    });
}

void PlayerBar::setPlaying(bool playing)
{
    m_play->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

void PlayerBar::setPosition(qint64 position, qint64 length, bool seekable)
{
    const bool known = length > 0;
    m_position->setVisible(known);
    m_time->setVisible(known);
    m_gap->setVisible(!known);
    m_position->setEnabled(seekable);
    if (!known || seeking())
        return;
    m_updating = true;
    m_position->setRange(0, int(std::min<qint64>(length, INT_MAX)));
    m_position->setValue(int(std::clamp<qint64>(position, 0, length)));
    m_updating = false;
    m_time->setText(timeText(position, length));
}

bool PlayerBar::seeking() const
{
    return m_position->isSliderDown();
}

void PlayerBar::setVolume(int volume)
{
    m_updating = true;
    m_volume->setValue(volume);
    m_updating = false;
}

void PlayerBar::setMuted(bool muted)
{
    m_mute->setIcon(style()->standardIcon(muted ? QStyle::SP_MediaVolumeMuted : QStyle::SP_MediaVolume));
    m_mute->setToolTip(muted ? tr("Sound on (M)") : tr("Mute (M)"));
    m_mute->setProperty("muted", muted);
}

void PlayerBar::setFullScreen(bool on)
{
    m_fullScreen->setIcon(
        style()->standardIcon(on ? QStyle::SP_TitleBarNormalButton : QStyle::SP_TitleBarMaxButton));
    m_fullScreen->setToolTip(on ? tr("Leave full screen (Esc)") : tr("Full screen (F11)"));
}

QString PlayerBar::timeText(qint64 position, qint64 length)
{
    const bool hours = length >= 3600 * 1000;
    const auto text = [hours](qint64 ms) {
        const qint64 s = std::max<qint64>(ms, 0) / 1000;
        if (hours)
            return QStringLiteral("%1:%2:%3")
                .arg(s / 3600)
                .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                .arg(s % 60, 2, 10, QLatin1Char('0'));
        return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    };
    return text(position) + QStringLiteral(" / ") + text(length);
}

} // namespace ui
