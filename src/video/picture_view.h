#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QObject>

class QKeyEvent;
class QWindow;

namespace tavrin {

class MediaPlayer;

// What a view of the picture tells.
class PictureNotices : public QObject {
    Q_OBJECT
Q_SIGNALS:
    // libmpv cannot draw the picture here; the view stays black.
    void cannotDraw(const QString& reason);
    // A key typed into the view, to be handed on.
    void keyTyped(QKeyEvent* event);
};

// The recording's picture in a window of its own, the aspect kept (bars where
// the window's shape differs), however it is drawn. The video track is decoded
// from its first paint until it is destroyed.
class PictureView {
public:
    virtual ~PictureView() = default;
    virtual QWindow* window() = 0;
    // True once libmpv draws into this view.
    virtual bool isDrawing() const = 0;
    // What the view shows now (for tests).
    virtual QImage grabPicture() = 0;
    PictureNotices& notices() { return notices_; }

private:
    PictureNotices notices_;
};

// Whether an OpenGL renderer (its GL_RENDERER string) draws on the processor:
// Mesa's llvmpipe, softpipe and swrast, and the like.
bool isSoftwareRenderer(QByteArrayView renderer);

// The view this machine draws the picture best in: through OpenGL where it has
// a graphics processor; where OpenGL itself is drawn on the processor (or is
// missing), by libmpv's software renderer straight into the window, which costs
// a fraction of the software OpenGL's work for each frame.
PictureView* createPictureView(MediaPlayer& player);

} // namespace tavrin
