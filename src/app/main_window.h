#pragma once

#include "playback/media_player.h"

#include <QMainWindow>
#include <QUrl>

#include <functional>
#include <memory>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tavrin {

class Desktop;
class EditorController;
class FileMemory;
class InputMethodSwitcher;
class LinkLabel;
class PassageLoop;
class PedalCommands;
class PedalOptionsDialog;
class PedalSource;
class PlaybackOptionsDialog;
class PlaybackSettings;
struct PedalOptions;
struct PlaybackOptions;
class PlayerControls;
class RecordingLoader;
class RateSpinBox;
class TimeBox;
class TranscriptController;
class TranscriptJournal;
class TranscriptEdit;
class TForm3;
class TimeMarkController;
class TransportController;

// The main window: the transcript editor, the control strip under it and the
// player at the bottom. Its controls bear the names of the window layout, and
// its commands are the handlers those controls and the editor's keys run.
class TMainForm1 : public QMainWindow {
    Q_OBJECT
public:
    struct Environment {
        Desktop* desktop = nullptr;
        QString settingsFolder;       // where the settings file is read and written
        QStringList settingsSearched; // where it was looked for, named when it is missing
        // Given on the command line: opened once the window is up, as the menu opens them.
        QString recordingToOpen;
        QString transcriptToOpen;
        MediaPlayer::Options player;
        // Where the program keeps, between runs, the recovery journals of unsaved
        // text and what it knows of the files it worked with; empty: nothing is kept.
        QString stateFolder;
        // Whether the foot pedals plugged into this computer are looked for and
        // grabbed; without, pedal events come only from streams added to pedalSource().
        bool findPedals = true;
        // Where the recordings' waveforms are kept; empty: the user's cache folder.
        QString waveformCacheFolder;
        // Ends the program once its event loop runs; the program exits with a failure code.
        std::function<void()> requestTermination;
    };

    explicit TMainForm1(const Environment& environment, QWidget* parent = nullptr);
    ~TMainForm1() override;

    // Runs a command; an error it does not catch itself ends it and is shown
    // in the default error box, and the program goes on with the next event.
    void runCommand(const std::function<void()>& command);
    void showErrorBox(const QString& message);
    // The one-button message with the application title as caption.
    void showPlainMessage(const QString& text);
    // The transcript and the recording it belongs to.
    TranscriptController& transcript() { return *transcript_; }
    // Where the pedals' presses come from.
    PedalSource& pedalSource() { return *pedalSource_; }
    // The desktop session ends (log-out, shut-down): the window closes without asking.
    void endSession() { ending_ = true; }
    // Opens files given on the command line or dropped on the window; either may be empty.
    void openFiles(const QString& recording, const QString& transcript);
    void openDropped(const QList<QUrl>& urls);

    // Application shell.
    void FormCreate();
    void FormShow();
    void FormResize();
    bool FormClose(); // true when the window may close
    void Timer2Timer();
    void N20Click();

    // Transport, time marks and seeking.
    void BitBtn4Click();
    void BitBtn7Click();
    void BitBtn2Click();
    void RzSpinEdit1Change();
    void Timer1Timer();
    void BitBtn1Click();
    void Label9Click();
    void Memo1DblClick();
    // The rate one step up (1) or down (-1) from the keyboard; failures are dropped.
    void stepRate(int tenths);

    // Files and settings.
    void N8Click();
    void N9Click();
    void BitBtn10Click();
    void N7Click();
    void showPlaybackOptions();
    void showPedalOptions();

    // Editor tools.
    bool Memo1KeyDown(QKeyEvent* event); // true when the key is swallowed
    void Label2Click();
    void Label4Click();
    void N17Click();
    void N18Click();
    void N13Click();
    void N15Click();
    void N16Click();
    void N10Click();
    void Memo1ContextPopup();

    // The controls, as the window layout names them.
    QFrame* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QFrame* Panel1 = nullptr;
    QLabel* Label14 = nullptr;
    TranscriptEdit* Memo1 = nullptr;
    QFrame* Panel2 = nullptr;
    QFrame* Panel3 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn7 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QLabel* Label17 = nullptr;
    QPushButton* BitBtn10 = nullptr;
    RateSpinBox* RzSpinEdit1 = nullptr;
    QGroupBox* GroupBox4 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    TimeBox* Edit3 = nullptr;
    LinkLabel* Label9 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    LinkLabel* Label2 = nullptr;
    LinkLabel* Label4 = nullptr;
    QFrame* Panel6 = nullptr;
    PlayerControls* PlayerControls1 = nullptr; // the player's own control bar
    QFrame* Panel4 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label19 = nullptr;
    QLabel* Label6 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    MediaPlayer* WindowsMediaPlayer1 = nullptr;

    // The menu bar.
    QAction* N8 = nullptr;
    QAction* N9 = nullptr;
    QAction* N1 = nullptr;
    QAction* N17 = nullptr;
    QAction* N18 = nullptr;
    QAction* N2 = nullptr;
    QAction* N7 = nullptr;
    QAction* N12 = nullptr;
    QAction* N13 = nullptr;
    QAction* N15 = nullptr;
    QAction* N16 = nullptr;
    QAction* N10 = nullptr;
    QAction* N6 = nullptr;
    QAction* N19 = nullptr;
    QAction* N20 = nullptr;
    QAction* playbackOptionsAction = nullptr; // 设置 → 播放选项
    QAction* pedalOptionsAction = nullptr;    // 设置 → 脚踏板设置

    TForm3* Form3 = nullptr;                                // the step settings dialog, created hidden
    PlaybackOptionsDialog* playbackOptionsDialog = nullptr; // created hidden
    PedalOptionsDialog* pedalOptionsDialog = nullptr;       // created hidden

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLayout();
    void buildControlStrip();
    void buildPlayerStrip();
    void buildMenu();
    void connectHandlers();
    void connectPlayer();
    void centreOnScreen();
    void createControllers();
    // The player plays through the listening aids that are on.
    void applyListeningAids(const PlaybackOptions& options);
    void createPedals();
    void showWaveforms();
    void startPedals();
    void usePedalOptions(const PedalOptions& options);

    Environment environment_;
    std::unique_ptr<TranscriptController> transcript_;
    std::unique_ptr<RecordingLoader> recordings_;
    std::unique_ptr<FileMemory> fileMemory_;
    TranscriptJournal* journal_ = nullptr;
    InputMethodSwitcher* inputMethod_ = nullptr;
    bool centred_ = false;
    bool ending_ = false; // the session ends, or start-up failed: close without asking
    // Where the handlers of the transport, the time marks and the editor's tools hand their work.
    std::unique_ptr<TransportController> transport_;
    std::unique_ptr<TimeMarkController> timeMarks_;
    std::unique_ptr<EditorController> editor_;
    std::unique_ptr<PlaybackSettings> playbackSettings_;
    PassageLoop* loop_ = nullptr;
    PedalSource* pedalSource_ = nullptr;
    PedalCommands* pedalCommands_ = nullptr;
};

} // namespace tavrin
