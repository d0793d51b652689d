#include "workbench/player_strip.h"

#include "controls/player_controls.h"
#include "desktop/app_texts.h"
#include "desktop/command_runner.h"
#include "player/media_player.h"
#include "player/passage_loop.h"
#include "transcript/time_mark_watcher.h"
#include "waveform/waveform_builder.h"
#include "workbench/time_mark_controller.h"

namespace tavrin {

PlayerStrip::PlayerStrip(const Widgets& widgets, const Engines& engines, const QString& waveformCacheFolder)
    : widgets_(widgets)
    , engines_(engines)
    , waveforms_(waveformCacheFolder.isEmpty() ? new WaveformBuilder(this)
                                               : new WaveformBuilder(waveformCacheFolder, this))
{
    connectRequests();
    connectState();
    showMarks();
    showWaveforms();
    tellFailures();
}

// What the bar asks for goes to the player as it is; a failure comes back through failed().
void PlayerStrip::connectRequests()
{
    PlayerControls* controls = widgets_.controls;
    MediaPlayer* player = &engines_.player;
    connect(controls, &PlayerControls::playRequested, player, &MediaPlayer::requestPlay);
    connect(controls, &PlayerControls::pauseRequested, player, &MediaPlayer::requestPause);
    connect(controls, &PlayerControls::stopRequested, player, &MediaPlayer::requestStop);
    connect(controls, &PlayerControls::seekRequested, player, &MediaPlayer::requestPosition);
    connect(controls, &PlayerControls::volumeRequested, player, &MediaPlayer::requestVolume);
    connect(controls, &PlayerControls::muteRequested, player, &MediaPlayer::requestMuted);
}

void PlayerStrip::connectState()
{
    PlayerControls* controls = widgets_.controls;
    MediaPlayer* player = &engines_.player;
    connect(player, &MediaPlayer::positionChanged, controls, &PlayerControls::setPosition);
    connect(player, &MediaPlayer::durationChanged, controls, &PlayerControls::setDuration);
    connect(player, &MediaPlayer::pausedChanged, controls, &PlayerControls::setPaused);
    connect(player, &MediaPlayer::volumeChanged, controls, &PlayerControls::setVolume);
    connect(player, &MediaPlayer::mutedChanged, controls, &PlayerControls::setMuted);
    PassageLoop* loop = &engines_.loop;
    connect(loop, &PassageLoop::endsChanged, controls,
            [controls, loop] { controls->setLoopEnds(loop->start(), loop->end()); });
}

// The transcript's marks as ticks on the bar; a tick clicked goes to its mark in the text too.
void PlayerStrip::showMarks()
{
    connect(&engines_.marks, &TimeMarkWatcher::marksChanged, widgets_.controls, &PlayerControls::setMarkTicks);
    widgets_.controls->setMarkTicks(engines_.marks.marks());
    connect(widgets_.controls, &PlayerControls::markPicked, this, [this](int seconds) {
        runCommand(engines_.desktop, widgets_.owner, [this, seconds] { engines_.timeMarks.goToMark(seconds); });
    });
}

void PlayerStrip::showWaveformOf(const QString& recording)
{
    widgets_.controls->setEnvelope({});
    if (!recording.isEmpty())
        waveforms_->start(recording);
}

// The waveform on the seek bar as it grows.
void PlayerStrip::showWaveforms()
{
    PlayerControls* controls = widgets_.controls;
    for (auto signal : {&WaveformBuilder::progress, &WaveformBuilder::finished})
        connect(waveforms_, signal, controls, &PlayerControls::setEnvelope);
    connect(waveforms_, &WaveformBuilder::failed, controls, [controls] { controls->setEnvelope({}); });
}

void PlayerStrip::tellFailures()
{
    MediaPlayer* player = &engines_.player;
    connect(player, &MediaPlayer::failed, this,
            [this](const QString& reason) { showErrorBox(engines_.desktop, widgets_.owner, reason); });
    // Told once, after whatever command found it out has finished.
    connect(
        player, &MediaPlayer::soundDeviceUnavailable, this,
        [this] { showPlainMessage(engines_.desktop, widgets_.owner, texts::kNoSoundDevice.toString()); },
        Qt::QueuedConnection);
}

} // namespace tavrin
