#include "media/speech_resampler.h"

#include "media/ffmpeg_library.h"

extern "C" {
#include <libswresample/swresample.h>
}

#include <dlfcn.h>

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

bool SpeechResampler::convert(const AVFrame* frame, std::vector<float>& out)
{
    const bool sameInput = context_ && frame->sample_rate == inputRate_
        && frame->ch_layout.nb_channels == inputChannels_ && frame->format == inputFormat_;
    if (!sameInput && !restartFor(frame))
        return false;
    const int room = swresample().swr_get_out_samples(context_.get(), frame->nb_samples);
    if (room < 0)
        return false;
    const std::size_t before = out.size();
    out.resize(before + std::size_t(room));
    auto* target = reinterpret_cast<uint8_t*>(out.data() + before);
    const int made = swresample().swr_convert(context_.get(), &target, room,
                                              const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    out.resize(before + std::size_t(std::max(made, 0)));
    return made >= 0;
}

void SpeechResampler::drain(std::vector<float>& out)
{
    if (!context_)
        return;
    const int room = swresample().swr_get_out_samples(context_.get(), 0);
    if (room <= 0)
        return;
    const std::size_t before = out.size();
    out.resize(before + std::size_t(room));
    auto* target = reinterpret_cast<uint8_t*>(out.data() + before);
    const int made = swresample().swr_convert(context_.get(), &target, room, nullptr, 0);
    out.resize(before + std::size_t(std::max(made, 0)));
}

} // namespace tavrin
