#pragma once

#include <QByteArray>
#include <QString>

namespace tavrin::test {

// A named pipe that a player reads a WAV recording from only as fast as the
// test hands it on: what the test does while playing then lands at known
// places of the recording, however much faster than real time the player
// decodes. The pipe holds about 64 KB, two seconds of 16 kHz mono.
class PacedPipe {
public:
    PacedPipe(const QString& path, const QString& recording);
    ~PacedPipe();
    PacedPipe(const PacedPipe&) = delete;
    PacedPipe& operator=(const PacedPipe&) = delete;

    QString path() const { return path_; }
    // Hands on up to `seconds` more of the recording, as much as the pipe takes
    // now; after the last byte the pipe is closed, which ends the recording.
    void handOn(double seconds);
    double handedOn() const; // seconds of the recording handed on so far
    bool finished() const { return fd_ < 0; }

private:
    QString path_;
    QByteArray bytes_;
    qsizetype written_ = 0;
    int bytesPerSecond_ = 0;
    int fd_ = -1;
};

} // namespace tavrin::test
