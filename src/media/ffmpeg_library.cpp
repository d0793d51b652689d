#include "media/ffmpeg_library.h"

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
    // Each member is named as its function, so the name is written once.
#define TAVRIN_RESOLVE(name) resolve(found, #name, f.name)
    loaded.complete = TAVRIN_RESOLVE(av_log_set_level) && TAVRIN_RESOLVE(av_frame_alloc)
        && TAVRIN_RESOLVE(av_frame_free) && TAVRIN_RESOLVE(av_frame_unref) && TAVRIN_RESOLVE(av_get_bytes_per_sample)
        && TAVRIN_RESOLVE(av_get_packed_sample_fmt) && TAVRIN_RESOLVE(av_sample_fmt_is_planar)
        && TAVRIN_RESOLVE(av_packet_alloc) && TAVRIN_RESOLVE(av_packet_free) && TAVRIN_RESOLVE(av_packet_unref)
        && TAVRIN_RESOLVE(avcodec_find_decoder) && TAVRIN_RESOLVE(avcodec_alloc_context3)
        && TAVRIN_RESOLVE(avcodec_free_context) && TAVRIN_RESOLVE(avcodec_parameters_to_context)
        && TAVRIN_RESOLVE(avcodec_open2) && TAVRIN_RESOLVE(avcodec_send_packet) && TAVRIN_RESOLVE(avcodec_receive_frame)
        && TAVRIN_RESOLVE(avcodec_flush_buffers) && TAVRIN_RESOLVE(avformat_alloc_context)
        && TAVRIN_RESOLVE(avformat_open_input) && TAVRIN_RESOLVE(avformat_find_stream_info)
        && TAVRIN_RESOLVE(avformat_close_input) && TAVRIN_RESOLVE(av_read_frame) && TAVRIN_RESOLVE(av_seek_frame);
#undef TAVRIN_RESOLVE
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
