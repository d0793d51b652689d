#include "media/speech_resampler.h"

#include "media/ffmpeg_library.h"

extern "C" {
#include <libswresample/swresample.h>
}

#include <dlfcn.h>

#include <QtGlobal>

#include <algorithm>

namespace tavrin {

namespace {

struct Swresample {
    decltype(&::swr_alloc_set_opts2) swr_alloc_set_opts2;
    decltype(&::swr_init) swr_init;
    decltype(&::swr_convert) swr_convert;
    decltype(&::swr_get_out_samples) swr_get_out_samples;
    decltype(&::swr_free) swr_free;
    bool complete = false;
};

template <typename Function> bool resolve(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

Swresample load()
{
    Swresample s{};
    // The major version the header describes; it stays loaded for the rest of the run.
    void* library = dlopen("libswresample.so." AV_STRINGIFY(LIBSWRESAMPLE_VERSION_MAJOR), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return s;
#define TAVRIN_RESOLVE(name) resolve(library, #name, s.name)
    s.complete = TAVRIN_RESOLVE(swr_alloc_set_opts2) && TAVRIN_RESOLVE(swr_init) && TAVRIN_RESOLVE(swr_convert)
        && TAVRIN_RESOLVE(swr_get_out_samples) && TAVRIN_RESOLVE(swr_free);
#undef TAVRIN_RESOLVE
    return s;
}

const Swresample& swresample()
{
    static const Swresample once = load();
    return once;
}

} // namespace

void ResamplerFreer::operator()(SwrContext* context) const
{
    swresample().swr_free(&context);
}

std::unique_ptr<SpeechResampler> SpeechResampler::create()
{
    if (!swresample().complete || !loadFFmpeg())
        return nullptr;
    return std::make_unique<SpeechResampler>();
}

bool SpeechResampler::restartFor(const AVFrame* frame)
{
    context_.reset();
    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    SwrContext* context = nullptr;
    if (swresample().swr_alloc_set_opts2(&context, &mono, AV_SAMPLE_FMT_FLT, kSampleRate,
                                         const_cast<AVChannelLayout*>(&frame->ch_layout), AVSampleFormat(frame->format),
                                         frame->sample_rate, 0, nullptr)
        < 0)
        return false;
    context_.reset(context);
    if (swresample().swr_init(context) < 0) {
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
    const int room = std::min(swresample().swr_get_out_samples(context_.get(), count), kMostSamplesAtOnce);
    if (room < 0)
        return false;
    // Even with no room, the input is handed over, for the filter to hold.
    converted_.resize(std::size_t(std::max(room, 1)));
    auto* target = reinterpret_cast<std::uint8_t*>(converted_.data());
    const int made =
        swresample().swr_convert(context_.get(), &target, room, const_cast<const std::uint8_t**>(input), count);
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
        const int made = swresample().swr_convert(context_.get(), &target, kMostSamplesAtOnce, nullptr, 0);
        if (made <= 0)
            return;
        take(std::span<const float>(converted_.data(), std::size_t(made)));
    }
}

} // namespace tavrin
