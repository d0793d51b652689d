#include "player/video_renderer.h"

#include "player/mpv_handle.h"
#include "player/player_error.h"

#include <mpv/render_gl.h>

#include <string>
#include <utility>

namespace tavrin {

VideoRenderer::VideoRenderer(MpvHandle& mpv, ProcAddress procAddress)
    : mpv_(mpv)
{
    mpv_opengl_init_params init{procAddress, nullptr};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_OPENGL)},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &init},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    create(params);
}

VideoRenderer::VideoRenderer(MpvHandle& mpv)
    : mpv_(mpv)
{
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    create(params);
}

void VideoRenderer::create(mpv_render_param* params)
{
    const int error = mpv_.api().renderCreate(&context_, mpv_.handle(), params);
    if (error < 0)
        throw PlayerError("播放器无法显示画面：" + mpv_.errorText(error).toStdString());
    mpv_.api().renderSetUpdateCallback(context_, &VideoRenderer::frameReady, this);
    // The picture is decoded from now on.
    mpv_.setString("vid", "auto");
}

VideoRenderer::~VideoRenderer()
{
    mpv_.api().renderSetUpdateCallback(context_, nullptr, nullptr);
    try {
        mpv_.setString("vid", "no");
    } catch (const PlayerError&) {
        // The sound goes on either way; only the decoding of the picture would.
    }
    mpv_.api().renderFree(context_);
}

void VideoRenderer::setFrameReady(std::function<void()> ready)
{
    ready_ = std::move(ready);
}

void VideoRenderer::frameReady(void* self)
{
    auto* renderer = static_cast<VideoRenderer*>(self);
    if (renderer->ready_)
        renderer->ready_();
}

// Never waiting on the window's thread for the frame's time, which would hold
// the typing up: the swaps reported give libmpv its timing instead.
void VideoRenderer::draw(int fbo, int width, int height)
{
    mpv_opengl_fbo target{fbo, width, height, 0};
    int flip = 1; // OpenGL's framebuffers start at the bottom
    int block = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &target},
        {MPV_RENDER_PARAM_FLIP_Y, &flip},
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    render(params);
}

void VideoRenderer::drawInto(void* pixels, int width, int height, std::size_t stride)
{
    int size[] = {width, height};
    char format[] = "bgr0"; // QImage::Format_RGB32 in memory, on a little-endian machine
    int block = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_SW_SIZE, size},
        {MPV_RENDER_PARAM_SW_FORMAT, format},
        {MPV_RENDER_PARAM_SW_STRIDE, &stride},
        {MPV_RENDER_PARAM_SW_POINTER, pixels},
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    render(params);
}

void VideoRenderer::render(mpv_render_param* params)
{
    mpv_.api().renderUpdate(context_);
    mpv_.api().render(context_, params);
}

bool VideoRenderer::hasNewFrame()
{
    return (mpv_.api().renderUpdate(context_) & MPV_RENDER_UPDATE_FRAME) != 0;
}

void VideoRenderer::reportSwap()
{
    mpv_.api().renderReportSwap(context_);
}

} // namespace tavrin
