#pragma once

#include "video/picture_view.h"

#include <QOpenGLWindow>

#include <memory>

namespace tavrin {

class MediaPlayer;
class VideoRenderer;

// The recording's picture, drawn by libmpv into an OpenGL window. A window of
// its own rather than a widget: Qt draws an OpenGL widget into a framebuffer
// and then again into its window, which costs a software renderer some twice
// mpv's own CPU. A picture libmpv cannot draw leaves it black and says why.
class VideoView : public QOpenGLWindow, public PictureView {
    Q_OBJECT
public:
    explicit VideoView(MediaPlayer& player);
    ~VideoView() override;

    QWindow* window() override { return this; }
    bool isDrawing() const override { return renderer_ != nullptr; }
    QImage grabPicture() override { return grabFramebuffer(); }

protected:
    void initializeGL() override;
    void paintGL() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void drawNow();

    MediaPlayer& player_;
    std::unique_ptr<VideoRenderer> renderer_;
};

} // namespace tavrin
