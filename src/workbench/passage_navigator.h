#pragma once

#include <functional>

namespace tavrin {

class MediaPlayer;
class PassageLoop;
class TextTimesWatcher;
class TimeMarkWatcher;
class TranscriptEdit;
struct Passage;

// Going through the transcript passage by passage, by ear: the caret and
// playback go together to the next or the previous passage, the passage under
// the caret is heard again, or looped. A passage runs from its time mark to the
// next mark; before the first mark it starts at the recording's start.
class PassageNavigator {
public:
    PassageNavigator(TranscriptEdit* editor, MediaPlayer& player, PassageLoop& loop, TimeMarkWatcher& marks);

    // The caret to the words of the next (previous) passage and playback to its
    // mark, playing on if it was playing; nothing at the last (first) one.
    // While a passage is looped, the loop goes to the passage walked to.
    void goToNext();
    void goToPrevious();
    // Plays from the mark that opens the passage under the caret; while a
    // passage is looped, loops this one.
    void hearAgain();
    // Loops the passage under the caret, from its mark to the next later one
    // (the recording's end after the last); pressed again, ends the loop.
    void loopPassage();
    // Plays the word at `position` from a moment before its time (untimed text
    // from the nearest drafted word before it in its passage, else its mark).
    void hearWord(int position);
    // The same for a click at `position`, only on a drafted word: elsewhere a
    // Ctrl+click is the plain click it always was.
    void hearClickedWord(int position);
    // The times of the drafted words, and how long before a word to start.
    void setWordTimes(const TextTimesWatcher* times, std::function<double()> lead);

private:
    void goTo(const Passage& passage);
    void playFromMark(const Passage& passage);
    int caret() const;

    TranscriptEdit* editor_;
    MediaPlayer& player_;
    PassageLoop& loop_;
    TimeMarkWatcher& marks_;
    const TextTimesWatcher* times_ = nullptr;
    std::function<double()> lead_;
};

} // namespace tavrin
