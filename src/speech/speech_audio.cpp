#include "speech/speech_audio.h"

#include "media/audio_input.h"
#include "media/ffmpeg_library.h"
#include "media/speech_resampler.h"

#include <optional>
#include <vector>

namespace tavrin {

namespace {

constexpr std::size_t kPieceSamples = SpeechResampler::kSampleRate / 10;

// Gathers the converted sound and hands it on in pieces.
class Pieces {
public:
    explicit Pieces(const SpeechAudioHandlers& handlers)
        : handlers_(handlers)
    {
        buffer_.reserve(kPieceSamples * 2);
    }

    std::vector<float>& buffer() { return buffer_; }

    void handOn(bool all)
    {
        if (buffer_.empty() || (!all && buffer_.size() < kPieceSamples))
            return;
        handlers_.sound(buffer_);
        handedAny_ = true;
        buffer_.clear();
    }

    bool handedAny() const { return handedAny_; }

private:
    const SpeechAudioHandlers& handlers_;
    std::vector<float> buffer_;
    bool handedAny_ = false;
};

} // namespace

bool decodeSpeechAudio(const QString& path, const std::atomic<bool>& cancelled, const SpeechAudioHandlers& handlers)
{
    std::optional<AudioInput> input = AudioInput::open(path, cancelled);
    const std::unique_ptr<SpeechResampler> resampler = SpeechResampler::create();
    if (!input || !resampler)
        return false;
    handlers.opened(input->durationSeconds);
    const std::unique_ptr<AVPacket, PacketFreer> packet{ffmpeg().av_packet_alloc()};
    const std::unique_ptr<AVFrame, FrameFreer> frame{ffmpeg().av_frame_alloc()};
    Pieces pieces(handlers);
    // A frame that cannot be converted is left out, as a packet the decoder refuses is.
    const auto take = [&](const AVFrame* decoded) {
        resampler->convert(decoded, pieces.buffer());
        pieces.handOn(false);
    };
    while (!cancelled.load(std::memory_order_relaxed)) {
        const int read = ffmpeg().av_read_frame(input->format.get(), packet.get());
        if (read == AVERROR(EAGAIN))
            continue;
        if (read < 0)
            break; // the end, or a read error, which ends the file as well
        if (packet->stream_index == input->stream)
            decodePacket(input->codec.get(), packet.get(), frame.get(), take);
        ffmpeg().av_packet_unref(packet.get());
    }
    if (cancelled.load(std::memory_order_relaxed))
        return false;
    decodePacket(input->codec.get(), nullptr, frame.get(), take);
    resampler->drain(pieces.buffer());
    pieces.handOn(true);
    return pieces.handedAny();
}

} // namespace tavrin
