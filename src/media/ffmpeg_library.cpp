#include "media/ffmpeg_library.h"

#include "libraries/run_time_library.h"

#include <cstdlib>

namespace tavrin {

namespace {

// The major versions the headers describe: a library of another major version
// may lay out its structures differently. Debian names each package after its
// library and major version.
#define TAVRIN_LIBRARY(name, major) "lib" #name ".so." AV_STRINGIFY(major), "lib" #name AV_STRINGIFY(major)
constexpr const char* kLibraries[][2] = {
    {TAVRIN_LIBRARY(avutil, LIBAVUTIL_VERSION_MAJOR)},
    {TAVRIN_LIBRARY(avcodec, LIBAVCODEC_VERSION_MAJOR)},
    {TAVRIN_LIBRARY(avformat, LIBAVFORMAT_VERSION_MAJOR)},
    {TAVRIN_LIBRARY(swresample, LIBSWRESAMPLE_VERSION_MAJOR)},
};
#undef TAVRIN_LIBRARY

struct Loaded {
    FFmpegLibrary functions{};
    QString problem;
};

LibraryNeed need()
{
    LibraryNeed need{QStringLiteral("解码组件 FFmpeg"), {}, {}};
    QStringList packages;
    for (const auto& [file, package] : kLibraries) {
        need.files << QString::fromLatin1(file);
        packages << QString::fromLatin1(package);
    }
    need.remedy = QStringLiteral("请安装 %1。").arg(packages.join(u'、'));
    return need;
}

Loaded load()
{
    RunTimeLibrary library(need());
    Loaded loaded;
    FFmpegLibrary& f = loaded.functions;
    // Each member is named as its function, so the name is written once.
#define TAVRIN_TAKE(name) library.take(#name, f.name)
    TAVRIN_TAKE(av_log_set_level);
    TAVRIN_TAKE(av_frame_alloc);
    TAVRIN_TAKE(av_frame_free);
    TAVRIN_TAKE(av_frame_unref);
    TAVRIN_TAKE(av_get_bytes_per_sample);
    TAVRIN_TAKE(av_get_packed_sample_fmt);
    TAVRIN_TAKE(av_sample_fmt_is_planar);
    TAVRIN_TAKE(av_packet_alloc);
    TAVRIN_TAKE(av_packet_free);
    TAVRIN_TAKE(av_packet_unref);
    TAVRIN_TAKE(avcodec_find_decoder);
    TAVRIN_TAKE(avcodec_alloc_context3);
    TAVRIN_TAKE(avcodec_free_context);
    TAVRIN_TAKE(avcodec_parameters_to_context);
    TAVRIN_TAKE(avcodec_open2);
    TAVRIN_TAKE(avcodec_send_packet);
    TAVRIN_TAKE(avcodec_receive_frame);
    TAVRIN_TAKE(avcodec_flush_buffers);
    TAVRIN_TAKE(avformat_alloc_context);
    TAVRIN_TAKE(avformat_open_input);
    TAVRIN_TAKE(avformat_find_stream_info);
    TAVRIN_TAKE(avformat_close_input);
    TAVRIN_TAKE(av_read_frame);
    TAVRIN_TAKE(av_seek_frame);
    TAVRIN_TAKE(swr_alloc_set_opts2);
    TAVRIN_TAKE(swr_init);
    TAVRIN_TAKE(swr_convert);
    TAVRIN_TAKE(swr_get_out_samples);
    TAVRIN_TAKE(swr_free);
#undef TAVRIN_TAKE
    loaded.problem = library.problem();
    return loaded;
}

const Loaded& loaded()
{
    static const Loaded once = load();
    return once;
}

} // namespace

const FFmpegLibrary* loadFFmpeg()
{
    return loaded().problem.isEmpty() ? &loaded().functions : nullptr;
}

QString ffmpegProblem()
{
    return loaded().problem;
}

const FFmpegLibrary& ffmpeg()
{
    if (!loaded().problem.isEmpty())
        std::abort(); // a caller that skipped loadFFmpeg(): a fault in this program
    return loaded().functions;
}

} // namespace tavrin
