#pragma once

#include "desktop/plain_message.h"

#include <QObject>

#include <optional>

namespace tavrin {

class MediaPlayer;

// A loop shorter than this is a slip of the finger, not a passage to hear again.
inline constexpr double kShortestLoopSeconds = 0.5;

// What one press of the loop key does: the first marks the start at the
// position, the second sets the loop from there to the position, the third
// ends it. Too short a loop is refused and the start stays marked.
enum class LoopKeyAction {
    MarkStart,
    SetLoop,
    RefuseTooShort,
    EndLoop
};
LoopKeyAction decideLoopKey(std::optional<double> markedStart, bool looping, double position);

// The loop key's command (F7 in the editor) and the loop's two ends as the seek
// bar shows them. The loop itself is the player's.
class PassageLoop : public QObject {
    Q_OBJECT
public:
    PassageLoop(MediaPlayer& player, ShowPlainMessage showMessage, QObject* parent = nullptr);

    void press();
    // The loop key of a passage (F6): plays from `start` to `end` (none: the
    // recording's end) over and over, or ends the loop going on. A passage that
    // is too short, or that begins at the recording's end, is refused.
    void pressForPassage(double start, std::optional<double> end);

    std::optional<double> start() const;
    std::optional<double> end() const;

Q_SIGNALS:
    void endsChanged();

private:
    void setLoopTo(double position);
    void forgetWhenEnded();

    MediaPlayer& player_;
    ShowPlainMessage showMessage_;
    std::optional<double> markedStart_; // the first press, before the loop is set
};

} // namespace tavrin
