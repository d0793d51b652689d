#pragma once

#include "app/main_window.h"
#include "files/atomic_file.h"
#include "support/scripted_desktop.h"
#include "support/temp_folder.h"
#include "support/wav_file.h"
#include "support/window_probe.h"
#include "workbench/transcript_controller.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

namespace tavrin::test {

// The GBK bytes of a settings file as it is shipped: section 时间, three steps.
inline QByteArray shippedSettings()
{
    return QByteArray("[\xCA\xB1\xBC\xE4]\r\nshijian1=5\r\nshijian2=3\r\nshijian3=10\r\n");
}

// The main window as the program builds it, with a program folder of its own
// (holding the settings file unless told otherwise), a scripted desktop and a
// silent player.
struct WindowUnderTest {
    TempFolder programFolder;
    QString programPath;   // the program folder the window is given: programFolder or a folder in it
    TempFolder recordings; // where the tests' recordings are written
    ScriptedDesktop desktop;
    std::unique_ptr<TMainForm1> window;
    const MainWindowControls* ui = nullptr; // the window's controls
    bool terminationRequested = false;
    FileWriteFaults transcriptFaults; // none unless a test sets some
    PlayerFaults playerFaults;        // none unless a test sets some

    // With `programSubfolder`, the program lives in a folder of that name inside programFolder.
    // With `stateFolder`, the window keeps its journals and its memory of files there.
    explicit WindowUnderTest(bool withSettingsFile = true, const QString& settingsName = QStringLiteral("Time.ini"),
                             const QString& programSubfolder = QString(), const QString& stateFolder = QString(),
                             const std::function<void(TMainForm1::Environment&)>& adjust = {})
        : programPath(programFolder.path())
    {
        if (!programSubfolder.isEmpty()) {
            programPath = programFolder.filePath(programSubfolder);
            if (!QDir().mkpath(programPath))
                qFatal("cannot create the program folder");
        }
        if (withSettingsFile)
            TempFolder::writeAt(QDir(programPath).filePath(settingsName), shippedSettings());
        TMainForm1::Environment environment;
        environment.desktop = &desktop;
        environment.settingsFolder = programPath;
        environment.stateFolder = stateFolder;
        environment.player.audioOutput = QStringLiteral("null");
        environment.player.faults = &playerFaults;
        environment.findPedals = false; // a pedal of this computer is not the test's
        environment.waveformCacheFolder = programFolder.filePath(QStringLiteral("waveforms"));
        environment.requestTermination = [this] { terminationRequested = true; };
        if (adjust)
            adjust(environment);
        window = std::make_unique<TMainForm1>(environment);
        ui = &WindowProbe::controls(*window);
        transcriptController().setWriteFaults(&transcriptFaults);
    }

    TMainForm1& operator*() const { return *window; }
    TMainForm1* operator->() const { return window.get(); }

    // The transcript and the recording it belongs to.
    TranscriptController& transcriptController() const { return WindowProbe::transcript(*window); }
    // Where the pedals' presses come from.
    PedalSource& pedalSource() const { return WindowProbe::pedalSource(*window); }

    // Writes a recording of this length and loads it through the menu, as a user
    // does, then forgets the message that loading showed. Returns its path.
    QString loadRecording(double seconds, const QString& name = QStringLiteral("recording.wav"), int sampleRate = 8000)
    {
        const QString path = recordings.filePath(name);
        writeWav(path, seconds, sampleRate);
        desktop.filesToChoose = {path};
        ui->N8->trigger();
        desktop.boxes.clear();
        return path;
    }

    // Puts the player at `seconds`, paused, and waits until it is there.
    bool pauseAt(double seconds, int waitMs = 20000) const
    {
        MediaPlayer* player = ui->WindowsMediaPlayer1;
        player->pause();
        QSignalSpy restarted(player, &MediaPlayer::playbackRestarted);
        player->setCurrentPosition(seconds);
        return (restarted.count() > 0 || restarted.wait(waitMs)) && player->currentPosition() == seconds;
    }

    // Shows the window and waits until it is exposed and active, as after start-up.
    bool show() const
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowExposed(window.get()) && QTest::qWaitForWindowActive(window.get());
    }
};

} // namespace tavrin::test
