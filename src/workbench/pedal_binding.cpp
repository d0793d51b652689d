#include "workbench/pedal_binding.h"

#include "desktop/command_runner.h"
#include "dialogs/pedal_options_dialog.h"
#include "pedals/pedal_commands.h"
#include "pedals/pedal_messages.h"
#include "pedals/pedal_source.h"
#include "player/media_player.h"
#include "settings/pedal_options.h"
#include "workbench/passage_navigator.h"
#include "workbench/transport_controller.h"

#include <QApplication>

#include <utility>

namespace tavrin {

PedalBinding::PedalBinding(QWidget* owner, const Commands& commands, MediaPlayer& player, Desktop& desktop,
                           QString settingsFolder)
    : owner_(owner)
    , desktop_(desktop)
    , settingsFolder_(std::move(settingsFolder))
    , source_(new PedalSource(this))
    , dialog_(new PedalOptionsDialog(owner, desktop, settingsFolder_))
{
    createCommands(commands, player);
    connectSource();
    connect(dialog_, &PedalOptionsDialog::optionsSaved, this, &PedalBinding::useOptions);
}

void PedalBinding::createCommands(const Commands& commands, MediaPlayer& player)
{
    TransportController& transport = commands.transport;
    PassageNavigator& passages = commands.passages;
    PedalActions actions{
        .playPause = [&transport] { transport.playPause(); },
        .stepBack = [&transport] { transport.stepBack(); },
        .stepForward = [&transport] { transport.stepForward(); },
        .previousPassage = [&passages] { passages.goToPrevious(); },
        .nextPassage = [&passages] { passages.goToNext(); },
        .isPlaying = [&player] { return player.playState() == PlayStatePlaying; },
        .run = [this](const std::function<void()>& command) { runCommand(desktop_, owner_, command); },
        // As the keys, the pedals wait while a message or dialog is open; the
        // pedal dialog's test row still sees them.
        .blocked = [] { return QApplication::activeModalWidget() != nullptr; },
    };
    commands_ = new PedalCommands(std::move(actions), this);
}

void PedalBinding::connectSource()
{
    connect(source_, &PedalSource::pressed, this, [this](PedalButton button) {
        dialog_->showPedalDown(int(button), true);
        commands_->press(int(button));
    });
    connect(source_, &PedalSource::released, this, [this](PedalButton button) {
        dialog_->showPedalDown(int(button), false);
        commands_->release(int(button));
    });
    connect(source_, &PedalSource::devicesChanged, this, [this] { dialog_->showFoundDevices(source_->devicePaths()); });
    connect(source_, &PedalSource::cannotOpen, this,
            [this](const QString& path, int errorNumber) { showMessage(cannotOpenPedalText(path, errorNumber)); });
}

void PedalBinding::start(bool findPedals)
{
    const StoredPedalOptions stored = readPedalOptions(settingsFolder_);
    for (const QString& problem : stored.problems)
        showMessage(problem);
    useOptions(stored.options);
    if (findPedals)
        source_->start();
}

void PedalBinding::useOptions(const PedalOptions& options)
{
    commands_->setOptions(options);
    source_->setExtraDevicePath(options.devicePath);
    source_->setPedalKeys(options.pedalKeys);
}

void PedalBinding::showOptions()
{
    dialog_->exec();
}

void PedalBinding::closeOptions()
{
    dialog_->close();
}

void PedalBinding::showMessage(const QString& text)
{
    showPlainMessage(desktop_, owner_, text);
}

} // namespace tavrin
