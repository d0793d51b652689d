#pragma once

#include "desktop/plain_message.h"

#include <QMetaObject>
#include <QStringList>

class QWidget;

namespace tavrin {

class Desktop;
class FileMemory;
class MediaPlayer;
class TimeMarkController;
class TranscriptEdit;

// Who speaks in the recording: up to nine names, each on a key (Ctrl+1 to
// Ctrl+9) that opens a paragraph with the current time mark and the name
// ("-00:12:34- 张三："). Each recording keeps its own list with what the program
// remembers of it; a recording with none starts from the list saved last.
class SpeakerController {
public:
    static constexpr int kMostSpeakers = 9;

    struct Widgets {
        QWidget* owner = nullptr; // of the dialog and messages
        TranscriptEdit* editor = nullptr;
    };

    SpeakerController(const Widgets& widgets, MediaPlayer& player, TimeMarkController& marks, Desktop& desktop,
                      ShowPlainMessage showMessage);
    SpeakerController(const SpeakerController&) = delete;
    SpeakerController& operator=(const SpeakerController&) = delete;

    // Where the lists are kept; none: they last for this run only.
    void setMemory(FileMemory* memory) { memory_ = memory; }

    QStringList names() const { return names_; }
    // A new paragraph for speaker `speaker` (0 to 8) at the caret, or the
    // caret's paragraph when the caret stands at its start; one undo step.
    void insertLabel(int speaker);
    // The names as edited: a name changed is changed in every label of it in
    // the text, all in one undo step; the list is kept with the recording.
    void setNames(const QStringList& names);
    // The dialog that edits the names.
    void showDialog();
    // The list kept with `recording`, now opened, or the last one used.
    void takeListOf(const QString& recording);

private:
    void renameLabels(const QStringList& names);

    Widgets widgets_;
    MediaPlayer& player_;
    TimeMarkController& marks_;
    Desktop& desktop_;
    ShowPlainMessage showMessage_;
    FileMemory* memory_ = nullptr;
    QStringList names_;
};

} // namespace tavrin
