#pragma once

#include <QString>

class QWidget;

namespace tavrin {

class Desktop;
class MediaPlayer;
class TranscriptEdit;

// "导出…": the transcript in the editor exported into a file the user chooses,
// in the format of the filter chosen, beside the recording unless the user
// goes elsewhere. An existing file is replaced only after asking.
class ExportController {
public:
    struct Widgets {
        QWidget* owner = nullptr; // of the dialogs and messages
        TranscriptEdit* editor = nullptr;
    };

    ExportController(const Widgets& widgets, MediaPlayer& player, Desktop& desktop);

    void exportTranscript();

private:
    // The path chosen, with the format's extension when the user typed none; empty: cancelled.
    QString choosePath(int& format);
    void tell(const QString& text);

    Widgets widgets_;
    MediaPlayer& player_;
    Desktop& desktop_;
};

} // namespace tavrin
