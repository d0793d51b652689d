#include "video/software_video_view.h"

#include "player/media_player.h"
#include "player/player_error.h"
#include "player/video_renderer.h"

#include <QKeyEvent>
#include <QMetaObject>
#include <QPainter>
#include <QPointer>

namespace tavrin {

SoftwareVideoView::SoftwareVideoView(MediaPlayer& player)
    : player_(player)
    , pixels_(this)
{
    setSurfaceType(QSurface::RasterSurface);
}

SoftwareVideoView::~SoftwareVideoView() = default;

void SoftwareVideoView::startDrawing()
{
    try {
        renderer_ = player_.createSoftwareVideoRenderer();
    } catch (const PlayerError& error) {
        Q_EMIT notices().cannotDraw(QString::fromUtf8(error.what()));
        return;
    }
    // Told on one of libmpv's threads; drawn on the window's.
    QPointer<SoftwareVideoView> view(this);
    renderer_->setFrameReady([view] {
        QMetaObject::invokeMethod(
            view.data(),
            [view] {
                if (view)
                    view->drawFrame(false);
            },
            Qt::QueuedConnection);
    });
}

void SoftwareVideoView::exposeEvent(QExposeEvent*)
{
    if (!isExposed())
        return;
    if (!renderer_)
        startDrawing();
    drawFrame(true);
}

void SoftwareVideoView::resizeEvent(QResizeEvent*)
{
    pixels_.resize(size());
}

void SoftwareVideoView::drawFrame(bool again)
{
    // libmpv tells more than new frames; only a frame is worth a draw.
    if (!renderer_ || !isExposed() || (!renderer_->hasNewFrame() && !again))
        return;
    const QRect all(QPoint(0, 0), size());
    pixels_.beginPaint(all);
    auto* shown = static_cast<QImage*>(pixels_.paintDevice());
    // libmpv writes blue, green, red and a byte left as it comes: the window's
    // own pixels where they are laid out so and that byte is not read as alpha.
    if (shown->format() == QImage::Format_RGB32 && QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
        drawInto(*shown);
    } else {
        if (converted_.size() != shown->size())
            converted_ = QImage(shown->size(), QImage::Format_RGB32);
        drawInto(converted_);
        QPainter(shown).drawImage(0, 0, converted_);
    }
    pixels_.endPaint();
    pixels_.flush(all);
    renderer_->reportSwap();
}

void SoftwareVideoView::drawInto(QImage& pixels)
{
    renderer_->drawInto(pixels.bits(), pixels.width(), pixels.height(), std::size_t(pixels.bytesPerLine()));
}

QImage SoftwareVideoView::grabPicture()
{
    // The window's pixels can be read only while painting; none is painted here.
    const QRect all(QPoint(0, 0), size());
    pixels_.beginPaint(all);
    const QImage shown = static_cast<QImage*>(pixels_.paintDevice())->copy();
    pixels_.endPaint();
    return shown;
}

void SoftwareVideoView::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT notices().keyTyped(event);
    event->accept();
}

} // namespace tavrin
