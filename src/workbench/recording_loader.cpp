#include "workbench/recording_loader.h"

#include "desktop/command_runner.h"
#include "desktop/desktop.h"
#include "files/file_memory.h"
#include "player/media_player.h"
#include "transcript/time_text.h"

#include <QLineEdit>
#include <QTimer>

#include <QWidget>
#include <cmath>

namespace tavrin {

namespace {

const QString kRecordingDialogTitle = QStringLiteral("请选择录音文件");
const QString kRecordingFilter = QStringLiteral("录音文件 (*)");
const QString kRecordingLoaded =
    QStringLiteral("加载音视频文件成功！点击保存文稿按钮后，可以通过按快捷键空格（回车）进行播放与暂停边听边整理了。");
const QString kRecordingFailed = QStringLiteral("加载音视频文件失败！");

} // namespace

RecordingLoader::RecordingLoader(const Widgets& widgets, MediaPlayer& player, Desktop& desktop)
    : widgets_(widgets)
    , player_(player)
    , desktop_(desktop)
{
}

QString RecordingLoader::chooseAndLoad()
{
    // The player (libmpv and the libraries it brings, some 60 MB) starts only
    // when it is first needed, while the user looks for the recording.
    player_.startInBackground();
    const QString path = desktop_.chooseFileToOpen(widgets_.owner, kRecordingDialogTitle, kRecordingFilter);
    const QString loaded = path.isEmpty() ? QString() : load(path);
    widgets_.editor->setFocus();
    return loaded;
}

QString RecordingLoader::load(const QString& path)
{
    rememberPosition();
    try {
        // The player waits for its verdict: a file it cannot play is a failure.
        player_.setUrl(path);
        open_ = path;
        player_.stop();
        widgets_.displayRefresh->start();
        showRememberedPosition(path);
        showPlainMessage(desktop_, widgets_.owner, kRecordingLoaded);
        return path;
    } catch (const std::exception&) {
        showPlainMessage(desktop_, widgets_.owner, kRecordingFailed);
        return {};
    }
}

bool RecordingLoader::reopenAt(const QString& path, qint64 positionMs)
{
    try {
        player_.setUrl(path);
        player_.stop();
        player_.setCurrentPosition(double(positionMs) / 1000.0);
        open_ = path;
        widgets_.displayRefresh->start();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void RecordingLoader::rememberPosition()
{
    if (fileMemory_ && !open_.isEmpty())
        fileMemory_->rememberPosition(open_, qint64(std::llround(player_.currentPosition() * 1000.0)));
}

// The recording still starts stopped at its beginning: one click on the time
// box's button goes on where the user stopped.
void RecordingLoader::showRememberedPosition(const QString& path)
{
    const std::optional<qint64> positionMs = fileMemory_ ? fileMemory_->positionMs(path) : std::nullopt;
    if (positionMs && *positionMs >= 1000)
        widgets_.timeBox->setText(displayTimeText(playerTimeText(double(*positionMs) / 1000.0)));
}

} // namespace tavrin
