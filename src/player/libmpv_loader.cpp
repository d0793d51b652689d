#include "player/libmpv_loader.h"

#include "libraries/run_time_library.h"
#include "player/player_error.h"

namespace tavrin {

namespace {

struct Loaded {
    LibMpv api{};
    QString problem;
};

Loaded load()
{
    // The client API version this program is written against; the library's
    // major version must match it.
    RunTimeLibrary library(
        {QStringLiteral("播放组件"), {QStringLiteral("libmpv.so.2")}, QStringLiteral("请安装 libmpv2。")});
    Loaded loaded;
    LibMpv& api = loaded.api;
    library.take("mpv_create", api.create);
    library.take("mpv_initialize", api.initialize);
    library.take("mpv_terminate_destroy", api.terminateDestroy);
    library.take("mpv_set_option_string", api.setOptionString);
    library.take("mpv_set_property", api.setProperty);
    library.take("mpv_get_property", api.getProperty);
    library.take("mpv_observe_property", api.observeProperty);
    library.take("mpv_command", api.command);
    library.take("mpv_command_ret", api.commandRet);
    library.take("mpv_command_async", api.commandAsync);
    library.take("mpv_wait_event", api.waitEvent);
    library.take("mpv_set_wakeup_callback", api.setWakeupCallback);
    library.take("mpv_error_string", api.errorString);
    library.take("mpv_free", api.free);
    library.take("mpv_free_node_contents", api.freeNodeContents);
    library.take("mpv_render_context_create", api.renderCreate);
    library.take("mpv_render_context_set_update_callback", api.renderSetUpdateCallback);
    library.take("mpv_render_context_update", api.renderUpdate);
    library.take("mpv_render_context_render", api.render);
    library.take("mpv_render_context_report_swap", api.renderReportSwap);
    library.take("mpv_render_context_free", api.renderFree);
    loaded.problem = library.problem();
    return loaded;
}

} // namespace

const LibMpv& loadLibMpv()
{
    static const Loaded loaded = load();
    if (!loaded.problem.isEmpty())
        throw PlayerError(loaded.problem.toStdString());
    return loaded.api;
}

} // namespace tavrin
