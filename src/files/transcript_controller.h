#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace tavrin {

class Desktop;
class TranscriptEdit;
struct FileWriteFaults;

// The transcript: which recording it belongs to, and saving it beside that
// recording or loading another text into the editor.
class TranscriptController {
public:
    struct Widgets {
        QWidget* owner = nullptr; // of the messages shown
        TranscriptEdit* editor = nullptr;
        QLabel* savedNotice = nullptr; // tells that the last save succeeded
    };

    TranscriptController(const Widgets& widgets, Desktop& desktop);

    // The recording the transcript is saved beside; empty until one is loaded.
    const QString& recording() const { return recording_; }
    void setRecording(const QString& path) { recording_ = path; }

    void save();
    void chooseAndLoad();

    // Makes saving fail as a full or read-only disk would (tests only).
    void setWriteFaults(const FileWriteFaults* faults) { writeFaults_ = faults; }

private:
    void showMessage(const QString& text);
    bool refusesToEdit(const QString& text);

    Widgets widgets_;
    Desktop& desktop_;
    QString recording_;
    const FileWriteFaults* writeFaults_ = nullptr;
};

} // namespace tavrin
