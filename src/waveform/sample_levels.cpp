#include "waveform/sample_levels.h"

#include "media/ffmpeg_library.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tavrin {

namespace {

template <typename Sample> float fullScaleOf(Sample sample)
{
    if constexpr (std::is_same_v<Sample, std::uint8_t>)
        return (float(sample) - 128.0f) * (1.0f / 128.0f);
    else if constexpr (std::is_same_v<Sample, std::int16_t>)
        return float(sample) * (1.0f / 32768.0f);
    else if constexpr (std::is_same_v<Sample, std::int32_t>)
        return float(sample) * (1.0f / 2147483648.0f);
    else if constexpr (std::is_same_v<Sample, std::int64_t>)
        return float(double(sample) * (1.0 / 9223372036854775808.0));
    else
        return float(sample);
}

// One run of samples: a plane's, or the interleaved channels'.
template <typename Sample> void addRun(const std::uint8_t* bytes, int count, SampleSums& sums)
{
    const Sample* samples = reinterpret_cast<const Sample*>(bytes);
    float peak = sums.peak;
    float sumOfSquares = 0; // a run is at most one value's samples: float is exact enough
    for (int i = 0; i < count; ++i) {
        const float sample = fullScaleOf(samples[i]);
        peak = std::max(peak, std::fabs(sample));
        sumOfSquares += sample * sample;
    }
    sums.peak = peak;
    sums.sumOfSquares += sumOfSquares;
    sums.count += count;
}

template <typename Sample> void addFrame(const AVFrame* frame, bool planar, int first, int frames, SampleSums& sums)
{
    const int channels = frame->ch_layout.nb_channels;
    if (planar) {
        for (int channel = 0; channel < channels; ++channel)
            addRun<Sample>(frame->extended_data[channel] + std::size_t(first) * sizeof(Sample), frames, sums);
    } else {
        addRun<Sample>(frame->extended_data[0] + std::size_t(first) * channels * sizeof(Sample), frames * channels,
                       sums);
    }
}

} // namespace

void SampleSums::add(const SampleSums& other)
{
    peak = std::max(peak, other.peak);
    sumOfSquares += other.sumOfSquares;
    count += other.count;
}

EnvelopeValue SampleSums::value() const
{
    const double meanSquare = count > 0 ? sumOfSquares / double(count) : 0.0;
    return {envelopeLevel(peak), envelopeLevel(float(std::sqrt(meanSquare)))};
}

void addSamples(const AVFrame* frame, int first, int frames, SampleSums& sums)
{
    const auto format = AVSampleFormat(frame->format);
    const bool planar = ffmpeg().av_sample_fmt_is_planar(format);
    switch (ffmpeg().av_get_packed_sample_fmt(format)) {
    case AV_SAMPLE_FMT_U8:
        return addFrame<std::uint8_t>(frame, planar, first, frames, sums);
    case AV_SAMPLE_FMT_S16:
        return addFrame<std::int16_t>(frame, planar, first, frames, sums);
    case AV_SAMPLE_FMT_S32:
        return addFrame<std::int32_t>(frame, planar, first, frames, sums);
    case AV_SAMPLE_FMT_S64:
        return addFrame<std::int64_t>(frame, planar, first, frames, sums);
    case AV_SAMPLE_FMT_FLT:
        return addFrame<float>(frame, planar, first, frames, sums);
    case AV_SAMPLE_FMT_DBL:
        return addFrame<double>(frame, planar, first, frames, sums);
    default:
        return; // no decoder gives another
    }
}

} // namespace tavrin
