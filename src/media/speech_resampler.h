#pragma once

#include <memory>
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

    // Nothing when libswresample cannot be loaded.
    static std::unique_ptr<SpeechResampler> create();

    // Appends `frame`'s sound to `out`; a frame of another layout or rate than the
    // first starts the conversion afresh. False when it cannot be converted.
    bool convert(const AVFrame* frame, std::vector<float>& out);
    // Appends what the conversion still holds, at the end of the input.
    void drain(std::vector<float>& out);

private:
    bool restartFor(const AVFrame* frame);

    std::unique_ptr<SwrContext, ResamplerFreer> context_;
    int inputRate_ = 0;
    int inputChannels_ = 0;
    int inputFormat_ = -1;
};

} // namespace tavrin
