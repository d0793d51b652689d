#pragma once

#include "app/main_window.h"
#include "player/media_player.h"
#include "support/resident_memory.h"
#include "support/scripted_desktop.h"
#include "support/window_probe.h"

#include <QTemporaryDir>

#include <memory>

namespace tavrin::bench {

using test::residentMiB;

// A player that makes no sound: most figures are of the program, not of the sound server.
inline MediaPlayer::Options silentPlayer()
{
    MediaPlayer::Options options;
    options.audioOutput = QStringLiteral("null");
    return options;
}

// The main window as the program builds it, on a scripted desktop that answers
// file dialogs and records message boxes instead of waiting for a person.
struct BenchWindow {
    QTemporaryDir programFolder;
    test::ScriptedDesktop desktop;
    std::unique_ptr<TMainForm1> window;
    const MainWindowControls* ui = nullptr; // the window's controls
    bool startWorkDone = false;             // what the window does after its first paint has run

    // With a journal folder, the window keeps a recovery journal there, as the program does.
    explicit BenchWindow(const QString& stateFolder = QString(), const MediaPlayer::Options& player = silentPlayer());
    TMainForm1* operator->() const { return window.get(); }
    // Loads a recording through the menu, as a user does.
    void loadRecording(const QString& path);
};

// Writes a short silent recording into `folder` and returns its path.
QString writeShortRecording(const QString& folder);

} // namespace tavrin::bench
