#pragma once

#include <QByteArray>
#include <QString>

namespace tavrin::test {

// Writes a mono 16-bit PCM WAV of the given length: a short tone, then silence.
// The silence is left as a hole in a sparse file, so hours cost no disk.
void writeWav(const QString& path, double seconds, int sampleRate = 8000);

// The 44-byte header of a 16-bit PCM WAV holding `dataBytes` of samples.
QByteArray wavHeader(int sampleRate, int channels, quint32 dataBytes);
// Appends one 16-bit sample, little-endian.
void appendSample(QByteArray& out, qint16 sample);

} // namespace tavrin::test
