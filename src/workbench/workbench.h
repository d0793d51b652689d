#pragma once

#include "speech/draft_process.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class QWidget;

namespace tavrin {

class Desktop;
class DraftController;
class EditorController;
class ExportController;
class MediaPlayer;
class PassageFollower;
class PassageLoop;
class PassageNavigator;
class PedalBinding;
class PhraseController;
class SpeakerController;
class PlaybackOptionsDialog;
class PlaybackSettings;
class PlayerControls;
class PlayerStrip;
class RateSpinBox;
class TimeBox;
class TimeMarkController;
class TextTimesWatcher;
class TimeMarkWatcher;
class TranscriptEdit;
class TranscriptionWork;
class TransportController;
class VideoController;
struct PlaybackOptions;

// The window's widgets that the workbench gives work to; they stay the window's.
struct WorkbenchWidgets {
    QWidget* window = nullptr; // owns the dialogs and the messages
    TranscriptEdit* editor = nullptr;
    QPushButton* playButton = nullptr; // its caption tells what play/pause did last
    RateSpinBox* rateBox = nullptr;
    QLabel* position = nullptr; // the position display
    QLabel* duration = nullptr;
    QLabel* savedNotice = nullptr;      // tells that the last save succeeded
    QTimer* displayRefresh = nullptr;   // refreshes the position display
    TimeBox* timeBox = nullptr;         // the time to go to
    QRadioButton* spacePlays = nullptr; // checked: Space is the play key, else Enter is
    QLineEdit* searchBox = nullptr;
    PlayerControls* playerControls = nullptr; // the player's own control bar
};

// Where the workbench keeps and finds what lasts beyond one run.
struct WorkbenchPlaces {
    QString settingsFolder; // the settings file
    // The recovery journals and what is known of the files worked with; empty: nothing is kept.
    QString stateFolder;
    QString waveformCacheFolder; // empty: the user's cache folder
    // Whether the foot pedals plugged into this computer are looked for and grabbed.
    bool findPedals = true;
    DraftPlaces draft; // the first draft's helper and speech engine
};

// Files to open once the window is up (given on the command line); either may be empty.
struct FilesToOpen {
    QString recording;
    QString transcript;
};

// The objects that give the window's widgets their work, built together for
// one window: the transport, time marks, the editor's commands, the work in
// hand (a recording and its transcript), the player's strip, the pedals and
// the listening aids. Each of the window's handlers calls one of them.
class Workbench {
public:
    Workbench(const WorkbenchWidgets& widgets, MediaPlayer& player, Desktop& desktop, const WorkbenchPlaces& places);
    ~Workbench();
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    TransportController& transport() { return *transport_; }
    TimeMarkController& timeMarks() { return *timeMarks_; }
    EditorController& editor() { return *editor_; }
    TranscriptionWork& work() { return *work_; }
    PedalBinding& pedals() { return *pedals_; }
    PlayerStrip& playerStrip() { return *playerStrip_; }
    DraftController& draft() { return *draft_; }
    ExportController& exporter() { return *exporter_; }
    SpeakerController& speakers() { return *speakers_; }
    PhraseController& phrases() { return *phrases_; }
    VideoController& video() { return *video_; }
    PassageFollower& passageFollower() { return *passageFollower_; }
    PassageNavigator& passages() { return *passages_; }
    TextTimesWatcher& textTimes() { return *textTimes_; }
    PlaybackOptionsDialog& playbackOptionsDialog() { return *playbackOptionsDialog_; }

    void showPlaybackOptions();
    // What the window's first sight need not wait for, in this order: the
    // listening aids, the pedals, the text an earlier run left unsaved, and
    // then `files`. A step that fails is told, and the next one still runs.
    void startAfterFirstPaint(const FilesToOpen& files);
    // The window closes: what the work keeps is kept, and the dialogs close.
    void close();

private:
    void createTransport(const WorkbenchWidgets& widgets, const QString& settingsFolder);
    void createPlaybackOptions(const WorkbenchWidgets& widgets);
    void followOpenings();
    void createPassages(TranscriptEdit* editor);
    void createInsertions(const WorkbenchWidgets& widgets, const QString& settingsFolder);
    void createEditor(const WorkbenchWidgets& widgets);
    // The player plays through the listening aids that are on, and the text follows it if asked to.
    void applyPlaybackOptions(const PlaybackOptions& options);
    void run(const std::function<void()>& command);
    void showMessage(const QString& text);

    QWidget* window_;
    MediaPlayer& player_;
    Desktop& desktop_;
    bool findPedals_;
    std::unique_ptr<PlaybackSettings> playbackSettings_;
    std::unique_ptr<TransportController> transport_;
    std::unique_ptr<PassageLoop> loop_;
    std::unique_ptr<TimeMarkController> timeMarks_;
    std::unique_ptr<TimeMarkWatcher> marks_;
    std::unique_ptr<TextTimesWatcher> textTimes_; // when the drafted words are heard
    std::unique_ptr<PassageNavigator> passages_;
    std::unique_ptr<PassageFollower> passageFollower_;
    std::unique_ptr<SpeakerController> speakers_;
    std::unique_ptr<PhraseController> phrases_;
    std::unique_ptr<TranscriptionWork> work_;
    std::unique_ptr<EditorController> editor_;
    std::unique_ptr<PlayerStrip> playerStrip_;
    std::unique_ptr<PedalBinding> pedals_;
    std::unique_ptr<DraftController> draft_;
    std::unique_ptr<ExportController> exporter_;
    std::unique_ptr<VideoController> video_;
    PlaybackOptionsDialog* playbackOptionsDialog_ = nullptr; // the window's child, created hidden
    std::vector<QMetaObject::Connection> openings_;          // see followOpenings()
};

} // namespace tavrin
