#pragma once

#include <QProcess>
#include <QTemporaryDir>

namespace tavrin::test {

// A private PulseAudio server with one null sink as its default, for player tests
// whose fault shows only where sound output really runs (a sound buffer that fills
// and plays in real time). While it lives, PULSE_SERVER points libmpv's "pulse"
// output at it; nothing of the user's own sound setup is read or changed.
class SoundServer {
public:
    SoundServer();
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Empty when the server is running, else why not.
    QString problem() const { return problem_; }

private:
    QTemporaryDir folder_;
    QProcess server_;
    QString problem_;
};

} // namespace tavrin::test
