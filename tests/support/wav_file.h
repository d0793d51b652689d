#pragma once

#include <QString>

namespace tavrin::test {

// Writes a mono 16-bit PCM WAV of the given length: a short tone, then silence.
// The silence is left as a hole in a sparse file, so hours cost no disk.
void writeWav(const QString& path, double seconds, int sampleRate = 8000);

} // namespace tavrin::test
