#pragma once

#include <QOpenGLWidget>

#include <memory>

namespace tavrin {

class MediaPlayer;
class VideoRenderer;

// The recording's picture, drawn by libmpv into an OpenGL widget, the aspect
// kept (bars where the widget's shape differs). The video track is decoded from
// its first paint until it is destroyed. A picture libmpv cannot draw leaves
// the widget black and says why through cannotDraw().
class VideoView : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit VideoView(MediaPlayer& player, QWidget* parent = nullptr);
    ~VideoView() override;

    // True once libmpv draws into this view.
    bool isDrawing() const { return renderer_ != nullptr; }

Q_SIGNALS:
    void cannotDraw(const QString& reason);

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    MediaPlayer& player_;
    std::unique_ptr<VideoRenderer> renderer_;
};

} // namespace tavrin
