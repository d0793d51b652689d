#include "app/main_window.h"

#include "app/first_paint.h"
#include "app/input_method_switcher.h"
#include "app/link_label.h"
#include "desktop/app_texts.h"
#include "desktop/command_runner.h"
#include "desktop/desktop.h"
#include "desktop/palette_colour.h"
#include "editor/editor_controller.h"
#include "editor/time_mark_watcher.h"
#include "editor/transcript_edit.h"
#include "files/dropped_files.h"
#include "files/file_memory.h"
#include "files/transcript_controller.h"
#include "files/transcript_journal.h"
#include "playback/passage_loop.h"
#include "playback/player_controls.h"
#include "playback/rate_spin_box.h"
#include "playback/recording_loader.h"
#include "playback/time_box.h"
#include "playback/time_mark_controller.h"
#include "playback/transport_controller.h"
#include "playback/waveform/waveform_builder.h"
#include "settings/pedal_options_dialog.h"
#include "settings/playback_options.h"
#include "settings/playback_options_dialog.h"
#include "settings/settings_dialog.h"
#include "settings/settings_location.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cmath>

#include <utility>

namespace tavrin {

namespace {
// The maker's service page, opened from the menu.
const char kServicePage[] = "https://tavrin.example.com/service";
} // namespace

TMainForm1::TMainForm1(const Environment& environment, QWidget* parent)
    : QMainWindow(parent)
    , environment_(environment)
{
    Q_ASSERT(environment_.desktop);
    setObjectName(QStringLiteral("MainForm1"));
    WindowsMediaPlayer1 = new MediaPlayer(environment_.player, this);
    WindowsMediaPlayer1->setObjectName(QStringLiteral("WindowsMediaPlayer1"));
    inputMethod_ = new InputMethodSwitcher(this);
    buildLayout();
    createControllers();
    buildMenu();
    connectHandlers();
    connectPlayer();

    // Logging off ends the program without the closing question.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &TMainForm1::endSession);

    FormCreate();
    // A recording given on the command line: the player starts while the window first paints.
    if (!environment_.recordingToOpen.isEmpty() && !ending_)
        WindowsMediaPlayer1->startInBackground();
    Form3 = new TForm3(this, *environment_.desktop, environment_.settingsFolder);
    // The dialog's boxes ask for the same input method as the window's inputs.
    for (QLineEdit* box : {Form3->Edit2, Form3->Edit3, Form3->Edit1})
        inputMethod_->watch(box);
    playbackOptionsDialog = new PlaybackOptionsDialog(this, *environment_.desktop, *playbackSettings_);
    connect(playbackOptionsDialog, &PlaybackOptionsDialog::optionsTried, this,
            [this](const PlaybackOptions& options) { runCommand([&] { applyListeningAids(options); }); });
    createPedals();
    // Connecting to the session bus need not hold up the window's first sight.
    whenFirstPainted(this, [this] {
        inputMethod_->arm();
        runCommand([this] { applyListeningAids(playbackSettings_->read()); });
        runCommand([this] { startPedals(); });
        runCommand([this] {
            transcript_->recoverUnsaved(
                [this](const QString& path, qint64 ms) { return recordings_->reopenAt(path, ms); });
        });
        if (!ending_)
            runCommand([this] { openFiles(environment_.recordingToOpen, environment_.transcriptToOpen); });
    });
    setAcceptDrops(true);
    connect(Memo1, &TranscriptEdit::filesDropped, this, &TMainForm1::openDropped);
}

// A recording as " 加载音视频 " loads it, a transcript as " 加载文稿 ".
void TMainForm1::openFiles(const QString& recording, const QString& transcript)
{
    const QString loaded = recording.isEmpty() ? QString() : recordings_->load(recording);
    if (!transcript.isEmpty()) {
        // The transcript named is the one wanted, not the one beside the recording.
        if (!loaded.isEmpty())
            transcript_->setRecording(loaded);
        transcript_->load(transcript);
    } else if (!loaded.isEmpty()) {
        transcript_->takeRecording(loaded);
    }
}

void TMainForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm1::dropEvent(QDropEvent* event)
{
    event->acceptProposedAction();
    openDropped(event->mimeData()->urls());
}

void TMainForm1::openDropped(const QList<QUrl>& urls)
{
    const DroppedFile dropped = decideDrop(urls);
    // Run once the drop is over, so that the file manager is not kept waiting
    // while the recording opens and its messages are read.
    QMetaObject::invokeMethod(
        this,
        [this, dropped] {
            activateWindow();
            runCommand([this, &dropped] {
                if (dropped.kind == DroppedFile::Kind::Refused)
                    showPlainMessage(dropped.message);
                else if (dropped.kind == DroppedFile::Kind::Recording)
                    openFiles(dropped.path, QString());
                else
                    openFiles(QString(), dropped.path);
            });
        },
        Qt::QueuedConnection);
}

TMainForm1::~TMainForm1() = default;

void TMainForm1::N8Click()
{
    if (const QString recording = recordings_->chooseAndLoad(); !recording.isEmpty())
        transcript_->takeRecording(recording);
}

void TMainForm1::N9Click()
{
    transcript_->chooseAndLoad();
}

void TMainForm1::BitBtn10Click()
{
    transcript_->save();
    recordings_->rememberPosition();
}

void TMainForm1::N7Click()
{
    Form3->exec();
}

void TMainForm1::showPlaybackOptions()
{
    playbackOptionsDialog->exec();
}

// The text's size: 大, 中, 小 and 极小 in the menu.
void TMainForm1::N13Click()
{
    editor_->setFontPointSize(40);
}

void TMainForm1::N15Click()
{
    editor_->setFontPointSize(32);
}

void TMainForm1::N16Click()
{
    editor_->setFontPointSize(24);
}

void TMainForm1::N10Click()
{
    editor_->setFontPointSize(16);
}

void TMainForm1::createControllers()
{
    auto showMessage = [this](const QString& text) { showPlainMessage(text); };
    transcript_ = std::make_unique<TranscriptController>(TranscriptController::Widgets{this, Memo1, Label17},
                                                         *environment_.desktop);
    recordings_ = std::make_unique<RecordingLoader>(RecordingLoader::Widgets{this, Memo1, Timer1, Edit3},
                                                    *WindowsMediaPlayer1, *environment_.desktop);
    if (!environment_.stateFolder.isEmpty()) {
        const QDir state(environment_.stateFolder);
        fileMemory_ = std::make_unique<FileMemory>(state.filePath(QStringLiteral("files.json")));
        transcript_->setFileMemory(fileMemory_.get());
        recordings_->setFileMemory(fileMemory_.get());
        // The position is asked only once a recording is loaded, when the player runs.
        auto positionMs = [this] { return qint64(std::llround(WindowsMediaPlayer1->currentPosition() * 1000.0)); };
        journal_ =
            new TranscriptJournal(Memo1->document(), state.filePath(QStringLiteral("journals")), positionMs, this);
        transcript_->setJournal(journal_);
    }
    const TransportWidgets transportWidgets{.playButton = BitBtn4,
                                            .rateBox = RzSpinEdit1,
                                            .position = Label1,
                                            .duration = Label6,
                                            .displayRefresh = Timer1,
                                            .typingArea = Memo1};
    transport_ = std::make_unique<TransportController>(transportWidgets, *WindowsMediaPlayer1,
                                                       environment_.settingsFolder, showMessage);
    playbackSettings_ = std::make_unique<PlaybackSettings>(environment_.settingsFolder, showMessage);
    transport_->setResumeBackStep([this] { return playbackSettings_->read().resumeBackStep; });
    loop_ = new PassageLoop(*WindowsMediaPlayer1, showMessage, this);
    connect(loop_, &PassageLoop::endsChanged, this,
            [this] { PlayerControls1->setLoopEnds(loop_->start(), loop_->end()); });
    const TimeMarkWidgets timeMarkWidgets{.editor = Memo1, .position = Label1, .timeBox = Edit3};
    timeMarks_ =
        std::make_unique<TimeMarkController>(timeMarkWidgets, *WindowsMediaPlayer1, *environment_.desktop, showMessage);
    const EditorWidgets editorWidgets{.editor = Memo1, .spacePlays = RadioButton1, .searchBox = Edit4};
    EditorKeyTargets keyTargets{
        .transport = *transport_, .timeMarks = *timeMarks_, .loop = *loop_, .save = [this] { BitBtn10Click(); }};
    editor_ =
        std::make_unique<EditorController>(editorWidgets, std::move(keyTargets), *environment_.desktop, showMessage);
}

void TMainForm1::applyListeningAids(const PlaybackOptions& options)
{
    WindowsMediaPlayer1->setListeningAids({.volumeBoost = options.volumeBoost,
                                           .loudnessLevelling = options.loudnessLevelling,
                                           .noiseReduction = options.noiseReduction,
                                           .voiceBand = options.voiceBand});
}

void TMainForm1::runCommand(const std::function<void()>& command)
{
    tavrin::runCommand(*environment_.desktop, this, command);
}

void TMainForm1::showErrorBox(const QString& message)
{
    tavrin::showErrorBox(*environment_.desktop, this, message);
}

void TMainForm1::showPlainMessage(const QString& text)
{
    tavrin::showPlainMessage(*environment_.desktop, this, text);
}

void TMainForm1::FormCreate()
{
    if (!findSettingsFile(environment_.settingsFolder).isEmpty())
        return;
    // Installed, the settings may be in either of two places: both are named.
    QString message = texts::kSettingsFileMissing.toString();
    if (environment_.settingsSearched.size() > 1)
        message += QStringLiteral("\n\n已查找：\n%1").arg(environment_.settingsSearched.join(u'\n'));
    environment_.desktop->showMessage(this, texts::kNoticeCaption.toString(), message, BoxIcon::Information);
    // Start-up goes on; the program ends as soon as its event loop runs.
    ending_ = true;
    if (environment_.requestTermination)
        environment_.requestTermination();
}

void TMainForm1::FormShow()
{
    setColour(Panel4, QPalette::Window, Qt::black);
}

void TMainForm1::FormResize()
{
    setColour(Panel4, QPalette::Window, Qt::black);
    // The player's bar fills its strip: the window cannot be resized, and a bar
    // as wide as the window would push its volume control out of sight.
    PlayerControls1->setGeometry(Panel6->contentsRect());
}

bool TMainForm1::FormClose()
{
    if (ending_)
        return true;
    return environment_.desktop->askYesNo(this, texts::kNoticeCaption.toString(), texts::kCloseQuestion.toString(),
                                          BoxIcon::Question);
}

void TMainForm1::Timer2Timer()
{
    Label17->hide();
}

void TMainForm1::N20Click()
{
    // The result is not checked: a desktop without a browser simply shows nothing.
    environment_.desktop->openWebPage(QUrl(QString::fromLatin1(kServicePage)));
}

// The handlers of the transport, the time marks and the editor's tools: each
// hands its work to the controller that owns it.

void TMainForm1::BitBtn4Click()
{
    transport_->playPause();
}

void TMainForm1::BitBtn7Click()
{
    transport_->stepBack();
}

void TMainForm1::BitBtn2Click()
{
    transport_->stepForward();
}

void TMainForm1::RzSpinEdit1Change()
{
    transport_->applyRateFromBox();
}

void TMainForm1::stepRate(int tenths)
{
    transport_->stepRate(tenths);
}

void TMainForm1::Timer1Timer()
{
    transport_->refreshDisplay();
}

void TMainForm1::BitBtn1Click()
{
    timeMarks_->insertMark();
}

void TMainForm1::Label9Click()
{
    timeMarks_->goToTypedTime();
}

void TMainForm1::Memo1DblClick()
{
    timeMarks_->goToSelectedTime();
}

bool TMainForm1::Memo1KeyDown(QKeyEvent* event)
{
    return editor_->handleKey(event);
}

void TMainForm1::Label2Click()
{
    editor_->findFirst();
}

void TMainForm1::Label4Click()
{
    editor_->findNext();
}

void TMainForm1::N17Click()
{
    editor_->showCount();
}

void TMainForm1::N18Click()
{
    editor_->copyAll();
}

void TMainForm1::Memo1ContextPopup()
{
    // The request is handled by doing nothing: no menu opens over the editor.
}

void TMainForm1::showEvent(QShowEvent* event)
{
    if (!centred_) {
        centreOnScreen();
        centred_ = true;
    }
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm1::closeEvent(QCloseEvent* event)
{
    bool mayClose = true;
    runCommand([&] { mayClose = FormClose(); });
    if (mayClose) {
        event->accept();
        if (journal_)
            journal_->close(); // unsaved text stays, offered at the next start
        recordings_->rememberPosition();
        Form3->close();
        playbackOptionsDialog->close();
        pedalOptionsDialog->close();
    } else {
        event->ignore();
    }
}

void TMainForm1::connectHandlers()
{
    auto on = [this](auto* sender, auto signal, void (TMainForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { runCommand([this, handler] { (this->*handler)(); }); });
    };
    on(BitBtn1, &QPushButton::clicked, &TMainForm1::BitBtn1Click);
    on(BitBtn4, &QPushButton::clicked, &TMainForm1::BitBtn4Click);
    on(BitBtn7, &QPushButton::clicked, &TMainForm1::BitBtn7Click);
    on(BitBtn2, &QPushButton::clicked, &TMainForm1::BitBtn2Click);
    on(BitBtn10, &QPushButton::clicked, &TMainForm1::BitBtn10Click);
    on(RzSpinEdit1, &RateSpinBox::valueChanged, &TMainForm1::RzSpinEdit1Change);
    on(Label9, &LinkLabel::clicked, &TMainForm1::Label9Click);
    on(Label2, &LinkLabel::clicked, &TMainForm1::Label2Click);
    on(Label4, &LinkLabel::clicked, &TMainForm1::Label4Click);
    on(Memo1, &TranscriptEdit::doubleClicked, &TMainForm1::Memo1DblClick);
    on(Memo1, &TranscriptEdit::contextMenuRequested, &TMainForm1::Memo1ContextPopup);
    on(Timer1, &QTimer::timeout, &TMainForm1::Timer1Timer);
    on(Timer2, &QTimer::timeout, &TMainForm1::Timer2Timer);
    on(N8, &QAction::triggered, &TMainForm1::N8Click);
    on(N9, &QAction::triggered, &TMainForm1::N9Click);
    on(N17, &QAction::triggered, &TMainForm1::N17Click);
    on(N18, &QAction::triggered, &TMainForm1::N18Click);
    on(N7, &QAction::triggered, &TMainForm1::N7Click);
    on(playbackOptionsAction, &QAction::triggered, &TMainForm1::showPlaybackOptions);
    on(pedalOptionsAction, &QAction::triggered, &TMainForm1::showPedalOptions);
    on(N13, &QAction::triggered, &TMainForm1::N13Click);
    on(N15, &QAction::triggered, &TMainForm1::N15Click);
    on(N16, &QAction::triggered, &TMainForm1::N16Click);
    on(N10, &QAction::triggered, &TMainForm1::N10Click);
    on(N20, &QAction::triggered, &TMainForm1::N20Click);
    Memo1->setKeyDownHandler([this](QKeyEvent* event) {
        bool swallow = false;
        runCommand([&] { swallow = Memo1KeyDown(event); });
        return swallow;
    });
}

// The control bar acts on the player directly, not through the window's commands.
void TMainForm1::connectPlayer()
{
    MediaPlayer* player = WindowsMediaPlayer1;
    auto act = [this](auto signal, auto action) {
        connect(PlayerControls1, signal, this,
                [this, action](auto... value) { runCommand([&] { action(value...); }); });
    };
    act(&PlayerControls::playRequested, [player] { player->play(); });
    act(&PlayerControls::pauseRequested, [player] { player->pause(); });
    act(&PlayerControls::stopRequested, [player] { player->stop(); });
    act(&PlayerControls::seekRequested, [player](double seconds) { player->setCurrentPosition(seconds); });
    act(&PlayerControls::volumeRequested, [player](int volume) { player->setVolume(volume); });
    act(&PlayerControls::muteRequested, [player](bool muted) { player->setMuted(muted); });
    // The transcript's marks as ticks on the bar; a tick clicked goes to its mark in the text too.
    auto* marks = new TimeMarkWatcher(Memo1->document(), this);
    connect(marks, &TimeMarkWatcher::marksChanged, PlayerControls1, &PlayerControls::setMarkTicks);
    PlayerControls1->setMarkTicks(marks->marks());
    act(&PlayerControls::markPicked, [this](int seconds) { timeMarks_->goToMark(seconds); });
    showWaveforms();

    connect(player, &MediaPlayer::positionChanged, PlayerControls1, &PlayerControls::setPosition);
    connect(player, &MediaPlayer::durationChanged, PlayerControls1, &PlayerControls::setDuration);
    connect(player, &MediaPlayer::pausedChanged, PlayerControls1, &PlayerControls::setPaused);
    connect(player, &MediaPlayer::volumeChanged, PlayerControls1, &PlayerControls::setVolume);
    connect(player, &MediaPlayer::mutedChanged, PlayerControls1, &PlayerControls::setMuted);
    connect(player, &MediaPlayer::unavailable, this, [this](const QString& reason) { showErrorBox(reason); });
    // Told once, after whatever command found it out has finished.
    connect(
        player, &MediaPlayer::soundDeviceUnavailable, this,
        [this] { showPlainMessage(texts::kNoSoundDevice.toString()); }, Qt::QueuedConnection);
}

// Each recording's waveform on the seek bar, computed away from the window's thread
// as soon as the player has the recording; one FFmpeg cannot read leaves the plain bar.
void TMainForm1::showWaveforms()
{
    auto* waveforms = environment_.waveformCacheFolder.isEmpty()
        ? new WaveformBuilder(this)
        : new WaveformBuilder(environment_.waveformCacheFolder, this);
    connect(WindowsMediaPlayer1, &MediaPlayer::urlChanged, waveforms, [this, waveforms](const QString& path) {
        PlayerControls1->setEnvelope({});
        if (!path.isEmpty())
            waveforms->start(path);
    });
    for (auto signal : {&WaveformBuilder::progress, &WaveformBuilder::finished})
        connect(waveforms, signal, PlayerControls1, &PlayerControls::setEnvelope);
    connect(waveforms, &WaveformBuilder::failed, PlayerControls1, [this] { PlayerControls1->setEnvelope({}); });
}

void TMainForm1::centreOnScreen()
{
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(target->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace tavrin
