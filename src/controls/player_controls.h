#pragma once

#include <QList>
#include <QWidget>

#include <optional>

class QColor;
class QLabel;
class QSlider;
class QToolButton;

namespace tavrin {

class Envelope;
class SeekBar;

// The player's own control bar: play, pause, stop, a seek bar with the time,
// mute and volume. It holds no player: it shows what it is told and emits
// what the user asks for, and the window connects both sides to the player.
class PlayerControls : public QWidget {
    Q_OBJECT
public:
    explicit PlayerControls(QWidget* parent = nullptr);

    void setDuration(double seconds);
    void setPosition(double seconds);
    void setPaused(bool paused);
    void setVolume(int volume);
    void setMuted(bool muted);
    // The passage loop's ends in seconds; nullopt: not set.
    void setLoopEnds(std::optional<double> start, std::optional<double> end);
    // The transcript's time marks, in seconds, as ticks on the seek bar.
    void setMarkTicks(const QList<int>& seconds);
    // The recording's loudness along the seek bar; an empty one: the plain bar.
    void setEnvelope(const Envelope& envelope);

Q_SIGNALS:
    void playRequested();
    void pauseRequested();
    void stopRequested();
    void seekRequested(double seconds);
    void volumeRequested(int volume);
    void muteRequested(bool muted);
    // A mark's tick was clicked.
    void markPicked(int seconds);

protected:
    void changeEvent(QEvent* event) override;

private:
    QColor iconColour() const;
    void drawIcons();
    void showTime();

    QToolButton* play_;
    QToolButton* pause_;
    QToolButton* stop_;
    SeekBar* seek_;
    QLabel* time_;
    QToolButton* mute_;
    QSlider* volume_;
    double duration_ = 0.0;
    double position_ = 0.0;
};

} // namespace tavrin
