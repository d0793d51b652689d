#include "media/audio_input.h"

#include "files/path_bytes.h"
#include "media/ffmpeg_library.h"

#include <cmath>
#include <mutex>

namespace tavrin {

void FormatCloser::operator()(AVFormatContext* format) const
{
    ffmpeg().avformat_close_input(&format);
}

void CodecFreer::operator()(AVCodecContext* codec) const
{
    ffmpeg().avcodec_free_context(&codec);
}

void PacketFreer::operator()(AVPacket* packet) const
{
    ffmpeg().av_packet_free(&packet);
}

void FrameFreer::operator()(AVFrame* frame) const
{
    ffmpeg().av_frame_free(&frame);
}

namespace {

// Lets a cancel stop FFmpeg inside a read as well as between packets.
int interruptWhenCancelled(void* cancelled)
{
    return static_cast<const std::atomic<bool>*>(cancelled)->load(std::memory_order_relaxed) ? 1 : 0;
}

// A file that cannot be decoded is told by the result alone; FFmpeg's own lines
// would only clutter the terminal. The level binds FFmpeg's default printer only,
// never the one the player installs for itself.
void silenceFfmpeg()
{
    static std::once_flag once;
    std::call_once(once, [] { ffmpeg().av_log_set_level(AV_LOG_QUIET); });
}

int firstAudioStream(const AVFormatContext* format)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            return int(i);
    }
    return -1;
}

bool knowsEnough(const AVFormatContext* format, int stream)
{
    if (stream < 0)
        return false;
    const AVStream* audio = format->streams[stream];
    return audio->codecpar->sample_rate > 0 && audio->codecpar->ch_layout.nb_channels > 0
        && (audio->duration != AV_NOPTS_VALUE || format->duration != AV_NOPTS_VALUE);
}

double believable(double seconds)
{
    return std::isfinite(seconds) && seconds > 0 && seconds <= kLongestBelievableSeconds ? seconds : 0;
}

double durationOf(const AVFormatContext* format, int stream)
{
    const AVStream* audio = format->streams[stream];
    if (audio->duration != AV_NOPTS_VALUE && audio->duration > 0)
        return believable(double(audio->duration) * av_q2d(audio->time_base));
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        return believable(double(format->duration) / AV_TIME_BASE);
    return 0;
}

} // namespace

std::optional<AudioInput> AudioInput::open(const QString& path, const std::atomic<bool>& cancelled)
{
    if (!isRegularFile(path) || !loadFFmpeg())
        return std::nullopt;
    silenceFfmpeg();
    AVFormatContext* opened = ffmpeg().avformat_alloc_context();
    if (!opened)
        return std::nullopt;
    opened->interrupt_callback = {interruptWhenCancelled, const_cast<std::atomic<bool>*>(&cancelled)};
    const QByteArray fileUrl = "file:" + encodePath(path);
    // avformat_open_input frees the context when it fails. The file protocol named,
    // so that a name like "http:..." or "pipe:0" is never taken as another protocol.
    if (ffmpeg().avformat_open_input(&opened, fileUrl.constData(), nullptr, nullptr) < 0)
        return std::nullopt;
    AudioInput input;
    input.format.reset(opened);
    input.stream = firstAudioStream(opened);
    // Probing the streams decodes a little of each: a video's headers usually tell
    // enough without it, and it is skipped then.
    if (!knowsEnough(opened, input.stream)) {
        if (ffmpeg().avformat_find_stream_info(opened, nullptr) < 0)
            return std::nullopt;
        input.stream = firstAudioStream(opened);
    }
    if (input.stream < 0)
        return std::nullopt;
    for (unsigned i = 0; i < opened->nb_streams; ++i)
        opened->streams[i]->discard = int(i) == input.stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;

    const AVCodecParameters* parameters = opened->streams[input.stream]->codecpar;
    const AVCodec* decoder = ffmpeg().avcodec_find_decoder(parameters->codec_id);
    if (!decoder)
        return std::nullopt;
    input.codec.reset(ffmpeg().avcodec_alloc_context3(decoder));
    if (!input.codec || ffmpeg().avcodec_parameters_to_context(input.codec.get(), parameters) < 0)
        return std::nullopt;
    // One thread, so that the player keeps the other core.
    input.codec->thread_count = 1;
    if (ffmpeg().avcodec_open2(input.codec.get(), decoder, nullptr) < 0)
        return std::nullopt;
    input.durationSeconds = durationOf(opened, input.stream);
    return input;
}

double AudioInput::secondsAt(qint64 timestamp) const
{
    const AVStream* audio = format->streams[stream];
    const qint64 start = audio->start_time != AV_NOPTS_VALUE ? audio->start_time : 0;
    return double(timestamp - start) * av_q2d(audio->time_base);
}

bool AudioInput::seek(double seconds)
{
    const AVStream* audio = format->streams[stream];
    const qint64 start = audio->start_time != AV_NOPTS_VALUE ? audio->start_time : 0;
    const qint64 target = start + qint64(seconds / av_q2d(audio->time_base));
    if (ffmpeg().av_seek_frame(format.get(), stream, target, AVSEEK_FLAG_BACKWARD) < 0)
        return false;
    ffmpeg().avcodec_flush_buffers(codec.get());
    return true;
}

void decodePacket(AVCodecContext* codec, const AVPacket* packet, AVFrame* frame,
                  const std::function<void(const AVFrame*)>& take)
{
    ffmpeg().avcodec_send_packet(codec, packet);
    while (ffmpeg().avcodec_receive_frame(codec, frame) >= 0) {
        take(frame);
        ffmpeg().av_frame_unref(frame);
    }
}

} // namespace tavrin
