#pragma once

#include <QString>

#include <functional>

class QLabel;
class QWidget;

namespace tavrin {

class Desktop;
class TranscriptEdit;
class TranscriptJournal;
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
    void setRecording(const QString& path);

    void save();
    void chooseAndLoad();

    // Keeps every change in `journal`, which a save retires; none: no journal.
    void setJournal(TranscriptJournal* journal) { journal_ = journal; }
    // Brings back the text an earlier run left unsaved (a crash, or closing
    // without saving), newest first, and reopens its recording at its position
    // with `reopen`. True when there was such a text.
    bool recoverUnsaved(const std::function<bool(const QString&, qint64)>& reopen);

    // Makes saving fail as a full or read-only disk would (tests only).
    void setWriteFaults(const FileWriteFaults* faults) { writeFaults_ = faults; }

private:
    void showMessage(const QString& text);
    bool refusesToEdit(const QString& text);

    Widgets widgets_;
    Desktop& desktop_;
    QString recording_;
    const FileWriteFaults* writeFaults_ = nullptr;
    TranscriptJournal* journal_ = nullptr;
};

} // namespace tavrin
