#pragma once

#include "video/picture_watch.h"

#include <QSize>
#include <QTimer>
#include <QWidget>

class QLabel;
class QWidget;

namespace tavrin {

class MediaPlayer;
class PictureView;

// The recording's picture in a window of its own, beside the main window and
// above it.
// Closing it only hides it; the keys typed into it are handed on (keyTyped),
// so that the typing and the transport keys work from here as in the editor.
// A picture that does not decode while the sound plays on is told in the
// window itself, never in a box that would take the keys. Resized, the window
// takes the picture's shape once the user lets go.
class VideoWindow : public QWidget {
    Q_OBJECT
public:
    VideoWindow(MediaPlayer& player, QWidget* owner);

    // Shows the picture of the recording at `name` (a new view, so a new
    // recording's picture); hidden until shown.
    void showPictureOf(const QString& name);
    // Stops drawing and decoding the picture.
    void dropPicture();
    bool hasPicture() const { return view_ != nullptr; }
    // The message shown instead of a picture that cannot be drawn; empty: none.
    QString problem() const;
    PictureView* view() const { return view_; }
    // Above other windows or not, shown or hidden, the picture going on.
    void setStaysOnTop(bool onTop);

Q_SIGNALS:
    void keyTyped(QKeyEvent* event);
    void hidden();
    // The window has taken the shape of a picture first decoded: `size`.
    void pictureShaped(QSize size);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showProblem(const QString& reason);
    void hideProblem();
    void lookAtPicture();
    void takePictureShape();

    MediaPlayer& player_;
    PictureView* view_ = nullptr;
    QWidget* viewHolder_ = nullptr; // the view in the window's layout
    QLabel* problem_;
    PictureWatch watch_;
    QTimer pictureLook_;      // while a picture is awaited or given up on
    QTimer shapeAfterResize_; // once a resize has settled
    QSize shapedSize_;        // the size last given the picture's shape
    bool reshaping_ = false;  // the window's own resize, not yet answered
};

} // namespace tavrin
