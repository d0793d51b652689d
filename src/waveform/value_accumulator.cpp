#include "waveform/value_accumulator.h"

extern "C" {
#include <libavutil/frame.h>
}

#include <algorithm>

namespace tavrin {

ValueAccumulator::ValueAccumulator(EnvelopeWriter& writer)
    : writer_(writer)
{
}

qint64 ValueAccumulator::nextBoundary() const
{
    return (valuesSinceRestart_ + 1) * rate_ / kEnvelopeValuesPerSecond;
}

// A stream whose rate changes goes on from the value reached, at the new rate.
void ValueAccumulator::restartAt(int rate)
{
    finish();
    rate_ = rate;
    samplesSinceRestart_ = 0;
    valuesSinceRestart_ = 0;
}

void ValueAccumulator::add(const AVFrame* frame)
{
    if (frame->sample_rate < kEnvelopeValuesPerSecond || frame->ch_layout.nb_channels <= 0)
        return;
    if (frame->sample_rate != rate_)
        restartAt(frame->sample_rate);
    int done = 0;
    while (done < frame->nb_samples) {
        const int frames = int(std::min<qint64>(frame->nb_samples - done, nextBoundary() - samplesSinceRestart_));
        addSamples(frame, done, frames, sums_);
        done += frames;
        samplesSinceRestart_ += frames;
        if (samplesSinceRestart_ == nextBoundary()) {
            writer_.append(sums_.value());
            sums_ = {};
            ++valuesSinceRestart_;
        }
    }
}

void ValueAccumulator::finish()
{
    if (sums_.count > 0) {
        writer_.append(sums_.value());
        sums_ = {};
        ++valuesSinceRestart_;
        samplesSinceRestart_ = valuesSinceRestart_ * rate_ / kEnvelopeValuesPerSecond;
    }
}

} // namespace tavrin
