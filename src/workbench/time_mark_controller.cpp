#include "workbench/time_mark_controller.h"

#include "controls/time_box.h"
#include "desktop/desktop.h"
#include "editor/transcript_edit.h"
#include "player/media_player.h"
#include "transcript/time_marks.h"
#include "transcript/time_text.h"

#include <QLabel>

#include <utility>

namespace tavrin {

namespace {

const QString kBadTime = QStringLiteral("请查验时间是否输入正确。只能输入形如 01:23:54 小时分钟秒数这种格式的时间。");
const QString kBadSelection = QStringLiteral("时间格式有误，请查正！");

} // namespace

TimeMarkController::TimeMarkController(const TimeMarkWidgets& widgets, MediaPlayer& player, Desktop& desktop,
                                       ShowPlainMessage showMessage)
    : widgets_(widgets)
    , player_(player)
    , desktop_(desktop)
    , showMessage_(std::move(showMessage))
{
}

QString TimeMarkController::currentMark() const
{
    return timeMarkText(widgets_.position->text());
}

void TimeMarkController::insertMark()
{
    // An ordinary edit: it replaces the selection, leaves the caret after the
    // mark, and can be undone like typing.
    TranscriptEdit* editor = widgets_.editor;
    QTextCursor caret = editor->textCursor();
    caret.insertText(currentMark());
    editor->setTextCursor(caret);
    editor->ensureCursorVisible();
}

void TimeMarkController::goToTypedTime()
{
    const QString typed = widgets_.timeBox->text();
    widgets_.position->setText(typed); // shown at once; the next refresh of the display replaces it
    const std::optional<qint32> seconds = parseTimeText(typed);
    if (!seconds) {
        showMessage_(kBadTime);
        return;
    }
    // A failure of the player is the player's, told as such, not as a bad time.
    player_.setCurrentPosition(*seconds);
    player_.play();
}

void TimeMarkController::goToSelectedTime()
{
    QString selected = widgets_.editor->textCursor().selectedText();
    selected.replace(QChar::ParagraphSeparator, u'\n');
    // The clipboard is the channel: whatever it holds after the copy is used,
    // and the selection stays on it afterwards.
    if (!desktop_.setClipboardText(selected)) {
        showMessage_(kBadSelection);
        return;
    }
    widgets_.timeBox->setText(desktop_.clipboardText());
    goToTypedTime();
}

void TimeMarkController::goToMark(int seconds)
{
    TranscriptEdit* editor = widgets_.editor;
    const QString text = editor->toPlainText();
    const qsizetype caret = editor->textCursor().selectionEnd();
    std::optional<TimeMark> chosen;
    for (const TimeMark& mark : findTimeMarks(text)) {
        if (mark.seconds != seconds)
            continue;
        if (!chosen)
            chosen = mark;
        if (mark.offset >= caret) {
            chosen = mark;
            break;
        }
    }
    if (!chosen)
        return; // edited away since the bar was drawn
    // The time alone is selected, as a double-click on the mark selects it.
    QTextCursor selection = editor->textCursor();
    selection.setPosition(int(chosen->offset + 1));
    selection.setPosition(int(chosen->offset + kTimeMarkLength - 1), QTextCursor::KeepAnchor);
    editor->setTextCursor(selection);
    editor->ensureCursorVisible();
    editor->setFocus();
    widgets_.timeBox->setText(selection.selectedText());
    goToTypedTime();
}

} // namespace tavrin
