#include "playback/video_window.h"

#include "playback/video_view.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrin {

namespace {

constexpr QSize kFirstSize(640, 360);

} // namespace

VideoWindow::VideoWindow(MediaPlayer& player, QWidget* owner)
    : QWidget(owner, Qt::Window)
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
}

void VideoWindow::showPictureOf(const QString& name)
{
    dropPicture();
    setWindowTitle(name);
    view_ = new VideoView(player_);
    connect(view_, &VideoView::cannotDraw, this, &VideoWindow::showProblem);
    connect(view_, &VideoView::keyTyped, this, &VideoWindow::keyTyped);
    viewHolder_ = QWidget::createWindowContainer(view_, this); // owns the view from now on
    layout()->addWidget(viewHolder_);
}

void VideoWindow::dropPicture()
{
    delete viewHolder_; // and the view with it
    viewHolder_ = nullptr;
    view_ = nullptr;
    problem_->hide();
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
