#include "workbench/speaker_controller.h"

#include "dialogs/speakers_dialog.h"
#include "editor/editor_text.h"
#include "editor/transcript_edit.h"
#include "files/file_memory.h"
#include "player/media_player.h"
#include "transcript/speaker_labels.h"
#include "workbench/time_mark_controller.h"

#include <QTextBlock>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace tavrin {

SpeakerController::SpeakerController(const Widgets& widgets, MediaPlayer& player, TimeMarkController& marks,
                                     Desktop& desktop, ShowPlainMessage showMessage)
    : widgets_(widgets)
    , player_(player)
    , marks_(marks)
    , desktop_(desktop)
    , showMessage_(std::move(showMessage))
{
}

void SpeakerController::takeListOf(const QString& recording)
{
    // Without a memory, the list in use goes on with the next recording.
    if (!memory_ || recording.isEmpty())
        return;
    names_ = memory_->speakers(recording).value_or(memory_->lastSpeakers()).mid(0, kMostSpeakers);
}

void SpeakerController::insertLabel(int speaker)
{
    const QString name = names_.value(speaker);
    if (name.isEmpty()) {
        showMessage_(u"Ctrl+%1 还没有说话人。请在“设置 → 说话人设置”里填写名字。"_s.arg(speaker + 1));
        return;
    }
    TranscriptEdit* editor = widgets_.editor;
    QTextCursor caret = editor->textCursor();
    caret.beginEditBlock();
    caret.removeSelectedText();
    const QString label = speakerLabel(marks_.currentMark(), name);
    caret.insertText(caret.positionInBlock() == 0 ? label : u'\n' + label);
    caret.endEditBlock();
    editor->setTextCursor(caret);
    editor->ensureCursorVisible();
}

void SpeakerController::setNames(const QStringList& names)
{
    renameLabels(names);
    names_ = names.mid(0, kMostSpeakers);
    while (!names_.isEmpty() && names_.last().isEmpty())
        names_.removeLast();
    if (memory_ && !player_.url().isEmpty())
        memory_->rememberSpeakers(player_.url(), names_);
}

void SpeakerController::renameLabels(const QStringList& names)
{
    // Found in the text as it is before any is changed, so that two names swapped stay swapped.
    const QString text = editorText(widgets_.editor);
    std::vector<std::pair<qsizetype, int>> renames; // where a name stands, and which speaker it is
    for (int speaker = 0; speaker < std::min<int>(names_.size(), names.size()); ++speaker) {
        if (names_[speaker].isEmpty() || names[speaker].isEmpty() || names_[speaker] == names[speaker])
            continue;
        for (const qsizetype at : speakerNamePositions(text, names_[speaker]))
            renames.emplace_back(at, speaker);
    }
    if (renames.empty())
        return;
    std::sort(renames.begin(), renames.end());
    QTextCursor cursor(widgets_.editor->document());
    cursor.beginEditBlock();
    for (auto rename = renames.rbegin(); rename != renames.rend(); ++rename) {
        const auto [at, speaker] = *rename;
        cursor.setPosition(int(at));
        cursor.setPosition(int(at + names_[speaker].size()), QTextCursor::KeepAnchor);
        cursor.insertText(names[speaker]);
    }
    cursor.endEditBlock();
}

void SpeakerController::showDialog()
{
    SpeakersDialog dialog(widgets_.owner, desktop_);
    dialog.setNames(names_);
    if (dialog.exec() == QDialog::Accepted)
        setNames(dialog.names());
    widgets_.editor->setFocus();
}

} // namespace tavrin
