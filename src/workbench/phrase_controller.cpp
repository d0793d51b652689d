#include "workbench/phrase_controller.h"

#include "dialogs/phrases_dialog.h"
#include "editor/transcript_edit.h"
#include "settings/phrase_options.h"
#include "workbench/time_mark_controller.h"

#include <QTextBlock>

#include <utility>

using namespace Qt::StringLiterals;

namespace tavrin {

PhraseController::PhraseController(const Widgets& widgets, TimeMarkController& marks, Desktop& desktop,
                                   QString settingsFolder, ShowPlainMessage showMessage)
    : widgets_(widgets)
    , marks_(marks)
    , desktop_(desktop)
    , settingsFolder_(std::move(settingsFolder))
    , showMessage_(showMessage)
    , damage_(std::move(showMessage))
{
}

PhraseOptions PhraseController::read()
{
    StoredPhraseOptions stored = readPhraseOptions(settingsFolder_);
    damage_.tellNew(stored.problems);
    return stored.options;
}

void PhraseController::insertPhrase(int phrase)
{
    QString text = read().phrases.at(std::size_t(phrase));
    if (text.isEmpty()) {
        showMessage_(u"%1 还没有短语。请在“设置 → 短语和缩写设置”里填写。"_s.arg(phraseKeyName(phrase)));
        return;
    }
    text.replace(kTimeMarkPlaceholder.toString(), marks_.currentMark());
    TranscriptEdit* editor = widgets_.editor;
    editor->insertPlainText(text);
    editor->ensureCursorVisible();
}

void PhraseController::expandAbbreviation(int key)
{
    const PhraseOptions options = read();
    if (int(options.expandKey) != key)
        return;
    TranscriptEdit* editor = widgets_.editor;
    QTextCursor caret = editor->textCursor();
    if (caret.hasSelection())
        return;
    const QString before = caret.block().text().left(caret.positionInBlock());
    const std::optional<AbbreviationFound> found = abbreviationBefore(before, options.abbreviations);
    if (!found)
        return;
    caret.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor, int(found->length));
    caret.insertText(found->text);
    editor->setTextCursor(caret);
    editor->ensureCursorVisible();
}

void PhraseController::showDialog()
{
    PhrasesDialog dialog(widgets_.owner, desktop_, settingsFolder_);
    dialog.exec();
    widgets_.editor->setFocus();
}

} // namespace tavrin
