#pragma once

#include "desktop/plain_message.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <utility>

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace tavrin {

class MediaPlayer;
class RateSpinBox;

// The controls the transport reads and writes; they belong to the window.
struct TransportWidgets {
    QPushButton* playButton = nullptr; // its caption tells what play/pause did last
    RateSpinBox* rateBox = nullptr;
    QLabel* position = nullptr; // the current position, as the display shows it
    QLabel* duration = nullptr;
    QTimer* displayRefresh = nullptr; // runs refreshDisplay(); play/pause starts it
    QWidget* typingArea = nullptr;    // gets the focus back after play/pause
};

// Play and pause, the steps back and forward, the playing rate and the position
// display: what the control strip and the editor's keys ask of the player.
class TransportController {
public:
    // What play/pause did last. The play button's caption shows it, so the user
    // reads on the button the state the last press put the player in.
    enum class LastAction {
        None,
        Played,
        Paused
    };

    // `settingsFolder` holds the settings file the step lengths are read from.
    TransportController(const TransportWidgets& widgets, MediaPlayer& player, QString settingsFolder,
                        ShowPlainMessage showMessage);

    // Seconds played again when play/pause resumes after a pause; read at every
    // resume. Unset, nothing is played again.
    void setResumeBackStep(std::function<double()> seconds) { resumeBackStep_ = std::move(seconds); }

    // Plays from stopped, paused or ready, pauses while playing; tells the user
    // when no recording is loaded. Resuming after a pause starts the back-step earlier.
    void playPause();
    // Step by the lengths in the settings file, then play. Throw std::runtime_error
    // when the length there is not a whole number.
    void stepBack();
    void stepForward();
    // The player takes the rate the box shows.
    void applyRateFromBox();
    // The rate one step up (1) or down (-1) from the keyboard; failures are dropped.
    void stepRate(int tenths);
    // Shows the player's duration and position.
    void refreshDisplay();

    LastAction lastAction() const { return lastAction_; }

private:
    void stepBy(QStringView key, int direction);
    void stepBackOnResume();
    void setLastAction(LastAction action);

    TransportWidgets widgets_;
    MediaPlayer& player_;
    QString settingsFolder_;
    ShowPlainMessage showMessage_;
    std::function<double()> resumeBackStep_;
    LastAction lastAction_ = LastAction::None;
};

} // namespace tavrin
