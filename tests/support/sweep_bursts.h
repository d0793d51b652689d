#pragma once

#include "pcm_sound.h"

#include <QString>

#include <vector>

namespace tavrin::test {

// A sound whose every moment tells where in the recording it comes from, to
// find gaps and jumps in what a player made of it: each second of the
// recording is a burst of a rising tone, 500 to 3500 Hz over 0.8 s at -20 dBFS,
// then 0.2 s of white noise at -40 dBFS.
struct SweepBursts {
    static constexpr double kPeriod = 1.0;
    static constexpr double kBurst = 0.8;
    static constexpr double kLowHz = 500.0;
    static constexpr double kRiseHzPerSecond = 3750.0;

    // Writes `seconds` of it, mono 16-bit at 16 kHz.
    static void write(const QString& path, double seconds);
};

// What a player made of SweepBursts played at `rate`, window by window.
struct SweepReading {
    // The largest jump, either way, of where the sound comes from in the recording
    // against where it is heard, in seconds of output: a gap put in delays all
    // that follows, sound skipped brings it forward.
    double largestJump = 0.0;
    // The longest stretch of output that should hold a burst and holds none, in seconds.
    double longestGap = 0.0;
    // Per second of the recording heard in full: the loudness of its burst and of its noise, in dBFS.
    std::vector<double> burstLoudness;
    std::vector<double> noiseLoudness;
};

SweepReading readSweepBursts(const PcmSound& output, double rate);

} // namespace tavrin::test
