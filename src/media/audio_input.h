#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

extern "C" {
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
}

namespace tavrin {

// A length a container tells beyond this (over a year) is a damaged or hostile
// header, not a recording: it is taken as not told, so that nothing is sized or
// timed from it.
inline constexpr double kLongestBelievableSeconds = 10000.0 * 3600;

struct FormatCloser {
    void operator()(AVFormatContext* format) const;
};
struct CodecFreer {
    void operator()(AVCodecContext* codec) const;
};
struct PacketFreer {
    void operator()(AVPacket* packet) const;
};
struct FrameFreer {
    void operator()(AVFrame* frame) const;
};

// The first audio stream of a file, opened for decoding on one thread; every other
// stream is discarded by the demuxer, so that a video is never decoded.
struct AudioInput {
    std::unique_ptr<AVFormatContext, FormatCloser> format;
    std::unique_ptr<AVCodecContext, CodecFreer> codec;
    int stream = -1;
    // 0 when neither the stream nor the container tells it, or tells more than
    // kLongestBelievableSeconds.
    double durationSeconds = 0;

    // Opens `path`; nothing when it is not a regular file, when FFmpeg finds no audio
    // stream it can decode there, or when `cancelled` is set while it reads.
    static std::optional<AudioInput> open(const QString& path, const std::atomic<bool>& cancelled);

    // The stream's timestamp as seconds from its start.
    double secondsAt(qint64 timestamp) const;
    // Moves to the packet at or before `seconds`, with the decoder emptied.
    bool seek(double seconds);
};

// Sends one packet (nullptr: the end, to drain the decoder) and hands each frame
// it gives to `take`. A packet the decoder refuses is skipped, as a player skips it.
void decodePacket(AVCodecContext* codec, const AVPacket* packet, AVFrame* frame,
                  const std::function<void(const AVFrame*)>& take);

} // namespace tavrin
