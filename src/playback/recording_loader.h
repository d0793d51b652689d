#pragma once

#include <QString>

class QTimer;
class QWidget;

namespace tavrin {

class Desktop;
class MediaPlayer;

// Loading a recording into the player, chosen in the file dialog.
class RecordingLoader {
public:
    struct Widgets {
        QWidget* owner = nullptr;         // of the dialog and the messages
        QWidget* editor = nullptr;        // gets the focus back
        QTimer* displayRefresh = nullptr; // runs once a recording is loaded
    };

    RecordingLoader(const Widgets& widgets, MediaPlayer& player, Desktop& desktop);

    // The recording the player now has open; empty when the user cancelled or
    // it could not be played, and the one open before stays open.
    QString chooseAndLoad();
    // Opens `path` again, stopped at `positionMs` (after a crash); false when it cannot be played.
    bool reopenAt(const QString& path, qint64 positionMs);

private:
    Widgets widgets_;
    MediaPlayer& player_;
    Desktop& desktop_;
};

} // namespace tavrin
