#include "workbench/editor_controller.h"

#include "desktop/desktop.h"
#include "editor/editor_text.h"
#include "editor/gbk_search.h"
#include "editor/transcript_edit.h"
#include "player/passage_loop.h"
#include "workbench/passage_navigator.h"
#include "workbench/phrase_controller.h"
#include "workbench/speaker_controller.h"
#include "workbench/time_mark_controller.h"
#include "workbench/transport_controller.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

#include <utility>

namespace tavrin {

namespace {

const QString kHotKeyWarning = QStringLiteral("警告！系统热键冲突，请勿乱按系统功能键！\r\n"
                                              "为了更加方便准确的按下前进、后退快捷键，你可以在按键上贴一个单面胶！");
const QString kNotFound = QStringLiteral("对不起，没有找到你输入的关键字。");
const QString kCopied = QStringLiteral("复制成功！");
const QString kCopyFailed = QStringLiteral("复制失败！");

} // namespace

EditorController::EditorController(const EditorWidgets& widgets, EditorKeyTargets keyTargets, Desktop& desktop,
                                   ShowPlainMessage showMessage)
    : widgets_(widgets)
    , keyTargets_(std::move(keyTargets))
    , desktop_(desktop)
    , showMessage_(std::move(showMessage))
{
}

bool EditorController::handleKey(QKeyEvent* event)
{
    // While an input method composes, the keys are the input method's.
    if (widgets_.editor->isComposing())
        return false;
    const PlayKey playKey = widgets_.spacePlays->isChecked() ? PlayKey::Space : PlayKey::Enter;
    const KeyDecision decision = decideEditorKey(event->key(), event->modifiers(), playKey);
    if (decision.command == EditorCommand::None && keyTargets_.typing)
        keyTargets_.typing();
    run(decision);
    return decision.swallow;
}

void EditorController::run(const KeyDecision& decision)
{
    switch (decision.command) {
    case EditorCommand::None:
        break;
    case EditorCommand::StepBack:
        keyTargets_.transport.stepBack();
        break;
    case EditorCommand::StepForward:
        keyTargets_.transport.stepForward();
        break;
    case EditorCommand::InsertTimeMark:
        keyTargets_.timeMarks.insertMark();
        break;
    case EditorCommand::Loop:
        keyTargets_.loop.press();
        break;
    case EditorCommand::PlayPause:
        // The play key is taken whole: it never types, so a selection stays.
        keyTargets_.transport.playPause();
        break;
    case EditorCommand::HotKeyWarning:
        desktop_.setClipboardText(QString());
        showMessage_(kHotKeyWarning);
        break;
    case EditorCommand::Save:
        keyTargets_.save();
        break;
    case EditorCommand::RateUp:
        keyTargets_.transport.stepRate(+1);
        break;
    case EditorCommand::RateDown:
        keyTargets_.transport.stepRate(-1);
        break;
    case EditorCommand::InsertSpace:
        widgets_.editor->insertPlainText(QStringLiteral(" "));
        break;
    case EditorCommand::InsertLineBreak:
        widgets_.editor->insertPlainText(QStringLiteral("\n"));
        break;
    case EditorCommand::PreviousPassage:
    case EditorCommand::NextPassage:
    case EditorCommand::HearPassageAgain:
    case EditorCommand::LoopPassage:
    case EditorCommand::Speaker:
    case EditorCommand::Phrase:
    case EditorCommand::ExpandAbbreviation:
    case EditorCommand::ToggleVideo:
    case EditorCommand::HearWord:
        runAddedCommand(decision);
        break;
    }
}

// Passages, speakers, phrases and abbreviations.
void EditorController::runAddedCommand(const KeyDecision& decision)
{
    PassageNavigator& passages = keyTargets_.passages;
    switch (decision.command) {
    case EditorCommand::PreviousPassage:
        return passages.goToPrevious();
    case EditorCommand::NextPassage:
        return passages.goToNext();
    case EditorCommand::HearPassageAgain:
        return passages.hearAgain();
    case EditorCommand::LoopPassage:
        return passages.loopPassage();
    case EditorCommand::Speaker:
        return keyTargets_.speakers.insertLabel(decision.slot);
    case EditorCommand::Phrase:
        return keyTargets_.phrases.insertPhrase(decision.slot);
    case EditorCommand::ExpandAbbreviation:
        return keyTargets_.phrases.expandAbbreviation(decision.slot);
    case EditorCommand::ToggleVideo:
        return keyTargets_.toggleVideo();
    case EditorCommand::HearWord:
        return passages.hearWord(widgets_.editor->textCursor().position());
    default:
        return;
    }
}

// Selects `length` characters from `start`, scrolls the caret into view and
// gives the editor the focus.
void EditorController::selectFound(qsizetype start, qsizetype length)
{
    TranscriptEdit* editor = widgets_.editor;
    QTextCursor found(editor->document());
    found.setPosition(int(start));
    found.setPosition(int(start + length), QTextCursor::KeepAnchor);
    editor->setTextCursor(found);
    editor->ensureCursorVisible();
    editor->setFocus();
}

void EditorController::findFirst()
{
    const QString keyword = widgets_.searchBox->text(); // as typed, blanks included
    const qsizetype at = findKeyword(editorText(widgets_.editor), keyword, 0);
    if (at < 0) {
        showMessage_(kNotFound);
        return;
    }
    selectFound(at, keyword.size());
}

void EditorController::findNext()
{
    const QString keyword = trimmedSearchKeyword(widgets_.searchBox->text());
    const qsizetype at =
        findKeyword(editorText(widgets_.editor), keyword, widgets_.editor->textCursor().selectionEnd());
    if (at < 0)
        return; // silent, and no wrapping round to the top
    selectFound(at, keyword.size());
}

void EditorController::showCount()
{
    showMessage_(countMessage(countCharacters(editorText(widgets_.editor))));
}

void EditorController::copyAll()
{
    widgets_.editor->selectAll();
    const bool copied = desktop_.setClipboardText(editorText(widgets_.editor));
    showMessage_(copied ? kCopied : kCopyFailed);
}

void EditorController::setTextSize(TextSize size)
{
    QFont font = widgets_.editor->font();
    font.setPointSize(pointSizeOf(size));
    widgets_.editor->setFont(font);
}

} // namespace tavrin
