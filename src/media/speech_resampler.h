#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

extern "C" {
struct AVFrame;
struct SwrContext;
}

namespace tavrin {

struct ResamplerFreer {
    void operator()(SwrContext* context) const;
};

// Turns decoded frames of any layout, format and rate into 16 kHz mono floats,
// the sound speech models and the voice detector take. libswresample is loaded
// at run time, as the rest of FFmpeg is.
class SpeechResampler {
public:
    static constexpr int kSampleRate = 16000;
    // The most samples converted at once, whatever the rates: a frame of a slow rate
    // comes out many times longer than it went in (at 1 Hz, 16000 times), so it is
    // converted a slice at a time.
    static constexpr int kMostSamplesAtOnce = kSampleRate;
    using Take = std::function<void(std::span<const float> samples)>;

    // Nothing when libswresample cannot be loaded.
    static std::unique_ptr<SpeechResampler> create();

    // Hands `frame`'s sound to `take`, in pieces of about kMostSamplesAtOnce at most;
    // a frame of another layout or rate than the one before starts the conversion
    // afresh. False when it cannot be converted.
    bool convert(const AVFrame* frame, const Take& take);
    // Hands on what the conversion still holds, at the end of the input.
    void drain(const Take& take);

private:
    bool restartFor(const AVFrame* frame);
    bool convertSlice(const std::uint8_t* const* input, int count, const Take& take);

    std::unique_ptr<SwrContext, ResamplerFreer> context_;
    std::vector<float> converted_; // one slice's worth
    int inputRate_ = 0;
    int inputChannels_ = 0;
    int inputFormat_ = -1;
};

} // namespace tavrin
