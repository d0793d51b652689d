#pragma once

#include "app/main_window_controls.h"
#include "player/media_player.h"
#include "speech/draft_process.h"

#include <QMainWindow>
#include <QUrl>

#include <functional>
#include <memory>

namespace tavrin {

class Desktop;
class InputMethodSwitcher;
class Workbench;

namespace test {
class WindowProbe;
}

// The main window: the transcript editor, the control strip under it and the
// player at the bottom. It lays out its controls, which bear the names of the
// window layout, and runs the handlers those controls and the editor's keys
// run; each handler hands its work to one object of the workbench.
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
        // grabbed; without, pedal events come only from streams added to the pedals' source.
        bool findPedals = true;
        // Where the recordings' waveforms are kept; empty: the user's cache folder.
        QString waveformCacheFolder;
        // The first draft's helper and speech engine.
        DraftPlaces draft;
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
    void Memo1ControlClick(int position);
    // The rate one step up (1) or down (-1) from the keyboard; failures are dropped.
    void stepRate(int tenths);

    // Files and settings.
    void N8Click();
    void N9Click();
    void BitBtn10Click();
    void N7Click();
    void showPlaybackOptions();
    void showPedalOptions();
    void startDraft();
    void exportTranscript();
    void toggleVideoWindow();
    void keepVideoOnTop();
    void showSpeakers();
    void showPhrases();
    void showDraftOptions();

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

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Tests and benchmarks reach the controls and the workbench through it alone.
    friend class test::WindowProbe;

    void buildLayout();
    void buildControlStrip();
    void buildPlayerStrip();
    void buildMenu();
    void createWorkbench();
    void connectHandlers();
    void connectMenu();
    void centreOnScreen();

    Environment environment_;
    MainWindowControls ui_;
    std::unique_ptr<Workbench> workbench_;
    InputMethodSwitcher* inputMethod_ = nullptr;
    bool centred_ = false;
    bool ending_ = false; // the session ends, or start-up failed: close without asking
};

} // namespace tavrin
