#include "speech/speech_audio.h"

#include "media/audio_input.h"
#include "media/ffmpeg_library.h"
#include "media/speech_resampler.h"

#include <algorithm>
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
        buffer_.reserve(kPieceSamples);
    }

    void add(std::span<const float> samples)
    {
        while (!samples.empty()) {
            const std::size_t taken = std::min(samples.size(), kPieceSamples - buffer_.size());
            buffer_.insert(buffer_.end(), samples.begin(), samples.begin() + std::ptrdiff_t(taken));
            samples = samples.subspan(taken);
            if (buffer_.size() == kPieceSamples)
                handOn();
        }
    }

    void handOn()
    {
        if (buffer_.empty())
            return;
        handlers_.sound(buffer_);
        handedOn_ += qint64(buffer_.size());
        buffer_.clear();
    }

    qint64 handedOn() const { return handedOn_; }

private:
    const SpeechAudioHandlers& handlers_;
    std::vector<float> buffer_;
    qint64 handedOn_ = 0;
};

// Converts each decoded frame whose rate speech can come in, and counts the sound
// of every other as missed.
class Conversion {
public:
    Conversion(SpeechResampler& resampler, Pieces& pieces, SpeechAudioOutcome& outcome)
        : resampler_(resampler)
        , pieces_(pieces)
        , outcome_(outcome)
    {
    }

    void take(const AVFrame* frame)
    {
        const int rate = frame->sample_rate;
        if (rate < kLowestSpeechRate || rate > kHighestSpeechRate) {
            outcome_.rateOutsideBounds = rate;
            miss(frame);
            return;
        }
        if (!resampler_.convert(frame, [this](std::span<const float> samples) { pieces_.add(samples); }))
            miss(frame);
    }

private:
    void miss(const AVFrame* frame)
    {
        if (frame->sample_rate > 0)
            outcome_.missedSeconds += double(frame->nb_samples) / frame->sample_rate;
        else
            outcome_.missedSeconds += 1.0 / SpeechResampler::kSampleRate; // no rate: at least something was missed
    }

    SpeechResampler& resampler_;
    Pieces& pieces_;
    SpeechAudioOutcome& outcome_;
};

} // namespace

SpeechAudioOutcome decodeSpeechAudio(const QString& path, const std::atomic<bool>& cancelled,
                                     const SpeechAudioHandlers& handlers)
{
    SpeechAudioOutcome outcome;
    std::optional<AudioInput> input = AudioInput::open(path, cancelled);
    const std::unique_ptr<SpeechResampler> resampler = SpeechResampler::create();
    if (!input || !resampler)
        return outcome;
    outcome.opened = true;
    handlers.opened(input->durationSeconds);
    const std::unique_ptr<AVPacket, PacketFreer> packet{ffmpeg().av_packet_alloc()};
    const std::unique_ptr<AVFrame, FrameFreer> frame{ffmpeg().av_frame_alloc()};
    Pieces pieces(handlers);
    Conversion conversion(*resampler, pieces, outcome);
    const auto take = [&](const AVFrame* decoded) { conversion.take(decoded); };
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
        return outcome;
    decodePacket(input->codec.get(), nullptr, frame.get(), take);
    resampler->drain([&](std::span<const float> samples) { pieces.add(samples); });
    pieces.handOn();
    outcome.samplesHandedOn = pieces.handedOn();
    return outcome;
}

} // namespace tavrin
