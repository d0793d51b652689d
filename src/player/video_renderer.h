#pragma once

#include <cstddef>
#include <functional>

struct mpv_render_context;
struct mpv_render_param;

namespace tavrin {

class MpvHandle;

// The loaded recording's picture, drawn by libmpv's render API, either into the
// OpenGL context that is current on this thread or, by libmpv's own software
// renderer, into memory. While it lives, libmpv decodes the video track;
// without one (every audio-only session) no picture is decoded. With OpenGL,
// create, draw and destroy it with the same context current.
class VideoRenderer {
public:
    using ProcAddress = void* (*)(void* context, const char* name);

    // OpenGL. Throws PlayerError when libmpv cannot render on this context.
    VideoRenderer(MpvHandle& mpv, ProcAddress procAddress);
    // Software. Throws PlayerError when libmpv cannot render so.
    explicit VideoRenderer(MpvHandle& mpv);
    ~VideoRenderer();
    VideoRenderer(const VideoRenderer&) = delete;
    VideoRenderer& operator=(const VideoRenderer&) = delete;

    // Runs, on one of libmpv's threads, whenever a new frame is to be drawn.
    void setFrameReady(std::function<void()> ready);
    // Draws the frame into framebuffer `fbo` of `width` × `height` pixels, the
    // picture's aspect kept.
    void draw(int fbo, int width, int height);
    // Software: draws the frame into `pixels`, `width` × `height` pixels of 4
    // bytes (blue, green, red, unused) each, `stride` bytes a line apart.
    void drawInto(void* pixels, int width, int height, std::size_t stride);
    // Whether libmpv has a frame to draw since the last call; told after frameReady.
    bool hasNewFrame();
    // The frame drawn last is on screen now.
    void reportSwap();

private:
    void create(mpv_render_param* params);
    void render(mpv_render_param* params);
    static void frameReady(void* self);

    MpvHandle& mpv_;
    mpv_render_context* context_ = nullptr;
    std::function<void()> ready_;
};

} // namespace tavrin
