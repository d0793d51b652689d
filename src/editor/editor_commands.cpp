#include "app/main_window.h"

#include "desktop/desktop.h"
#include "editor/editor_text.h"
#include "editor/gbk_search.h"
#include "editor/key_dispatch.h"
#include "editor/transcript_edit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace tavrin {

namespace {

const QString kHotKeyWarning = QStringLiteral("警告！系统热键冲突，请勿乱按系统功能键！\r\n"
                                              "为了更加方便准确的按下前进、后退快捷键，你可以在按键上贴一个单面胶！");
const QString kNotFound = QStringLiteral("对不起，没有找到你输入的关键字。");
const QString kCopied = QStringLiteral("复制成功！");
const QString kCopyFailed = QStringLiteral("复制失败！");

void setEditorPointSize(TranscriptEdit* editor, int points)
{
    QFont font = editor->font();
    font.setPointSize(points);
    editor->setFont(font);
}

// Selects `length` characters from `start`, scrolls the caret into view and
// gives the editor the focus.
void selectFound(TranscriptEdit* editor, qsizetype start, qsizetype length)
{
    QTextCursor found(editor->document());
    found.setPosition(int(start));
    found.setPosition(int(start + length), QTextCursor::KeepAnchor);
    editor->setTextCursor(found);
    editor->ensureCursorVisible();
    editor->setFocus();
}

} // namespace

bool TMainForm1::Memo1KeyDown(QKeyEvent* event)
{
    // While an input method composes, the keys are the input method's.
    if (Memo1->isComposing())
        return false;
    const PlayKey playKey = RadioButton1->isChecked() ? PlayKey::Space : PlayKey::Enter;
    const KeyDecision decision = decideEditorKey(event->key(), event->modifiers(), playKey);
    switch (decision.command) {
    case EditorCommand::None:
        break;
    case EditorCommand::StepBack:
        BitBtn7Click();
        break;
    case EditorCommand::StepForward:
        BitBtn2Click();
        break;
    case EditorCommand::InsertTimeMark:
        BitBtn1Click();
        break;
    case EditorCommand::PlayPause:
        // The play key is taken whole: it never types, so a selection stays.
        BitBtn4Click();
        break;
    case EditorCommand::HotKeyWarning:
        environment_.desktop->setClipboardText(QString());
        showPlainMessage(kHotKeyWarning);
        break;
    case EditorCommand::Save:
        BitBtn10Click();
        break;
    case EditorCommand::RateUp:
        stepRate(+1);
        break;
    case EditorCommand::RateDown:
        stepRate(-1);
        break;
    case EditorCommand::InsertSpace:
        Memo1->insertPlainText(QStringLiteral(" "));
        break;
    case EditorCommand::InsertLineBreak:
        Memo1->insertPlainText(QStringLiteral("\n"));
        break;
    }
    return decision.swallow;
}

void TMainForm1::Label2Click()
{
    const QString keyword = Edit4->text(); // as typed, blanks included
    const qsizetype at = findKeyword(editorText(Memo1), keyword, 0);
    if (at < 0) {
        showPlainMessage(kNotFound);
        return;
    }
    selectFound(Memo1, at, keyword.size());
}

void TMainForm1::Label4Click()
{
    const QString keyword = trimmedSearchKeyword(Edit4->text());
    const qsizetype at = findKeyword(editorText(Memo1), keyword, Memo1->textCursor().selectionEnd());
    if (at < 0)
        return; // silent, and no wrapping round to the top
    selectFound(Memo1, at, keyword.size());
}

void TMainForm1::N17Click()
{
    showPlainMessage(countMessage(countCharacters(editorText(Memo1))));
}

void TMainForm1::N18Click()
{
    Memo1->selectAll();
    const bool copied = environment_.desktop->setClipboardText(editorText(Memo1));
    showPlainMessage(copied ? kCopied : kCopyFailed);
}

void TMainForm1::N13Click()
{
    setEditorPointSize(Memo1, 40);
}

void TMainForm1::N15Click()
{
    setEditorPointSize(Memo1, 32);
}

void TMainForm1::N16Click()
{
    setEditorPointSize(Memo1, 24);
}

void TMainForm1::N10Click()
{
    setEditorPointSize(Memo1, 16);
}

void TMainForm1::Memo1ContextPopup()
{
    // The request is handled by doing nothing: no menu opens over the editor.
}

} // namespace tavrin
