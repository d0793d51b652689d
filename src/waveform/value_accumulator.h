#pragma once

#include "waveform/sample_levels.h"

namespace tavrin {

class EnvelopeWriter;

// Cuts the decoded sound, frame after frame, into the envelope's 10 ms values.
// Value k holds samples floor(k * rate / 100) up to floor((k + 1) * rate / 100),
// so that rates like 22050 Hz do not drift.
class ValueAccumulator {
public:
    explicit ValueAccumulator(EnvelopeWriter& writer);

    void add(const AVFrame* frame);
    // Writes the last value, when it holds some samples.
    void finish();

private:
    void restartAt(int rate);
    qint64 nextBoundary() const;

    EnvelopeWriter& writer_;
    int rate_ = 0;
    qint64 samplesSinceRestart_ = 0;
    qint64 valuesSinceRestart_ = 0;
    SampleSums sums_;
};

} // namespace tavrin
