#include "playback/libmpv_loader.h"

#include "playback/player_error.h"

#include <QString>

#include <dlfcn.h>

#include <string>

namespace tavrin {

namespace {

// The client API version this program is written against; the library's major
// version must match it.
constexpr char kLibraryName[] = "libmpv.so.2";

struct Loaded {
    LibMpv api{};
    std::string error;
};

template <typename Function> void resolve(void* library, const char* name, Function& function, std::string& error)
{
    function = reinterpret_cast<Function>(dlsym(library, name));
    if (!function && error.empty())
        error = std::string("libmpv 缺少函数 ") + name;
}

Loaded load()
{
    Loaded loaded;
    void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        loaded.error = std::string("无法加载播放组件 ") + kLibraryName + "：" + (reason ? reason : "");
        return loaded;
    }
    LibMpv& api = loaded.api;
    std::string& error = loaded.error;
    resolve(library, "mpv_create", api.create, error);
    resolve(library, "mpv_initialize", api.initialize, error);
    resolve(library, "mpv_terminate_destroy", api.terminateDestroy, error);
    resolve(library, "mpv_set_option_string", api.setOptionString, error);
    resolve(library, "mpv_set_property", api.setProperty, error);
    resolve(library, "mpv_get_property", api.getProperty, error);
    resolve(library, "mpv_observe_property", api.observeProperty, error);
    resolve(library, "mpv_command", api.command, error);
    resolve(library, "mpv_command_ret", api.commandRet, error);
    resolve(library, "mpv_command_async", api.commandAsync, error);
    resolve(library, "mpv_wait_event", api.waitEvent, error);
    resolve(library, "mpv_set_wakeup_callback", api.setWakeupCallback, error);
    resolve(library, "mpv_error_string", api.errorString, error);
    resolve(library, "mpv_free", api.free, error);
    resolve(library, "mpv_free_node_contents", api.freeNodeContents, error);
    resolve(library, "mpv_render_context_create", api.renderCreate, error);
    resolve(library, "mpv_render_context_set_update_callback", api.renderSetUpdateCallback, error);
    resolve(library, "mpv_render_context_update", api.renderUpdate, error);
    resolve(library, "mpv_render_context_render", api.render, error);
    resolve(library, "mpv_render_context_report_swap", api.renderReportSwap, error);
    resolve(library, "mpv_render_context_free", api.renderFree, error);
    // The library stays loaded for the rest of the run.
    return loaded;
}

} // namespace

const LibMpv& loadLibMpv()
{
    static const Loaded loaded = load();
    if (!loaded.error.empty())
        throw PlayerError(loaded.error);
    return loaded.api;
}

} // namespace tavrin
