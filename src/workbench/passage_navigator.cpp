#include "workbench/passage_navigator.h"

#include "editor/transcript_edit.h"
#include "player/media_player.h"
#include "player/passage_loop.h"
#include "transcript/mark_index.h"
#include "transcript/text_times_watcher.h"
#include "transcript/time_mark_watcher.h"

#include <algorithm>
#include <utility>

namespace tavrin {

PassageNavigator::PassageNavigator(TranscriptEdit* editor, MediaPlayer& player, PassageLoop& loop,
                                   TimeMarkWatcher& marks)
    : editor_(editor)
    , player_(player)
    , loop_(loop)
    , marks_(marks)
{
}

int PassageNavigator::caret() const
{
    // What was typed a moment ago counts: its marks are read now, not shortly after.
    marks_.readEditsNow();
    return editor_->textCursor().position();
}

void PassageNavigator::goToNext()
{
    if (const std::optional<Passage> next = marks_.index().passageAfter(caret()))
        goTo(*next);
}

void PassageNavigator::goToPrevious()
{
    if (const std::optional<Passage> previous = marks_.index().passageBefore(caret()))
        goTo(*previous);
}

void PassageNavigator::goTo(const Passage& passage)
{
    QTextCursor words = editor_->textCursor();
    words.setPosition(passage.textStart);
    editor_->setTextCursor(words);
    editor_->ensureCursorVisible();
    // Seeking leaves playing and pausing as they were; a mark past the
    // recording's end goes to its end, as a typed time does.
    playFromMark(passage);
}

void PassageNavigator::hearAgain()
{
    playFromMark(marks_.index().passageAt(caret()));
    player_.play();
}

void PassageNavigator::playFromMark(const Passage& passage)
{
    // Passage after passage on a loop, each corrected as it comes round: the
    // loop goes with playback, never pulling it back to the passage left.
    if (loop_.loopsAPassage())
        loop_.moveToPassage(passage.seconds, passage.endSeconds);
    else
        player_.setCurrentPosition(passage.seconds);
}

void PassageNavigator::setWordTimes(const TextTimesWatcher* times, std::function<double()> lead)
{
    times_ = times;
    lead_ = std::move(lead);
}

void PassageNavigator::hearWord(int position)
{
    marks_.readEditsNow();
    const Passage passage = marks_.index().passageAt(position);
    const double lead = lead_ ? lead_() : 0.0;
    const double start = times_ ? hearingStart(times_->times(), position, passage.start, passage.seconds, lead)
                                : double(passage.seconds);
    // A loop goes with the word's passage, and the lead stays inside it.
    if (loop_.loopsAPassage()) {
        loop_.moveToPassage(passage.seconds, passage.endSeconds);
        player_.setCurrentPosition(std::max(start, double(passage.seconds)));
    } else {
        player_.setCurrentPosition(start);
    }
    player_.play();
}

void PassageNavigator::hearClickedWord(int position)
{
    // A click between two characters is on the one it is nearer: either side may be the word.
    if (times_ && (times_->times().timeAt(position) || times_->times().timeAt(position - 1)))
        hearWord(position);
}

void PassageNavigator::loopPassage()
{
    const Passage passage = marks_.index().passageAt(caret());
    loop_.pressForPassage(passage.seconds, passage.endSeconds);
}

} // namespace tavrin
