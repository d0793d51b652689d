#include "waveform/envelope_decoder.h"

#include "media/audio_input.h"
#include "media/ffmpeg_library.h"
#include "waveform/sample_levels.h"
#include "waveform/value_accumulator.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>

namespace tavrin {

namespace {

using Clock = std::chrono::steady_clock;

// After a seek, a probe gives up when this many packets bring no sound.
constexpr int kMostPacketsPerProbe = 64;

bool isCancelled(const std::atomic<bool>& cancelled)
{
    return cancelled.load(std::memory_order_relaxed);
}

struct Buffers {
    std::unique_ptr<AVPacket, PacketFreer> packet{ffmpeg().av_packet_alloc()};
    std::unique_ptr<AVFrame, FrameFreer> frame{ffmpeg().av_frame_alloc()};
};

// The sound from where a seek to `seconds` landed. The first frame is left out:
// a decoder just emptied may lack what it carries over from the frames before.
std::optional<EnvelopeProbe> measureProbe(AudioInput& input, Buffers& buffers, double seconds,
                                          const DecodeOptions& options, const std::atomic<bool>& cancelled)
{
    SampleSums sums;
    qint64 wanted = 0;
    qint64 firstTimestamp = AV_NOPTS_VALUE;
    int frames = 0;
    const auto take = [&](const AVFrame* frame) {
        if (frames++ == 0 || (wanted > 0 && sums.count >= wanted))
            return;
        if (wanted == 0) {
            wanted = qint64(options.probeSeconds * frame->sample_rate) * frame->ch_layout.nb_channels;
            firstTimestamp = frame->best_effort_timestamp;
        }
        addSamples(frame, 0, frame->nb_samples, sums);
    };
    for (int packets = 0; packets < kMostPacketsPerProbe && !isCancelled(cancelled); ++packets) {
        if (ffmpeg().av_read_frame(input.format.get(), buffers.packet.get()) < 0)
            break;
        if (buffers.packet->stream_index == input.stream)
            decodePacket(input.codec.get(), buffers.packet.get(), buffers.frame.get(), take);
        ffmpeg().av_packet_unref(buffers.packet.get());
        if (wanted > 0 && sums.count >= wanted)
            break;
    }
    if (sums.count == 0)
        return std::nullopt;
    // A packet's own timestamp may be anything: the index stays within the envelope's reach.
    const double at = firstTimestamp != AV_NOPTS_VALUE ? input.secondsAt(firstTimestamp) : seconds;
    const double index = std::clamp(at * kEnvelopeValuesPerSecond, 0.0, double(kMostEnvelopeValues));
    return EnvelopeProbe{std::isfinite(index) ? qint64(index) : 0, sums.value()};
}

// The quick pass: probes spread evenly over the whole length, on an input of its
// own so that the full pass starts from a fresh one.
void sampleWholeLength(const QString& path, double durationSeconds, EnvelopeWriter& writer,
                       const std::atomic<bool>& cancelled, const DecodeProgress& progress, const DecodeOptions& options)
{
    std::optional<AudioInput> input = AudioInput::open(path, cancelled);
    if (!input || !input->format->pb || !(input->format->pb->seekable & AVIO_SEEKABLE_NORMAL))
        return;
    Buffers buffers;
    const Clock::time_point started = Clock::now();
    const auto budget = std::chrono::duration<double>(options.samplingBudgetSeconds);
    for (int i = 0; i < options.probes && !isCancelled(cancelled); ++i) {
        const double seconds = (i + 0.5) * durationSeconds / options.probes;
        if (!input->seek(seconds))
            break;
        const std::optional<EnvelopeProbe> probe = measureProbe(*input, buffers, seconds, options, cancelled);
        // Seeks land on packets, so two may land on the same one: probes stay in order.
        const std::span<const EnvelopeProbe> earlier = writer.snapshot().probes();
        if (probe && (earlier.empty() || probe->index > earlier.back().index))
            writer.addProbe(*probe);
        progress(writer, DecodeStage::Sampling);
        if (Clock::now() - started > budget)
            break;
    }
    progress(writer, DecodeStage::Sampled);
}

} // namespace

DecodeOutcome decodeEnvelope(const QString& path, const std::atomic<bool>& cancelled, const DecodeProgress& progress,
                             Envelope* result, const DecodeOptions& options)
{
    std::optional<AudioInput> input = AudioInput::open(path, cancelled);
    if (!input)
        return isCancelled(cancelled) ? DecodeOutcome::Cancelled : DecodeOutcome::Failed;
    EnvelopeWriter writer(input->durationSeconds);
    if (input->durationSeconds >= options.samplingFromSeconds)
        sampleWholeLength(path, input->durationSeconds, writer, cancelled, progress, options);

    Buffers buffers;
    ValueAccumulator values(writer);
    bool decodedAny = false;
    const auto take = [&](const AVFrame* frame) {
        values.add(frame);
        decodedAny = true;
    };
    // Past the most an envelope holds, the rest of the sound is not decoded.
    while (!isCancelled(cancelled) && !writer.isFull()) {
        const int read = ffmpeg().av_read_frame(input->format.get(), buffers.packet.get());
        if (read == AVERROR(EAGAIN))
            continue;
        if (read < 0)
            break; // the end, or a read error, which ends the file as well
        if (buffers.packet->stream_index == input->stream)
            decodePacket(input->codec.get(), buffers.packet.get(), buffers.frame.get(), take);
        ffmpeg().av_packet_unref(buffers.packet.get());
        progress(writer, DecodeStage::Decoding);
    }
    if (isCancelled(cancelled))
        return DecodeOutcome::Cancelled;
    decodePacket(input->codec.get(), nullptr, buffers.frame.get(), take);
    values.finish();
    if (!decodedAny)
        return DecodeOutcome::Failed;
    writer.finish();
    if (result)
        *result = writer.snapshot();
    return DecodeOutcome::Complete;
}

} // namespace tavrin
