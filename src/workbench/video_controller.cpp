#include "workbench/video_controller.h"

#include "editor/transcript_edit.h"
#include "files/atomic_file.h"
#include "files/user_folders.h"
#include "player/media_player.h"
#include "video/video_window.h"
#include "video/window_place.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QScreen>

#include <utility>

using namespace Qt::StringLiterals;

namespace tavrin {

namespace {

const QString kGeometry = u"geometry"_s;
const QString kOnTop = u"onTop"_s;
constexpr qint64 kLargestPlaceFile = 64 * 1024;

} // namespace

VideoController::VideoController(const Widgets& widgets, MediaPlayer& player, QString stateFolder,
                                 ShowPlainMessage showMessage)
    : widgets_(widgets)
    , player_(player)
    , stateFolder_(std::move(stateFolder))
    , showMessage_(std::move(showMessage))
    , window_(new VideoWindow(player, widgets.owner))
{
    connect(window_, &VideoWindow::hidden, this, [this] {
        window_->dropPicture();
        keepPlace();
    });
    connect(window_, &VideoWindow::pictureShaped, this, [this](QSize shaped) {
        // Placed for the first size, and not moved since: placed again for the picture's.
        if (placedAt_ && window_->pos() == *placedAt_)
            placeBesideTheText(shaped);
        placedAt_.reset();
    });
    connect(window_, &VideoWindow::keyTyped, this, [this](QKeyEvent* event) {
        QKeyEvent typed(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat(),
                        ushort(event->count()));
        QApplication::sendEvent(widgets_.editor, &typed);
    });
}

VideoController::~VideoController()
{
    delete window_;
}

void VideoController::recordingLoaded(bool hasVideo)
{
    if (hasVideo)
        showWindow();
    else
        hideWindow();
}

void VideoController::toggle()
{
    if (window_->isVisible()) {
        hideWindow();
        return;
    }
    if (!player_.hasVideo()) {
        showMessage_(u"这个录音没有画面。"_s);
        return;
    }
    showWindow();
}

void VideoController::showWindow()
{
    readPlace();
    if (!placed_)
        placeBesideTheText(window_->size());
    window_->showPictureOf(QFileInfo(player_.url()).fileName());
    window_->setStaysOnTop(onTop_);
    window_->show();
    // The typist's keys stay where the typing is.
    widgets_.owner->activateWindow();
    widgets_.editor->setFocus();
}

void VideoController::hideWindow()
{
    if (!window_->isVisible())
        return;
    window_->hide();
    window_->dropPicture();
    keepPlace();
}

void VideoController::setStaysOnTop(bool onTop)
{
    readPlace(); // what else was kept stays
    onTop_ = onTop;
    window_->setStaysOnTop(onTop_);
    keepPlace();
}

void VideoController::close()
{
    hideWindow();
}

void VideoController::placeBesideTheText(QSize size)
{
    placed_ = true;
    QWidget* owner = widgets_.owner;
    // Before the window is first shown its frame is not known: it is taken to be the owner's.
    const QWidget* framed = window_->isVisible() ? window_ : owner;
    const QRect frame = framed->frameGeometry();
    const QRect inside = framed->geometry();
    const QMargins margins(inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
                           frame.bottom() - inside.bottom());
    const QRect text(widgets_.editor->mapToGlobal(QPoint(0, 0)), widgets_.editor->size());
    placedAt_ = placeBeside(owner->screen()->availableGeometry(), owner->frameGeometry(), text, size.grownBy(margins));
    window_->move(*placedAt_);
}

QString VideoController::placeFile() const
{
    return stateFolder_.isEmpty() ? QString() : QDir(stateFolder_).filePath(u"video-window.json"_s);
}

void VideoController::readPlace()
{
    if (placeRead_)
        return;
    placeRead_ = true;
    QFile file(placeFile());
    if (placeFile().isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > kLargestPlaceFile)
        return;
    const QJsonObject place = QJsonDocument::fromJson(file.readAll()).object();
    placed_ = window_->restoreGeometry(QByteArray::fromBase64(place.value(kGeometry).toString().toLatin1()));
    onTop_ = place.value(kOnTop).toBool();
}

void VideoController::keepPlace() const
{
    if (placeFile().isEmpty() || !placeRead_)
        return;
    const QJsonObject place{{kGeometry, QString::fromLatin1(window_->saveGeometry().toBase64())}, {kOnTop, onTop_}};
    try {
        if (ensureUserFolder(stateFolder_))
            writeFileAtomically(placeFile(), QJsonDocument(place).toJson(QJsonDocument::Compact));
    } catch (const std::exception&) {
        // Only the window's place is lost.
    }
}

} // namespace tavrin
