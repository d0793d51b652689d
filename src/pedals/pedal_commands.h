#pragma once

#include "settings/pedal_options.h"

#include <QObject>
#include <QTimer>

#include <array>
#include <functional>

namespace tavrin {

// What the pedals ask of the program: the same commands the keys and buttons run.
struct PedalActions {
    std::function<void()> playPause;
    std::function<void()> stepBack;
    std::function<void()> stepForward;
    std::function<void()> previousPassage;
    std::function<void()> nextPassage;
    std::function<bool()> isPlaying;
    // Runs a command the way the window runs a key's, telling the user of its failure.
    std::function<void(const std::function<void()>&)> run;
    // While true (a message or dialog waits for an answer), pedal presses are ignored.
    std::function<bool()> blocked;
};

// Turns pedal presses and releases into commands, as the roles and the play
// mode say. Several pedals of one role count together: hold-to-play pauses when
// the last one held is let go, and a step repeats while any is held.
class PedalCommands : public QObject {
    Q_OBJECT

public:
    static constexpr int kRepeatMs = 400;

    explicit PedalCommands(PedalActions actions, QObject* parent = nullptr);

    void setOptions(const PedalOptions& options);

    // `pedal` counts from the left, 0 to kPedalCount - 1.
    void press(int pedal);
    void release(int pedal);

private:
    struct Stepping {
        int held = 0;
        QTimer repeat;
    };

    PedalRole roleOf(int pedal) const;
    // Runs `command`; false when it failed and the user was told.
    bool run(const std::function<void()>& command);
    void pressPlay();
    void releasePlay();
    void pressStep(Stepping& stepping, const std::function<void()>& step);
    void repeatStep(Stepping& stepping, const std::function<void()>& step);
    void releaseStep(Stepping& stepping);

    PedalActions actions_;
    PedalOptions options_;
    // What each pedal was pressed as: a role changed while held is let go as it was pressed.
    std::array<PedalRole, kPedalCount> pressedAs_{};
    std::array<bool, kPedalCount> down_{};
    int playHeld_ = 0;
    Stepping back_;
    Stepping forward_;
};

} // namespace tavrin
