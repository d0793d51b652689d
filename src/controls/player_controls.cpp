#include "controls/player_controls.h"

#include "controls/media_icons.h"
#include "controls/seek_bar.h"
#include "transcript/time_text.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include <cmath>

namespace tavrin {

namespace {

constexpr double kTicksPerSecond = SeekBar::kUnitsPerSecond;

QToolButton* makeButton(QWidget* parent, const QString& name)
{
    auto* button = new QToolButton(parent);
    button->setToolTip(name);
    button->setAccessibleName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

} // namespace

PlayerControls::PlayerControls(QWidget* parent)
    : QWidget(parent)
    , play_(makeButton(this, QStringLiteral("播放")))
    , pause_(makeButton(this, QStringLiteral("暂停")))
    , stop_(makeButton(this, QStringLiteral("停止")))
    , seek_(new SeekBar(this))
    , time_(new QLabel(this))
    , mute_(makeButton(this, QStringLiteral("静音")))
    , volume_(new QSlider(Qt::Horizontal, this))
{
    seek_->setAccessibleName(QStringLiteral("播放进度"));
    seek_->setRange(0, 0);
    seek_->setFocusPolicy(Qt::StrongFocus);
    volume_->setAccessibleName(QStringLiteral("音量"));
    volume_->setRange(0, 100);
    volume_->setValue(50);
    volume_->setFixedWidth(80);
    volume_->setFocusPolicy(Qt::StrongFocus);
    mute_->setCheckable(true);
    drawIcons();
    time_->setMinimumWidth(110);
    time_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* row = new QHBoxLayout(this);
    // The top edge stays free: the window lays its position strip over it.
    row->setContentsMargins(4, 16, 6, 2);
    row->setSpacing(2);
    row->addWidget(play_);
    row->addWidget(pause_);
    row->addWidget(stop_);
    row->addWidget(seek_, 1);
    row->addWidget(time_);
    row->addSpacing(8);
    row->addWidget(mute_);
    row->addWidget(volume_);

    connect(play_, &QToolButton::clicked, this, &PlayerControls::playRequested);
    connect(pause_, &QToolButton::clicked, this, &PlayerControls::pauseRequested);
    connect(stop_, &QToolButton::clicked, this, &PlayerControls::stopRequested);
    connect(seek_, &QSlider::sliderMoved, this, [this](int ticks) {
        position_ = ticks / kTicksPerSecond;
        showTime();
    });
    // A drag seeks once, when the bar is let go; a click or a key seeks at once.
    connect(seek_, &QSlider::sliderReleased, this, [this] { Q_EMIT seekRequested(seek_->value() / kTicksPerSecond); });
    connect(seek_, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            Q_EMIT seekRequested(seek_->sliderPosition() / kTicksPerSecond);
    });
    connect(seek_, &SeekBar::markPicked, this, &PlayerControls::markPicked);
    connect(volume_, &QSlider::valueChanged, this, &PlayerControls::volumeRequested);
    connect(mute_, &QToolButton::toggled, this, &PlayerControls::muteRequested);
    showTime();
}

void PlayerControls::setDuration(double seconds)
{
    duration_ = seconds;
    seek_->setRange(0, int(std::lround(seconds * kTicksPerSecond)));
    showTime();
}

void PlayerControls::setPosition(double seconds)
{
    if (seek_->isSliderDown())
        return;
    position_ = seconds;
    const QSignalBlocker quiet(seek_);
    seek_->setValue(int(std::lround(seconds * kTicksPerSecond)));
    showTime();
}

void PlayerControls::setPaused(bool paused)
{
    play_->setEnabled(paused);
    pause_->setEnabled(!paused);
}

void PlayerControls::setVolume(int volume)
{
    const QSignalBlocker quiet(volume_);
    volume_->setValue(volume);
}

void PlayerControls::setMuted(bool muted)
{
    const QSignalBlocker quiet(mute_);
    mute_->setChecked(muted);
    mute_->setIcon(mediaIcon(muted ? MediaIcon::Muted : MediaIcon::Volume, iconColour()));
}

void PlayerControls::setLoopEnds(std::optional<double> start, std::optional<double> end)
{
    auto ticks = [](std::optional<double> seconds) -> std::optional<int> {
        if (!seconds)
            return std::nullopt;
        return int(std::lround(*seconds * kTicksPerSecond));
    };
    seek_->setLoopEnds(ticks(start), ticks(end));
    QString description;
    if (start && end)
        description = QStringLiteral("循环播放 %1 至 %2").arg(playerTimeText(*start), playerTimeText(*end));
    else if (start)
        description = QStringLiteral("循环起点 %1").arg(playerTimeText(*start));
    seek_->setAccessibleDescription(description);
}

void PlayerControls::setMarkTicks(const QList<int>& seconds)
{
    seek_->setMarkTicks(seconds);
}

void PlayerControls::setEnvelope(const Envelope& envelope)
{
    seek_->setEnvelope(envelope);
}

void PlayerControls::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        drawIcons();
}

QColor PlayerControls::iconColour() const
{
    return palette().color(QPalette::ButtonText);
}

void PlayerControls::drawIcons()
{
    const QColor colour = iconColour();
    play_->setIcon(mediaIcon(MediaIcon::Play, colour));
    pause_->setIcon(mediaIcon(MediaIcon::Pause, colour));
    stop_->setIcon(mediaIcon(MediaIcon::Stop, colour));
    mute_->setIcon(mediaIcon(mute_->isChecked() ? MediaIcon::Muted : MediaIcon::Volume, colour));
}

void PlayerControls::showTime()
{
    time_->setText(playerTimeText(position_) + QStringLiteral(" / ") + playerTimeText(duration_));
}

} // namespace tavrin
