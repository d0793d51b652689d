#include "playback/waveform/ffmpeg_library.h"

#include <dlfcn.h>

#include <array>
#include <cstdlib>

namespace tavrin {

namespace {

// The major versions the headers describe: a library of another major version
// may lay out its structures differently.
constexpr const char* kLibraries[] = {
    "libavutil.so." AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR),
    "libavcodec.so." AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR),
    "libavformat.so." AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR),
};

struct Loaded {
    FFmpegLibrary functions{};
    bool complete = false;
};

using Libraries = std::array<void*, std::size(kLibraries)>;

template <typename Function> bool resolve(const Libraries& libraries, const char* name, Function& function)
{
    for (void* library : libraries) {
        function = reinterpret_cast<Function>(dlsym(library, name));
        if (function)
            return true;
    }
    return false;
}

Loaded load()
{
    Loaded loaded;
    Libraries found{};
    for (std::size_t i = 0; i < found.size(); ++i) {
        // They stay loaded for the rest of the run.
        found[i] = dlopen(kLibraries[i], RTLD_NOW | RTLD_LOCAL);
        if (!found[i])
            return loaded;
    }
    FFmpegLibrary& f = loaded.functions;
    loaded.complete = resolve(found, "av_log_set_level", f.av_log_set_level)
        && resolve(found, "av_frame_alloc", f.av_frame_alloc) && resolve(found, "av_frame_free", f.av_frame_free)
        && resolve(found, "av_frame_unref", f.av_frame_unref)
        && resolve(found, "av_get_packed_sample_fmt", f.av_get_packed_sample_fmt)
        && resolve(found, "av_sample_fmt_is_planar", f.av_sample_fmt_is_planar)
        && resolve(found, "av_packet_alloc", f.av_packet_alloc) && resolve(found, "av_packet_free", f.av_packet_free)
        && resolve(found, "av_packet_unref", f.av_packet_unref)
        && resolve(found, "avcodec_find_decoder", f.avcodec_find_decoder)
        && resolve(found, "avcodec_alloc_context3", f.avcodec_alloc_context3)
        && resolve(found, "avcodec_free_context", f.avcodec_free_context)
        && resolve(found, "avcodec_parameters_to_context", f.avcodec_parameters_to_context)
        && resolve(found, "avcodec_open2", f.avcodec_open2)
        && resolve(found, "avcodec_send_packet", f.avcodec_send_packet)
        && resolve(found, "avcodec_receive_frame", f.avcodec_receive_frame)
        && resolve(found, "avcodec_flush_buffers", f.avcodec_flush_buffers)
        && resolve(found, "avformat_alloc_context", f.avformat_alloc_context)
        && resolve(found, "avformat_open_input", f.avformat_open_input)
        && resolve(found, "avformat_find_stream_info", f.avformat_find_stream_info)
        && resolve(found, "avformat_close_input", f.avformat_close_input)
        && resolve(found, "av_read_frame", f.av_read_frame) && resolve(found, "av_seek_frame", f.av_seek_frame);
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
    return loaded().complete ? &loaded().functions : nullptr;
}

const FFmpegLibrary& ffmpeg()
{
    if (!loaded().complete)
        std::abort(); // a caller that skipped loadFFmpeg(): a fault in this program
    return loaded().functions;
}

} // namespace tavrin
