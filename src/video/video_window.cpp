#include "video/video_window.h"

#include "player/media_player.h"
#include "video/picture_fit.h"
#include "video/picture_view.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <QWindow>

namespace tavrin {

namespace {

constexpr QSize kFirstSize(640, 360);
constexpr int kLookIntervalMs = 250;
// Long enough that a drag of the window's edge has ended, so the shape is not
// fought over with the window manager while the user still holds the edge.
constexpr int kResizeSettledMs = 300;

} // namespace

VideoWindow::VideoWindow(MediaPlayer& player, QWidget* owner)
    // A tool window of the main one (transient for it): kept above it, so that
    // typing in the editor never hides the picture, and above no other program.
    : QWidget(owner, Qt::Tool)
    , player_(player)
    , problem_(new QLabel(this))
{
    setObjectName(QStringLiteral("VideoWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(kFirstSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    problem_->setObjectName(QStringLiteral("problem"));
    problem_->setAlignment(Qt::AlignCenter);
    problem_->setWordWrap(true);
    problem_->hide();
    layout->addWidget(problem_);
    setStyleSheet(QStringLiteral("QWidget#VideoWindow { background: black; } QLabel#problem { color: white; }"));
    pictureLook_.setInterval(kLookIntervalMs);
    connect(&pictureLook_, &QTimer::timeout, this, &VideoWindow::lookAtPicture);
    shapeAfterResize_.setSingleShot(true);
    shapeAfterResize_.setInterval(kResizeSettledMs);
    connect(&shapeAfterResize_, &QTimer::timeout, this, &VideoWindow::takePictureShape);
}

void VideoWindow::showPictureOf(const QString& name)
{
    dropPicture();
    setWindowTitle(name);
    view_ = createPictureView(player_);
    connect(&view_->notices(), &PictureNotices::cannotDraw, this, &VideoWindow::showProblem);
    connect(&view_->notices(), &PictureNotices::keyTyped, this, &VideoWindow::keyTyped);
    viewHolder_ = QWidget::createWindowContainer(view_->window(), this); // owns the view from now on
    layout()->addWidget(viewHolder_);
    watch_ = PictureWatch();
    pictureLook_.start();
}

void VideoWindow::dropPicture()
{
    pictureLook_.stop();
    delete viewHolder_; // and the view with it
    viewHolder_ = nullptr;
    view_ = nullptr;
    problem_->hide();
}

void VideoWindow::setStaysOnTop(bool onTop)
{
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (flags == windowFlags())
        return;
    // Told to the window system as it is: setWindowFlags would make the window
    // anew, and the surface the picture is drawn on with it, left black.
    overrideWindowFlags(flags);
    if (QWindow* shown = windowHandle())
        shown->setFlags(flags);
}

void VideoWindow::lookAtPicture()
{
    // Only a picture being drawn can be judged; one that cannot be drawn is told already.
    if (!view_ || !view_->isDrawing())
        return;
    switch (watch_.look(player_.currentPosition(), player_.pictureDecoded())) {
    case PictureWatch::Verdict::Waiting:
        break;
    case PictureWatch::Verdict::Undecodable:
        if (problem_->isHidden())
            showProblem(QStringLiteral("视频画面无法解码"));
        break;
    case PictureWatch::Verdict::Decoding:
        pictureLook_.stop();
        hideProblem();
        shapedSize_ = size();
        takePictureShape();
        Q_EMIT pictureShaped(shapedSize_);
        break;
    }
}

void VideoWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // What the window manager makes of a reshape is taken as it comes: asking
    // again for a size it will not give would only go round.
    if (reshaping_) {
        reshaping_ = false;
        shapedSize_ = size();
        return;
    }
    if (size() != shapedSize_ && !pictureLook_.isActive() && view_)
        shapeAfterResize_.start();
}

void VideoWindow::takePictureShape()
{
    const std::optional<double> aspect = player_.pictureAspect();
    if (!aspect || !view_)
        return;
    const QSize shaped = fitToAspect(size(), shapedSize_, *aspect);
    shapedSize_ = shaped;
    if (shaped != size()) {
        reshaping_ = true;
        resize(shaped);
    }
}

QString VideoWindow::problem() const
{
    return problem_->isVisible() ? problem_->text() : QString();
}

void VideoWindow::showProblem(const QString& reason)
{
    problem_->setText(QStringLiteral("无法显示画面：%1\n声音照常播放。").arg(reason));
    problem_->show();
    if (viewHolder_)
        viewHolder_->hide();
}

void VideoWindow::hideProblem()
{
    problem_->hide();
    if (viewHolder_)
        viewHolder_->show();
}

void VideoWindow::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT keyTyped(event);
    event->accept();
}

void VideoWindow::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
}

void VideoWindow::closeEvent(QCloseEvent* event)
{
    // Closed, it is hidden: the picture can be shown again, playback goes on.
    event->ignore();
    hide();
    Q_EMIT hidden();
}

} // namespace tavrin
