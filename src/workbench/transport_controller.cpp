#include "workbench/transport_controller.h"

#include "controls/rate_spin_box.h"
#include "desktop/app_texts.h"
#include "player/media_player.h"
#include "settings/integer_text.h"
#include "settings/step_settings.h"
#include "transcript/time_text.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tavrin {

namespace {

const QString kPlayed = QStringLiteral("暂停");
const QString kPaused = QStringLiteral("继续");

} // namespace

TransportController::TransportController(const TransportWidgets& widgets, MediaPlayer& player, QString settingsFolder,
                                         ShowPlainMessage showMessage)
    : widgets_(widgets)
    , player_(player)
    , settingsFolder_(std::move(settingsFolder))
    , showMessage_(std::move(showMessage))
{
}

void TransportController::playPause()
{
    widgets_.typingArea->setFocus();
    if (player_.url().isEmpty()) {
        showMessage_(texts::kNothingLoaded.toString());
        return;
    }
    switch (player_.playState()) {
    case PlayStatePaused:
        stepBackOnResume();
        [[fallthrough]];
    case PlayStateStopped:
    case PlayStateReady:
        player_.play();
        setLastAction(LastAction::Played);
        break;
    case PlayStatePlaying:
        player_.pause();
        setLastAction(LastAction::Paused);
        break;
    default:
        break;
    }
    widgets_.displayRefresh->start();
}

void TransportController::stepBackOnResume()
{
    // Only on resuming: a pause leaves the position where the words stopped,
    // so a time mark taken while paused is true.
    const double seconds = resumeBackStep_ ? resumeBackStep_() : 0.0;
    if (seconds <= 0.0)
        return;
    const double position = player_.currentPosition();
    double target = std::max(0.0, position - seconds);
    // Inside a loop the words come again from no earlier than its start, so the loop stays.
    if (const auto loop = player_.loop(); loop && position >= loop->start)
        target = std::max(target, loop->start);
    player_.setCurrentPosition(target);
}

void TransportController::setLastAction(LastAction action)
{
    lastAction_ = action;
    // Until the first press the button keeps the caption the layout gave it.
    if (action != LastAction::None)
        widgets_.playButton->setText(action == LastAction::Played ? kPlayed : kPaused);
}

void TransportController::stepBy(QStringView key, int direction)
{
    // The step length is read afresh on every press, so a change to the
    // settings file applies from the next press on.
    const QString value = readStepSetting(settingsFolder_, key);
    const double position = player_.currentPosition();
    const std::optional<qint32> seconds = parseInteger(value);
    if (!seconds)
        throw std::runtime_error(notValidIntegerMessage(value).toStdString());
    player_.setCurrentPosition(position + direction * double(*seconds));
    player_.play();
}

void TransportController::stepBack()
{
    stepBy(kStepBackKey, -1);
}

void TransportController::stepForward()
{
    stepBy(kStepForwardKey, +1);
}

void TransportController::applyRateFromBox()
{
    player_.setRate(widgets_.rateBox->value());
}

void TransportController::stepRate(int tenths)
{
    // From the keyboard the rate steps silently: neither the box nor the player
    // may interrupt typing with a message.
    try {
        {
            const QSignalBlocker quiet(widgets_.rateBox);
            widgets_.rateBox->setTenths(widgets_.rateBox->tenths() + tenths);
        }
        player_.setRate(widgets_.rateBox->value());
    } catch (...) {
    }
}

void TransportController::refreshDisplay()
{
    try {
        widgets_.duration->setText(displayTimeText(player_.durationString()));
        widgets_.position->setText(displayTimeText(player_.currentPositionString()));
    } catch (...) {
        // A tick that fails keeps what was shown; the next one tries again.
    }
}

} // namespace tavrin
