#pragma once

#include <QList>
#include <QString>
#include <QUrl>

#include <memory>

class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

namespace tavrin {

class Desktop;
struct DroppedFile;
class FileMemory;
class MediaPlayer;
class RecordingLoader;
class TranscriptController;
class TranscriptEdit;
class TranscriptJournal;

// The work in hand: one recording and the transcript typed for it. Which
// transcript goes with which recording, what is opened, given or dropped,
// what an earlier run left unsaved, saving, and what is kept when the window
// closes.
class TranscriptionWork {
public:
    struct Widgets {
        QWidget* owner = nullptr; // of the dialogs and messages; raised when files are dropped on it
        TranscriptEdit* editor = nullptr;
        QLabel* savedNotice = nullptr;    // tells that the last save succeeded
        QTimer* displayRefresh = nullptr; // runs once a recording is loaded
        QLineEdit* timeBox = nullptr;     // shows where the user stopped last time
    };

    // `stateFolder` keeps, between runs, the recovery journals of unsaved text
    // and what is known of the files worked with; empty: nothing is kept.
    TranscriptionWork(const Widgets& widgets, MediaPlayer& player, Desktop& desktop, const QString& stateFolder);
    ~TranscriptionWork();

    // A recording and a transcript chosen in their dialogs.
    void chooseRecording();
    void chooseTranscript();
    // Files given on the command line or dropped: a recording as choosing it
    // loads it, a transcript as choosing it does; either may be empty.
    void open(const QString& recording, const QString& transcript);
    // Opens what was dropped once the drop is over, so that the file manager is
    // not kept waiting while the recording opens and its messages are read.
    void openDropped(const QList<QUrl>& urls);
    // Saves the transcript beside its recording, and where playback stands in it.
    void save();
    // Brings back the text an earlier run left unsaved, with its recording.
    void recoverUnsaved();
    // The window closes: unsaved text stays for the next start, and where playback stands is kept.
    void close();

    TranscriptController& transcript() { return *transcript_; }
    // What is remembered of the files worked with; none without a state folder.
    FileMemory* memory() { return memory_.get(); }

private:
    void openDroppedNow(const DroppedFile& dropped);

    Widgets widgets_;
    Desktop& desktop_;
    std::unique_ptr<FileMemory> memory_;
    std::unique_ptr<TranscriptJournal> journal_; // none without a state folder
    std::unique_ptr<TranscriptController> transcript_;
    std::unique_ptr<RecordingLoader> recordings_;
};

} // namespace tavrin
