#include "app/main_window.h"

#include "editor/transcript_edit.h"
#include "playback/rate_spin_box.h"
#include "playback/time_text.h"
#include "settings/integer_text.h"
#include "settings/step_settings.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <stdexcept>

namespace tavrin {

namespace {

const QString kNothingLoaded = QStringLiteral("没有加载音视频文件或格式不正确！");
const QString kPlaying = QStringLiteral("暂停"); // the caption tells what the button did last
const QString kPaused = QStringLiteral("继续");

} // namespace

void TMainForm1::BitBtn4Click()
{
    Memo1->setFocus();
    if (WindowsMediaPlayer1->url().isEmpty()) {
        showPlainMessage(kNothingLoaded);
        return;
    }
    switch (WindowsMediaPlayer1->playState()) {
    case PlayStateStopped:
    case PlayStatePaused:
    case PlayStateReady:
        WindowsMediaPlayer1->play();
        BitBtn4->setText(kPlaying);
        break;
    case PlayStatePlaying:
        WindowsMediaPlayer1->pause();
        BitBtn4->setText(kPaused);
        break;
    default:
        break;
    }
    Timer1->start();
}

void TMainForm1::stepBy(QStringView key, int direction)
{
    // The step length is read afresh on every press, so a change to the
    // settings file applies from the next press on.
    const QString value = readStepSetting(environment_.programFolder, key);
    const double position = WindowsMediaPlayer1->currentPosition();
    const std::optional<qint32> seconds = parseInteger(value);
    if (!seconds)
        throw std::runtime_error(notValidIntegerMessage(value).toStdString());
    WindowsMediaPlayer1->setCurrentPosition(position + direction * double(*seconds));
    WindowsMediaPlayer1->play();
}

void TMainForm1::BitBtn7Click()
{
    stepBy(kStepBackKey, -1);
}

void TMainForm1::BitBtn2Click()
{
    stepBy(kStepForwardKey, +1);
}

void TMainForm1::RzSpinEdit1Change()
{
    WindowsMediaPlayer1->setRate(RzSpinEdit1->value());
}

void TMainForm1::stepRate(int tenths)
{
    // From the keyboard the rate steps silently: neither the box nor the player
    // may interrupt typing with a message.
    try {
        {
            const QSignalBlocker quiet(RzSpinEdit1);
            RzSpinEdit1->setTenths(RzSpinEdit1->tenths() + tenths);
        }
        WindowsMediaPlayer1->setRate(RzSpinEdit1->value());
    } catch (...) {
    }
}

void TMainForm1::Timer1Timer()
{
    try {
        Label6->setText(displayTimeText(WindowsMediaPlayer1->durationString()));
        Label1->setText(displayTimeText(WindowsMediaPlayer1->currentPositionString()));
    } catch (...) {
        // A tick that fails keeps what was shown; the next one tries again.
    }
}

} // namespace tavrin
