#pragma once

#include "files/recovery_journal.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QLabel;
class QWidget;

namespace tavrin {

class Desktop;
class FileMemory;
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
    // The same for a transcript given otherwise (the command line, a drop).
    void load(const QString& path);
    // The player now has `path` open: the transcript belongs to it from now on.
    // Offers first to save unsaved text of the recording open before, then
    // brings back the recording's own transcript, asking when the editor holds
    // other text. Nothing is written without the user's word.
    void takeRecording(const QString& path);

    // Keeps every change in `journal`, which a save retires; none: no journal.
    void setJournal(TranscriptJournal* journal);
    // Brings back the text an earlier run left unsaved (a crash, or closing
    // without saving), newest first, and reopens its recording at its position
    // with `reopen`. True when there was such a text.
    bool recoverUnsaved(const std::function<bool(const QString&, qint64)>& reopen);
    // Remembers which bytes each transcript held when loaded or saved here, and
    // asks before a save replaces other bytes; none: saves never ask.
    void setFileMemory(FileMemory* memory) { fileMemory_ = memory; }

    // Makes saving fail as a full or read-only disk would (tests only).
    void setWriteFaults(const FileWriteFaults* faults) { writeFaults_ = faults; }

private:
    void showMessage(const QString& text);
    bool ask(const QString& question);
    bool refusesToEdit(const QString& text);
    bool saveBeside(const QString& recording);
    bool mayReplace(const QString& transcriptPath);
    bool loadIntoEditor(const QString& path);
    void replaceEditorText(const QString& text);
    void offerToSaveForPrevious(const QString& nextRecording);
    std::optional<ReplayedJournal> unsavedTextOf(const QString& journalPath);
    void bringBack(const QString& journalPath, const ReplayedJournal& replayed);
    void offerNextUnsaved();

    Widgets widgets_;
    Desktop& desktop_;
    QString recording_;
    QString textFile_; // the file the editor's text was last loaded from or saved to
    const FileWriteFaults* writeFaults_ = nullptr;
    TranscriptJournal* journal_ = nullptr;
    FileMemory* fileMemory_ = nullptr;
    std::function<bool(const QString&, qint64)> reopen_;
    QStringList otherUnsaved_; // journals of earlier runs still to offer, newest first
};

} // namespace tavrin
