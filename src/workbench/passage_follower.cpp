#include "workbench/passage_follower.h"

#include "editor/transcript_edit.h"
#include "player/media_player.h"
#include "transcript/text_times_watcher.h"
#include "transcript/time_mark_watcher.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QTextEdit>

#include <limits>

namespace tavrin {

namespace {

constexpr double kForever = std::numeric_limits<double>::infinity();

// How far the passage heard and the word heard within it are tinted.
constexpr double kPassageTint = 0.16;
constexpr double kWordTint = 0.4;

// A tint of the text's background towards the selection colour: seen, and never
// taken for a selection.
QColor softBackground(const QPalette& palette, double share)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor tint = palette.color(QPalette::Highlight);
    return QColor::fromRgbF(float(base.redF() + (tint.redF() - base.redF()) * share),
                            float(base.greenF() + (tint.greenF() - base.greenF()) * share),
                            float(base.blueF() + (tint.blueF() - base.blueF()) * share));
}

} // namespace

PassageFollower::PassageFollower(TranscriptEdit* editor, MediaPlayer& player, TimeMarkWatcher& marks, QObject* parent)
    : QObject(parent)
    , editor_(editor)
    , marks_(marks)
{
    connect(&player, &MediaPlayer::positionChanged, this, &PassageFollower::follow);
    connect(&player, &MediaPlayer::pausedChanged, this, [this](bool paused) {
        if (paused || viewFollows_)
            return;
        viewFollows_ = true;
        if (shown_)
            editor_->scrollToShow(shown_->start);
    });
    // Marks typed, edited away or moved: the passage heard is looked up afresh.
    connect(&marks_, &TimeMarkWatcher::indexRead, this, [this] {
        heardUntil_ = -1.0;
        follow(position_);
    });
    editor_->installEventFilter(this);
    editor_->viewport()->installEventFilter(this);
}

void PassageFollower::setOn(bool on)
{
    if (on == on_)
        return;
    on_ = on;
    heardUntil_ = -1.0;
    if (on_) {
        follow(position_);
    } else {
        shown_.reset();
        shownWord_.reset();
        highlight();
    }
}

void PassageFollower::follow(double seconds)
{
    position_ = seconds;
    if (!on_)
        return;
    if (seconds < heardFrom_ || seconds >= heardUntil_)
        showPassageAt(seconds);
    else if (times_ && (seconds < wordFrom_ || seconds >= wordUntil_))
        showWordAt(seconds); // the same passage, another of its words
    // else still the passage and the word shown: nothing to look up
}

void PassageFollower::leaveTheView()
{
    viewFollows_ = false;
}

void PassageFollower::showPassageAt(double seconds)
{
    const MarkIndex& index = marks_.index();
    const std::optional<Passage> passage = index.passageAtTime(seconds);
    if (passage) {
        heardFrom_ = passage->seconds;
        heardUntil_ = passage->endSeconds ? double(*passage->endSeconds) : kForever;
    } else {
        heardFrom_ = -kForever; // before every mark, with no text before them; or no marks at all
        heardUntil_ = index.firstTime() ? double(*index.firstTime()) : kForever;
    }
    if (passage == shown_) {
        showWordAt(seconds);
        return;
    }
    shown_ = passage;
    shownWord_.reset();
    showWordAt(seconds);
    highlight();
    if (passage && viewFollows_)
        editor_->scrollToShow(passage->start);
}

void PassageFollower::showWordAt(double seconds)
{
    std::optional<TextTimes::Stretch> word;
    wordFrom_ = -kForever;
    wordUntil_ = kForever;
    if (times_ && shown_ && !times_->times().isEmpty()) {
        const TextTimes::Heard heard = times_->times().heardAt(seconds, shown_->textStart, shown_->end);
        word = heard.word;
        wordFrom_ = heard.from;
        wordUntil_ = heard.until;
    }
    if (word == shownWord_)
        return;
    shownWord_ = word;
    highlight();
}

void PassageFollower::highlight()
{
    QList<QTextEdit::ExtraSelection> shown;
    const auto add = [&](int from, int to, double tint) {
        QTextEdit::ExtraSelection heard;
        heard.cursor = QTextCursor(editor_->document());
        heard.cursor.setPosition(from);
        heard.cursor.setPosition(to, QTextCursor::KeepAnchor);
        heard.format.setBackground(softBackground(editor_->palette(), tint));
        shown.append(heard);
    };
    if (shown_)
        add(shown_->start, shown_->end, kPassageTint);
    if (shown_ && shownWord_) // the word within it, a shade deeper
        add(shownWord_->at, std::min(shownWord_->at + shownWord_->length, shown_->end), kWordTint);
    editor_->setExtraSelections(shown);
}

bool PassageFollower::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        if (watched == editor_->viewport())
            leaveTheView();
        break;
    case QEvent::InputMethod:
        // Typed through an input method, the words come as its events, not as keys.
        if (!static_cast<QInputMethodEvent*>(event)->commitString().isEmpty()
            || !static_cast<QInputMethodEvent*>(event)->preeditString().isEmpty())
            leaveTheView();
        break;
    default:
        break;
    }
    return false;
}

} // namespace tavrin
