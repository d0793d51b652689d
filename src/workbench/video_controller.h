#pragma once

#include "desktop/plain_message.h"

#include <QObject>
#include <QString>

class QWidget;

namespace tavrin {

class MediaPlayer;
class TranscriptEdit;
class VideoWindow;

// The video window: opened when a recording with a picture is loaded, hidden
// for one without, shown and hidden from the menu and the editor's key, where
// the user left it last time (kept in the state folder), above other windows
// if asked. While hidden, no picture is decoded. Keys typed into it go to the
// editor as if typed there.
class VideoController : public QObject {
    Q_OBJECT
public:
    struct Widgets {
        QWidget* owner = nullptr; // the main window
        TranscriptEdit* editor = nullptr;
    };

    // `stateFolder` keeps the window's place; empty: it is not kept.
    VideoController(const Widgets& widgets, MediaPlayer& player, QString stateFolder, ShowPlainMessage showMessage);
    // The window and its renderer go with it, while the player still lives:
    // libmpv refuses to end with a renderer left.
    ~VideoController() override;

    void toggle();
    void setStaysOnTop(bool onTop);
    bool staysOnTop() const { return onTop_; }
    // The window closes with the main one; its place is kept.
    void close();

    VideoWindow& window() { return *window_; }

private:
    void recordingLoaded(bool hasVideo);
    void showWindow();
    void hideWindow();
    void readPlace();
    void keepPlace() const;
    QString placeFile() const;

    Widgets widgets_;
    MediaPlayer& player_;
    QString stateFolder_;
    ShowPlainMessage showMessage_;
    VideoWindow* window_;
    bool onTop_ = false;
    bool placeRead_ = false;
};

} // namespace tavrin
