// The foot pedals: found and read by PedalSource, turned into the play/pause
// and step commands the buttons run by PedalCommands, set up in 脚踏板设置.
#include "app/main_window.h"

#include "playback/pedal_commands.h"
#include "playback/pedals/pedal_messages.h"
#include "playback/pedals/pedal_source.h"
#include "settings/pedal_options.h"
#include "settings/pedal_options_dialog.h"

#include <QApplication>

namespace tavrin {

void TMainForm1::createPedals()
{
    pedalSource_ = new PedalSource(this);
    PedalActions actions{
        .playPause = [this] { BitBtn4Click(); },
        .stepBack = [this] { BitBtn7Click(); },
        .stepForward = [this] { BitBtn2Click(); },
        .isPlaying = [this] { return WindowsMediaPlayer1->playState() == PlayStatePlaying; },
        .run = [this](const std::function<void()>& command) { runCommand(command); },
        // As the keys, the pedals wait while a message or dialog is open; the
        // pedal dialog's test row still sees them.
        .blocked = [] { return QApplication::activeModalWidget() != nullptr; },
    };
    pedalCommands_ = new PedalCommands(std::move(actions), this);
    pedalOptionsDialog = new PedalOptionsDialog(this, *environment_.desktop, environment_.settingsFolder);

    connect(pedalSource_, &PedalSource::pressed, this, [this](PedalButton button) {
        pedalOptionsDialog->showPedalDown(int(button), true);
        pedalCommands_->press(int(button));
    });
    connect(pedalSource_, &PedalSource::released, this, [this](PedalButton button) {
        pedalOptionsDialog->showPedalDown(int(button), false);
        pedalCommands_->release(int(button));
    });
    connect(pedalSource_, &PedalSource::devicesChanged, this,
            [this] { pedalOptionsDialog->showFoundDevices(pedalSource_->devicePaths()); });
    connect(pedalSource_, &PedalSource::cannotOpen, this,
            [this](const QString& path, int errorNumber) { showPlainMessage(cannotOpenPedalText(path, errorNumber)); });
    connect(pedalOptionsDialog, &PedalOptionsDialog::optionsSaved, this, &TMainForm1::usePedalOptions);
}

// Read once the window is up: opening the devices need not hold up its first sight.
void TMainForm1::startPedals()
{
    const StoredPedalOptions stored = readPedalOptions(environment_.settingsFolder);
    for (const QString& problem : stored.problems)
        showPlainMessage(problem);
    usePedalOptions(stored.options);
    if (environment_.findPedals)
        pedalSource_->start();
}

void TMainForm1::usePedalOptions(const PedalOptions& options)
{
    pedalCommands_->setOptions(options);
    pedalSource_->setExtraDevicePath(options.devicePath);
    pedalSource_->setPedalKeys(options.pedalKeys);
}

void TMainForm1::showPedalOptions()
{
    pedalOptionsDialog->exec();
}

} // namespace tavrin
