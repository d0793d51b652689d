#pragma once

#include "bench_window.h"
#include "measure.h"

#include "editor/transcript_edit.h"

#include <QApplication>
#include <QKeyEvent>

#include <cmath>

namespace tavrin::bench {

inline void pressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Puts the player at `seconds`, paused, outside the measured time.
inline void pauseAt(MediaPlayer* player, double seconds)
{
    player->pause();
    millisecondsUntil(player, &MediaPlayer::playbackRestarted, [&] { player->setCurrentPosition(seconds); });
}

// Milliseconds from `key` pressed in the editor until the player has restarted
// from the seek it asked for; `landed` is the position the player gives at that
// restart (NaN when it never came), what a time mark taken then would write. A
// position told a moment later has playback's progress in it, not the landing's.
inline double keyToSeek(BenchWindow& window, int key, double& landed)
{
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    landed = NAN;
    return millisecondsUntil(
        player, &MediaPlayer::playbackRestarted, [&] { pressKey(window.ui->Memo1, key); },
        [&] { landed = player->currentPosition(); });
}

// A key typed into the editor, until its event has been handled.
inline std::vector<double> typing(BenchWindow& window, int repetitions)
{
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        times.push_back(millisecondsOf([&] { pressKey(window.ui->Memo1, Qt::Key_A, {}, QStringLiteral("a")); }));
        settle(10);
    }
    return times;
}

} // namespace tavrin::bench
