#pragma once

#include <QString>

#include <span>
#include <vector>

namespace tavrin::test {

// Sound as a WAV file holds it, the first channel only, as samples in -1..1.
struct PcmSound {
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples;

    double seconds() const { return sampleRate > 0 ? double(samples.size()) / sampleRate : 0.0; }
    // The samples from `from` to `to` seconds (clipped to the sound).
    std::span<const float> between(double from, double to) const;
};

// Reads a 16-bit, 32-bit or float WAV, plain or extensible. The data runs to the end
// of the file when its header says otherwise, as a writer killed before closing leaves it.
PcmSound readWav(const QString& path);

// Writes a sine tone of `seconds` at `frequency` Hz and `dbfs` below full scale.
void writeToneWav(const QString& path, double seconds, int sampleRate, double frequency, double dbfs, int channels = 1);

// Loudness as root mean square, in dB below full scale (-inf for silence).
double rmsDbfs(std::span<const float> samples);

// The frequency of a steady tone, from the spacing of its rising zero crossings.
// 0 when there are fewer than two.
double toneFrequency(std::span<const float> samples, int sampleRate);

} // namespace tavrin::test
