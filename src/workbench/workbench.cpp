#include "workbench/workbench.h"

#include "controls/time_box.h"
#include "desktop/command_runner.h"
#include "dialogs/playback_options_dialog.h"
#include "editor/transcript_edit.h"
#include "player/media_player.h"
#include "player/passage_loop.h"
#include "settings/playback_options.h"
#include "transcript/text_times_watcher.h"
#include "transcript/time_mark_watcher.h"
#include "workbench/draft_controller.h"
#include "workbench/editor_controller.h"
#include "workbench/export_controller.h"
#include "workbench/passage_follower.h"
#include "workbench/passage_navigator.h"
#include "workbench/pedal_binding.h"
#include "workbench/phrase_controller.h"
#include "workbench/player_strip.h"
#include "workbench/speaker_controller.h"
#include "workbench/time_mark_controller.h"
#include "workbench/transcription_work.h"
#include "workbench/transport_controller.h"
#include "workbench/video_controller.h"

#include <QWidget>

namespace tavrin {

Workbench::Workbench(const WorkbenchWidgets& widgets, MediaPlayer& player, Desktop& desktop,
                     const WorkbenchPlaces& places)
    : window_(widgets.window)
    , player_(player)
    , desktop_(desktop)
    , findPedals_(places.findPedals)
{
    auto showMessage = [this](const QString& text) { this->showMessage(text); };
    createTransport(widgets, places.settingsFolder);
    loop_ = std::make_unique<PassageLoop>(player, showMessage);
    timeMarks_ = std::make_unique<TimeMarkController>(
        TimeMarkWidgets{.editor = widgets.editor, .position = widgets.position, .timeBox = widgets.timeBox}, player,
        desktop, showMessage);
    work_ = std::make_unique<TranscriptionWork>(TranscriptionWork::Widgets{.owner = widgets.window,
                                                                           .editor = widgets.editor,
                                                                           .savedNotice = widgets.savedNotice,
                                                                           .displayRefresh = widgets.displayRefresh,
                                                                           .timeBox = widgets.timeBox},
                                                player, desktop, places.stateFolder);
    createPassages(widgets.editor);
    video_ = std::make_unique<VideoController>(VideoController::Widgets{widgets.window, widgets.editor}, player,
                                               places.stateFolder, showMessage);
    createInsertions(widgets, places.settingsFolder);
    createEditor(widgets);
    playerStrip_ = std::make_unique<PlayerStrip>(
        PlayerStrip::Widgets{.owner = widgets.window, .controls = widgets.playerControls},
        PlayerStrip::Engines{
            .player = player, .marks = *marks_, .timeMarks = *timeMarks_, .loop = *loop_, .desktop = desktop},
        places.waveformCacheFolder);
    createPlaybackOptions(widgets);
    pedals_ = std::make_unique<PedalBinding>(widgets.window, PedalBinding::Commands{*transport_, *passages_}, player,
                                             desktop, places.settingsFolder);
    draft_ = std::make_unique<DraftController>(DraftController::Widgets{widgets.window, widgets.editor}, player,
                                               desktop, places.draft, places.settingsFolder);
    draft_->setTextTimes(textTimes_.get());
    passages_->setWordTimes(textTimes_.get(), [this] { return playbackSettings_->read().wordLead; });
    exporter_ =
        std::make_unique<ExportController>(ExportController::Widgets{widgets.window, widgets.editor}, player, desktop);
    followOpenings();
}

Workbench::~Workbench()
{
    for (const QMetaObject::Connection& opening : openings_)
        QObject::disconnect(opening);
}

// What follows the player's opening of a recording, wherever it was asked for
// (the dialog, the command line, a drop, the journal after a crash), in order.
// Before it: the loader's stop at the start, the display's refresh and the time
// where the user stopped (RecordingLoader); after it, the transcript beside the
// recording (TranscriptionWork::open). The passage loop forgets a marked start
// itself (PassageLoop), as the player's own state.
void Workbench::followOpenings()
{
    openings_ = {
        QObject::connect(&player_, &MediaPlayer::urlChanged, window_,
                         [this](const QString& recording) {
                             speakers_->takeListOf(recording);        // the speakers' names kept with it
                             playerStrip_->showWaveformOf(recording); // the seek bar's waveform
                             draft_->recordingOpened(recording);      // a draft of the one before ends
                         }),
        // Told once libmpv knows whether the recording has a picture.
        QObject::connect(&player_, &MediaPlayer::videoChanged, window_,
                         [this](bool hasVideo) { video_->recordingLoaded(hasVideo); }),
    };
}

void Workbench::createTransport(const WorkbenchWidgets& widgets, const QString& settingsFolder)
{
    const TransportWidgets transportWidgets{.playButton = widgets.playButton,
                                            .rateBox = widgets.rateBox,
                                            .position = widgets.position,
                                            .duration = widgets.duration,
                                            .displayRefresh = widgets.displayRefresh,
                                            .typingArea = widgets.editor};
    auto showMessage = [this](const QString& text) { this->showMessage(text); };
    transport_ = std::make_unique<TransportController>(transportWidgets, player_, settingsFolder, showMessage);
    playbackSettings_ = std::make_unique<PlaybackSettings>(settingsFolder, showMessage);
    transport_->setResumeBackStep([this] { return playbackSettings_->read().resumeBackStep; });
}

// The marks of the transcript, and the passages they make: followed while playing, walked by key and pedal.
void Workbench::createPassages(TranscriptEdit* editor)
{
    marks_ = std::make_unique<TimeMarkWatcher>(editor->document());
    textTimes_ = std::make_unique<TextTimesWatcher>(editor->document());
    passages_ = std::make_unique<PassageNavigator>(editor, player_, *loop_, *marks_);
    passageFollower_ = std::make_unique<PassageFollower>(editor, player_, *marks_);
    passageFollower_->setWordTimes(textTimes_.get());
}

// Speakers, phrases and abbreviations typed for the user.
void Workbench::createInsertions(const WorkbenchWidgets& widgets, const QString& settingsFolder)
{
    auto showMessage = [this](const QString& text) { this->showMessage(text); };
    speakers_ = std::make_unique<SpeakerController>(SpeakerController::Widgets{widgets.window, widgets.editor}, player_,
                                                    *timeMarks_, desktop_, showMessage);
    speakers_->setMemory(work_->memory());
    phrases_ = std::make_unique<PhraseController>(PhraseController::Widgets{widgets.window, widgets.editor},
                                                  *timeMarks_, desktop_, settingsFolder, showMessage);
}

void Workbench::createEditor(const WorkbenchWidgets& widgets)
{
    const EditorWidgets editorWidgets{
        .editor = widgets.editor, .spacePlays = widgets.spacePlays, .searchBox = widgets.searchBox};
    EditorKeyTargets keyTargets{.transport = *transport_,
                                .timeMarks = *timeMarks_,
                                .loop = *loop_,
                                .passages = *passages_,
                                .speakers = *speakers_,
                                .phrases = *phrases_,
                                .save = [this] { work_->save(); },
                                .typing = [this] { passageFollower_->leaveTheView(); },
                                .toggleVideo = [this] { video_->toggle(); }};
    editor_ = std::make_unique<EditorController>(editorWidgets, std::move(keyTargets), desktop_,
                                                 [this](const QString& text) { showMessage(text); });
}

void Workbench::createPlaybackOptions(const WorkbenchWidgets& widgets)
{
    playbackOptionsDialog_ = new PlaybackOptionsDialog(widgets.window, desktop_, *playbackSettings_);
    QObject::connect(playbackOptionsDialog_, &PlaybackOptionsDialog::optionsTried, playbackOptionsDialog_,
                     [this](const PlaybackOptions& options) { run([&] { applyPlaybackOptions(options); }); });
}

void Workbench::applyPlaybackOptions(const PlaybackOptions& options)
{
    passageFollower_->setOn(options.followPlayback);
    player_.setListeningAids({.volumeBoost = options.volumeBoost,
                              .loudnessLevelling = options.loudnessLevelling,
                              .noiseReduction = options.noiseReduction,
                              .voiceBand = options.voiceBand});
}

void Workbench::showPlaybackOptions()
{
    playbackOptionsDialog_->exec();
}

void Workbench::startAfterFirstPaint(const FilesToOpen& files)
{
    run([this] { applyPlaybackOptions(playbackSettings_->read()); });
    run([this] { pedals_->start(findPedals_); });
    run([this] { work_->recoverUnsaved(); });
    if (!files.recording.isEmpty() || !files.transcript.isEmpty())
        run([this, &files] { work_->open(files.recording, files.transcript); });
}

void Workbench::close()
{
    draft_->cancel(); // what it wrote is kept with the rest of the text
    video_->close();
    work_->close();
    playbackOptionsDialog_->close();
    pedals_->closeOptions();
}

void Workbench::run(const std::function<void()>& command)
{
    runCommand(desktop_, window_, command);
}

void Workbench::showMessage(const QString& text)
{
    showPlainMessage(desktop_, window_, text);
}

} // namespace tavrin
