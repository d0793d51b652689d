#pragma once

#include "pcm_sound.h"

#include <QString>

#include <cstddef>
#include <vector>

namespace tavrin::test {

// A hard recording made for the sound aids: speech from espeak-ng at
// `speechDbfs` (its loudness where it speaks) under white noise at `noiseDbfs`,
// mono 16-bit, with noise alone for a second before the speech and half a
// second after it. Needs espeak-ng and ffmpeg (scripts/setup installs them).
struct NoisySpeech {
    static constexpr double kFrameSeconds = 0.02;

    PcmSound recording; // as written
    // 20 ms frames of the recording: where the speech is (within 30 dB of its
    // loudest frame), and where it is silent for 60 ms on either side.
    std::vector<std::size_t> speechFrames;
    std::vector<std::size_t> pauseFrames;

    // Loudness in dBFS of `sound` over `frames`, which start `lag` seconds later in it.
    static double loudness(const PcmSound& sound, const std::vector<std::size_t>& frames, double lag = 0.0);
};

NoisySpeech writeNoisySpeech(const QString& path, double speechDbfs = -35.0, double noiseDbfs = -45.0,
                             int sampleRate = 16000);

// Writes the first channel of `sound` as mono 16-bit, rounded and clipped.
void writeSoundWav(const QString& path, const PcmSound& sound);

} // namespace tavrin::test
