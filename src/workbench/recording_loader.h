#pragma once

#include <QString>

class QLineEdit;
class QTimer;
class QWidget;

namespace tavrin {

class Desktop;
class FileMemory;
class MediaPlayer;

// Loading a recording into the player, chosen in the file dialog.
class RecordingLoader {
public:
    struct Widgets {
        QWidget* owner = nullptr;         // of the dialog and the messages
        QWidget* editor = nullptr;        // gets the focus back
        QTimer* displayRefresh = nullptr; // runs once a recording is loaded
        QLineEdit* timeBox = nullptr;     // shows where the user stopped last time
    };

    RecordingLoader(const Widgets& widgets, MediaPlayer& player, Desktop& desktop);

    // The recording the player now has open; empty when the user cancelled or
    // it could not be played, and the one open before stays open.
    QString chooseAndLoad();
    // The same for a recording given otherwise (the command line, a drop).
    QString load(const QString& path);
    // Opens `path` again, stopped at `positionMs` (after a crash); false when it cannot be played.
    bool reopenAt(const QString& path, qint64 positionMs);

    // Keeps where playback was in each recording, shown in the time box when it
    // is loaded again; none: nothing is kept.
    void setFileMemory(FileMemory* memory) { fileMemory_ = memory; }
    // Keeps where playback is now in the open recording.
    void rememberPosition();

private:
    void showRememberedPosition(const QString& path);

    Widgets widgets_;
    MediaPlayer& player_;
    Desktop& desktop_;
    FileMemory* fileMemory_ = nullptr;
    QString open_; // the recording the player has open
};

} // namespace tavrin
