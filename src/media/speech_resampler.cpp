#include "media/speech_resampler.h"

#include "media/ffmpeg_library.h"

#include <QtGlobal>

#include <algorithm>

namespace tavrin {

void ResamplerFreer::operator()(SwrContext* context) const
{
    ffmpeg().swr_free(&context);
}

std::unique_ptr<SpeechResampler> SpeechResampler::create()
{
    if (!loadFFmpeg())
        return nullptr;
    return std::make_unique<SpeechResampler>();
}

bool SpeechResampler::restartFor(const AVFrame* frame)
{
    context_.reset();
    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    SwrContext* context = nullptr;
    if (ffmpeg().swr_alloc_set_opts2(&context, &mono, AV_SAMPLE_FMT_FLT, kSampleRate,
                                     const_cast<AVChannelLayout*>(&frame->ch_layout), AVSampleFormat(frame->format),
                                     frame->sample_rate, 0, nullptr)
        < 0)
        return false;
    context_.reset(context);
    if (ffmpeg().swr_init(context) < 0) {
        context_.reset();
        return false;
    }
    inputRate_ = frame->sample_rate;
    inputChannels_ = frame->ch_layout.nb_channels;
    inputFormat_ = frame->format;
    return true;
}

// Converts `count` samples (each channel's) starting at `input`, and hands them on.
// The room is bounded too: at a slow rate, the filter's first output alone is
// worth many slices; what does not fit stays in the filter, as input, for the next.
bool SpeechResampler::convertSlice(const std::uint8_t* const* input, int count, const Take& take)
{
    const int room = std::min(ffmpeg().swr_get_out_samples(context_.get(), count), kMostSamplesAtOnce);
    if (room < 0)
        return false;
    // Even with no room, the input is handed over, for the filter to hold.
    converted_.resize(std::size_t(std::max(room, 1)));
    auto* target = reinterpret_cast<std::uint8_t*>(converted_.data());
    const int made =
        ffmpeg().swr_convert(context_.get(), &target, room, const_cast<const std::uint8_t**>(input), count);
    if (made > 0)
        take(std::span<const float>(converted_.data(), std::size_t(made)));
    return made >= 0;
}

bool SpeechResampler::convert(const AVFrame* frame, const Take& take)
{
    const bool sameInput = context_ && frame->sample_rate == inputRate_
        && frame->ch_layout.nb_channels == inputChannels_ && frame->format == inputFormat_;
    if (!sameInput && !restartFor(frame))
        return false;
    const auto format = AVSampleFormat(frame->format);
    const bool planar = ffmpeg().av_sample_fmt_is_planar(format) != 0;
    const int planes = planar ? inputChannels_ : 1;
    const int step = ffmpeg().av_get_bytes_per_sample(format) * (planar ? 1 : inputChannels_);
    if (step <= 0)
        return false;
    // Input samples per slice: about kMostSamplesAtOnce of output, at least one.
    const int slice = int(std::max<qint64>(1, qint64(kMostSamplesAtOnce) * inputRate_ / kSampleRate));
    std::vector<const std::uint8_t*> input(std::size_t(planes), nullptr);
    for (int first = 0; first < frame->nb_samples; first += slice) {
        for (int plane = 0; plane < planes; ++plane)
            input[std::size_t(plane)] = frame->extended_data[plane] + std::ptrdiff_t(first) * step;
        if (!convertSlice(input.data(), std::min(slice, frame->nb_samples - first), take))
            return false;
    }
    return true;
}

// What the filter still holds, a slice of output at a time: at a slow rate it holds
// a few input samples, each worth thousands of output samples.
void SpeechResampler::drain(const Take& take)
{
    if (!context_)
        return;
    converted_.resize(std::size_t(kMostSamplesAtOnce));
    auto* target = reinterpret_cast<std::uint8_t*>(converted_.data());
    for (;;) {
        const int made = ffmpeg().swr_convert(context_.get(), &target, kMostSamplesAtOnce, nullptr, 0);
        if (made <= 0)
            return;
        take(std::span<const float>(converted_.data(), std::size_t(made)));
    }
}

} // namespace tavrin
