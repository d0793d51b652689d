#pragma once

#include "desktop/plain_message.h"
#include "player/media_player.h"

#include <QObject>

#include <optional>

namespace tavrin {

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
    // Whether the loop going on is a passage's (F6), not one the loop key marked.
    bool loopsAPassage() const;
    // The passage loop moved to the passage from `start` to `end`, playback to
    // its start, playing or paused as it was: walking from passage to passage,
    // each is heard over and over. A passage too short to loop ends the loop.
    void moveToPassage(double start, std::optional<double> end);

    std::optional<double> start() const;
    std::optional<double> end() const;

Q_SIGNALS:
    void endsChanged();

private:
    void setLoopTo(double position);
    // The passage's ends inside the recording; none when it is too short to loop.
    std::optional<MediaPlayer::Loop> passageEnds(double start, std::optional<double> end) const;
    void forgetWhenEnded();

    MediaPlayer& player_;
    ShowPlainMessage showMessage_;
    std::optional<double> markedStart_;            // the first press, before the loop is set
    std::optional<MediaPlayer::Loop> passageLoop_; // the loop last set for a passage
};

} // namespace tavrin
