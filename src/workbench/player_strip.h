#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace tavrin {

class Desktop;
class MediaPlayer;
class PassageLoop;
class PlayerControls;
class TimeMarkController;
class TimeMarkWatcher;
class WaveformBuilder;

// The player's strip: its control bar and the player bound both ways, as
// intents one way and state the other; the transcript's marks as ticks on the
// seek bar; each recording's waveform; the passage loop's ends. The player's
// own failures are told from here.
class PlayerStrip : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QWidget* owner = nullptr; // of the messages
        PlayerControls* controls = nullptr;
    };
    struct Engines {
        MediaPlayer& player;
        TimeMarkWatcher& marks;        // of the transcript, shown as ticks
        TimeMarkController& timeMarks; // a tick clicked goes to its mark
        PassageLoop& loop;
        Desktop& desktop;
    };

    // Waveforms are kept in `waveformCacheFolder`; empty: the user's cache folder.
    PlayerStrip(const Widgets& widgets, const Engines& engines, const QString& waveformCacheFolder);

    WaveformBuilder& waveforms() { return *waveforms_; }

    // The waveform of `recording`, now opened, computed away from the window's
    // thread; the plain bar until it comes, and for good when FFmpeg cannot read it.
    void showWaveformOf(const QString& recording);

private:
    void connectRequests();
    void connectState();
    void showMarks();
    void showWaveforms();
    void tellFailures();

    Widgets widgets_;
    Engines engines_;
    WaveformBuilder* waveforms_;
};

} // namespace tavrin
