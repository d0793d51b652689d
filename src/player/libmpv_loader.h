#pragma once

#include <mpv/client.h>
#include <mpv/render.h>

namespace tavrin {

// The libmpv functions the player uses, resolved at run time. libmpv pulls in
// some two hundred shared libraries; linking them into the executable would
// make every start wait for all of them before the window could show.
struct LibMpv {
    decltype(&::mpv_create) create;
    decltype(&::mpv_initialize) initialize;
    decltype(&::mpv_terminate_destroy) terminateDestroy;
    decltype(&::mpv_set_option_string) setOptionString;
    decltype(&::mpv_set_property) setProperty;
    decltype(&::mpv_get_property) getProperty;
    decltype(&::mpv_observe_property) observeProperty;
    decltype(&::mpv_command) command;
    decltype(&::mpv_command_ret) commandRet;
    decltype(&::mpv_command_async) commandAsync;
    decltype(&::mpv_wait_event) waitEvent;
    decltype(&::mpv_set_wakeup_callback) setWakeupCallback;
    decltype(&::mpv_error_string) errorString;
    decltype(&::mpv_free) free;
    decltype(&::mpv_free_node_contents) freeNodeContents;
    // The render API, for the video window.
    decltype(&::mpv_render_context_create) renderCreate;
    decltype(&::mpv_render_context_set_update_callback) renderSetUpdateCallback;
    decltype(&::mpv_render_context_update) renderUpdate;
    decltype(&::mpv_render_context_render) render;
    decltype(&::mpv_render_context_report_swap) renderReportSwap;
    decltype(&::mpv_render_context_free) renderFree;
};

// Loads libmpv once (thread-safe) and returns its functions; throws PlayerError
// (player_error.h) when the library or one of its functions is missing.
const LibMpv& loadLibMpv();

} // namespace tavrin
