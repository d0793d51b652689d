#pragma once

#include "transcript/mark_index.h"
#include "transcript/text_times.h"

#include <QObject>

#include <optional>

namespace tavrin {

class MediaPlayer;
class TextTimesWatcher;
class TimeMarkWatcher;
class TranscriptEdit;

// Following the sound in the text: the passage whose time holds the playback
// position is shown with a soft background, and while the user leaves the
// text alone the view keeps that passage in sight. The background is an extra
// selection of the editor: the text, its undo, the caret and the selection are
// never touched. Off, nothing is shown.
class PassageFollower : public QObject {
    Q_OBJECT
public:
    PassageFollower(TranscriptEdit* editor, MediaPlayer& player, TimeMarkWatcher& marks, QObject* parent = nullptr);

    void setOn(bool on);
    // The drafted words' times: the word heard is shown within the passage.
    void setWordTimes(const TextTimesWatcher* times) { times_ = times; }
    bool isOn() const { return on_; }
    // The passage shown now; none while off, or while no passage goes with the position.
    std::optional<Passage> shownPassage() const { return shown_; }
    // The drafted word shown as heard within it; none without one.
    std::optional<TextTimes::Stretch> shownWord() const { return shownWord_; }
    // Whether the view still follows: a key typed or a click in the text stops
    // it until playback starts again.
    bool viewFollows() const { return viewFollows_; }

    // The position heard now, as the player tells it.
    void follow(double seconds);
    // The user types or moves the caret: the view is left where the user has it.
    void leaveTheView();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showPassageAt(double seconds);
    void showWordAt(double seconds);
    void highlight();

    TranscriptEdit* editor_;
    TimeMarkWatcher& marks_;
    bool on_ = false;
    bool viewFollows_ = true;
    double position_ = 0.0;
    std::optional<Passage> shown_;
    const TextTimesWatcher* times_ = nullptr;
    std::optional<TextTimes::Stretch> shownWord_;
    // The same for the word heard.
    double wordFrom_ = 0.0;
    double wordUntil_ = -1.0;
    // The times between which the passage shown stays the one heard; a position
    // between them needs no lookup.
    double heardFrom_ = 0.0;
    double heardUntil_ = -1.0;
};

} // namespace tavrin
