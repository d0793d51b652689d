#include "video/video_view.h"

#include "player/media_player.h"
#include "player/player_error.h"
#include "player/video_renderer.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QOpenGLContext>
#include <QPointer>

namespace tavrin {

namespace {

void* procAddress(void*, const char* name)
{
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(QByteArray(name))) : nullptr;
}

} // namespace

VideoView::VideoView(MediaPlayer& player)
    : player_(player)
{
}

void VideoView::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT notices().keyTyped(event);
    event->accept();
}

VideoView::~VideoView()
{
    // The renderer goes with the context it was made on.
    makeCurrent();
    renderer_.reset();
    doneCurrent();
}

void VideoView::initializeGL()
{
    try {
        renderer_ = player_.createVideoRenderer(procAddress);
    } catch (const PlayerError& error) {
        Q_EMIT notices().cannotDraw(QString::fromUtf8(error.what()));
        return;
    }
    connect(this, &QOpenGLWindow::frameSwapped, this, [this] {
        if (renderer_)
            renderer_->reportSwap();
    });
    // Told on one of libmpv's threads; drawn on the window's.
    QPointer<VideoView> view(this);
    renderer_->setFrameReady([view] {
        QMetaObject::invokeMethod(
            view.data(),
            [view] {
                if (view)
                    view->drawNow();
            },
            Qt::QueuedConnection);
    });
}

// A new frame is drawn at once rather than through update(), which waits for
// Qt's next update tick and at twice the rate made libmpv drop late frames.
void VideoView::drawNow()
{
    // libmpv tells more than new frames; only a frame is worth a draw.
    if (!renderer_ || !isExposed() || !renderer_->hasNewFrame())
        return;
    makeCurrent();
    paintGL();
    context()->swapBuffers(this);
    renderer_->reportSwap();
}

void VideoView::paintGL()
{
    if (!renderer_)
        return;
    const qreal scale = devicePixelRatio();
    renderer_->draw(int(defaultFramebufferObject()), int(width() * scale), int(height() * scale));
}

} // namespace tavrin
