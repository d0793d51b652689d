#pragma once

#include "video/picture_view.h"

#include <QBackingStore>
#include <QWindow>

#include <memory>

namespace tavrin {

class MediaPlayer;
class VideoRenderer;

// The picture drawn by libmpv's software renderer straight into the window's
// own pixels, which the window system then shows: on a machine whose OpenGL is
// drawn on the processor, a frame costs a colour conversion, where the OpenGL
// renderer's texture uploads and passes cost several times that. A new frame is
// drawn at once, never waited for on the window's thread.
class SoftwareVideoView : public QWindow, public PictureView {
    Q_OBJECT
public:
    explicit SoftwareVideoView(MediaPlayer& player);
    ~SoftwareVideoView() override;

    QWindow* window() override { return this; }
    bool isDrawing() const override { return renderer_ != nullptr; }
    QImage grabPicture() override;

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void startDrawing();
    // Draws the frame libmpv has ready; `again`: the one shown, when there is none.
    void drawFrame(bool again);
    void drawInto(QImage& pixels);

    MediaPlayer& player_;
    std::unique_ptr<VideoRenderer> renderer_;
    QBackingStore pixels_;
    QImage converted_; // where the window's pixels are not libmpv's format
};

} // namespace tavrin
