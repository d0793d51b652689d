#pragma once

#include "bench_window.h"
#include "measure.h"

#include "editor/transcript_edit.h"

#include <QApplication>
#include <QElapsedTimer>
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
// from the seek it asked for; `landed` is where libmpv tells playback restarted
// (NaN when it never did), read outside the time measured: the position it last
// reported by the restart, or at once after it when the restart leaves it
// elsewhere. Asked for at the restart itself, libmpv may still give the position
// of its sound output, not yet started: up to the output's buffer (some 0.2 s)
// before where the sound starts a few milliseconds on.
inline double keyToSeek(BenchWindow& window, int key, double& landed)
{
    constexpr qint64 kAtOnceNs = 1'000'000; // sooner than playback moves it on
    MediaPlayer* player = window.ui->WindowsMediaPlayer1;
    double reported = NAN;
    double askedAtRestart = NAN;
    QElapsedTimer sinceRestart;
    const QMetaObject::Connection connection =
        QObject::connect(player, &MediaPlayer::positionChanged, [&](double seconds) {
            if (!sinceRestart.isValid() || sinceRestart.nsecsElapsed() < kAtOnceNs)
                reported = seconds;
        });
    const double milliseconds = millisecondsUntil(
        player, &MediaPlayer::playbackRestarted, [&] { pressKey(window.ui->Memo1, key); },
        [&] {
            sinceRestart.start();
            askedAtRestart = player->currentPosition();
        });
    while (sinceRestart.isValid() && sinceRestart.nsecsElapsed() < kAtOnceNs)
        QCoreApplication::processEvents();
    QObject::disconnect(connection);
    landed = std::isnan(reported) ? askedAtRestart : reported;
    return milliseconds;
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
