#pragma once

#include "waveform/envelope.h"

extern "C" {
struct AVFrame;
}

namespace tavrin {

// The sums a stretch of samples comes to, over all its channels.
struct SampleSums {
    float peak = 0;          // largest absolute sample, full scale at 1
    double sumOfSquares = 0; // of the samples, full scale at 1
    qint64 count = 0;        // samples summed, each channel's counted

    void add(const SampleSums& other);
    EnvelopeValue value() const;
};

// Adds `frames` sample frames of `frame` from `first` on to `sums`, every channel,
// read in the frame's own sample format (planar or interleaved), so that nothing
// is converted first.
void addSamples(const AVFrame* frame, int first, int frames, SampleSums& sums);

} // namespace tavrin
