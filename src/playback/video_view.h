#pragma once

#include <QOpenGLWindow>

#include <memory>

namespace tavrin {

class MediaPlayer;
class VideoRenderer;

// The recording's picture, drawn by libmpv into an OpenGL window, the aspect
// kept (bars where the window's shape differs). A window of its own rather
// than a widget: Qt draws an OpenGL widget into a framebuffer and then again
// into its window, which costs a software renderer some twice mpv's own CPU.
// The video track is decoded from its first paint until it is destroyed. A
// picture libmpv cannot draw leaves it black and says why through cannotDraw().
// Keys typed into it are handed on (keyTyped).
class VideoView : public QOpenGLWindow {
    Q_OBJECT
public:
    explicit VideoView(MediaPlayer& player);
    ~VideoView() override;

    // True once libmpv draws into this view.
    bool isDrawing() const { return renderer_ != nullptr; }

Q_SIGNALS:
    void cannotDraw(const QString& reason);
    void keyTyped(QKeyEvent* event);

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
