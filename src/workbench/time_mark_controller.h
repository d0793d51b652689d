#pragma once

#include "desktop/plain_message.h"

class QLabel;

namespace tavrin {

class Desktop;
class MediaPlayer;
class TimeBox;
class TranscriptEdit;

// The controls time marks and going to a time read and write; they belong to the window.
struct TimeMarkWidgets {
    TranscriptEdit* editor = nullptr;
    QLabel* position = nullptr; // the position display: a mark copies what it shows
    TimeBox* timeBox = nullptr; // the time to go to, as typed
};

// Time marks in the transcript and playing from a given time: marking the
// position heard now, and going back to a mark or a typed time.
class TimeMarkController {
public:
    TimeMarkController(const TimeMarkWidgets& widgets, MediaPlayer& player, Desktop& desktop,
                       ShowPlainMessage showMessage);

    // "-<position shown>-": the mark F8 types.
    QString currentMark() const;
    // Types the current mark over the selection, as an edit that can be undone.
    void insertMark();
    // Plays from the time in the time box; tells the user when it is no time.
    // Throws PlayerError when the player fails.
    void goToTypedTime();
    // Takes the editor's selection (a mark double-clicked) into the time box and plays from there.
    void goToSelectedTime();
    // A mark of the text at `seconds` (picked on the seek bar): the caret goes to
    // it, its time into the time box, and playback there. The mark after the
    // caret is taken first, so that picking the same time again walks on
    // through its marks.
    void goToMark(int seconds);

private:
    TimeMarkWidgets widgets_;
    MediaPlayer& player_;
    Desktop& desktop_;
    ShowPlainMessage showMessage_;
};

} // namespace tavrin
