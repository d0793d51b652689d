#pragma once

#include "desktop/plain_message.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <optional>

class QWidget;

namespace tavrin {

class MediaPlayer;
class TranscriptEdit;
class VideoWindow;

// The video window: opened when a recording with a picture is loaded, hidden
// for one without, shown and hidden from the menu and the editor's key, where
// the user left it last time (kept in the state folder; the first time, beside
// the main window), above the main window, and above other windows if asked.
// While hidden, no picture is decoded. Keys typed into it go to the editor as
// if typed there.
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

    // A recording opened: its picture shown in the window, or the window hidden when it has none.
    void recordingLoaded(bool hasVideo);

private:
    void showWindow();
    void hideWindow();
    void readPlace();
    // The first time, with no place kept: beside the main window where the
    // screen has room for a window of `size`, else where it covers the least
    // of the editor.
    void placeBesideTheText(QSize size);
    void keepPlace() const;
    QString placeFile() const;

    Widgets widgets_;
    MediaPlayer& player_;
    QString stateFolder_;
    ShowPlainMessage showMessage_;
    VideoWindow* window_;
    bool onTop_ = false;
    bool placeRead_ = false;
    bool placed_ = false;            // the window has a place: kept from last time, or given it
    std::optional<QPoint> placedAt_; // given, for the first size, until the picture's shape is known
};

} // namespace tavrin
