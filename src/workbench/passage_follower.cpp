#include "workbench/passage_follower.h"

#include "editor/transcript_edit.h"
#include "player/media_player.h"
#include "transcript/time_mark_watcher.h"

#include <QEvent>
#include <QInputMethodEvent>
#include <QTextEdit>

#include <limits>

namespace tavrin {

namespace {

constexpr double kForever = std::numeric_limits<double>::infinity();

// A tint of the text's background towards the selection colour: seen, and never
// taken for a selection.
QColor softBackground(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor tint = palette.color(QPalette::Highlight);
    constexpr double kTint = 0.16;
    return QColor::fromRgbF(float(base.redF() + (tint.redF() - base.redF()) * kTint),
                            float(base.greenF() + (tint.greenF() - base.greenF()) * kTint),
                            float(base.blueF() + (tint.blueF() - base.blueF()) * kTint));
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
    if (on_)
        follow(position_);
    else
        highlight(std::nullopt);
}

void PassageFollower::follow(double seconds)
{
    position_ = seconds;
    if (!on_ || (seconds >= heardFrom_ && seconds < heardUntil_))
        return; // still the passage shown: nothing to look up
    showPassageAt(seconds);
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
    if (passage == shown_)
        return;
    highlight(passage);
    if (passage && viewFollows_)
        editor_->scrollToShow(passage->start);
}

void PassageFollower::highlight(const std::optional<Passage>& passage)
{
    shown_ = passage;
    QList<QTextEdit::ExtraSelection> shown;
    if (passage) {
        QTextEdit::ExtraSelection heard;
        heard.cursor = QTextCursor(editor_->document());
        heard.cursor.setPosition(passage->start);
        heard.cursor.setPosition(passage->end, QTextCursor::KeepAnchor);
        heard.format.setBackground(softBackground(editor_->palette()));
        shown.append(heard);
    }
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
