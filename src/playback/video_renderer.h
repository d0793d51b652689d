#pragma once

#include <functional>

struct mpv_render_context;

namespace tavrin {

class MpvHandle;

// The loaded recording's picture, drawn by libmpv's render API into the OpenGL
// context that is current on this thread. While it lives, libmpv decodes the
// video track; without one (every audio-only session) no picture is decoded.
// Create, draw and destroy it with the same context current.
class VideoRenderer {
public:
    using ProcAddress = void* (*)(void* context, const char* name);

    // Throws PlayerError when libmpv cannot render on this context.
    VideoRenderer(MpvHandle& mpv, ProcAddress procAddress);
    ~VideoRenderer();
    VideoRenderer(const VideoRenderer&) = delete;
    VideoRenderer& operator=(const VideoRenderer&) = delete;

    // Runs, on one of libmpv's threads, whenever a new frame is to be drawn.
    void setFrameReady(std::function<void()> ready);
    // Draws the frame into framebuffer `fbo` of `width` × `height` pixels, the
    // picture's aspect kept.
    void draw(int fbo, int width, int height);
    // Whether libmpv has a frame to draw since the last call; told after frameReady.
    bool hasNewFrame();
    // The frame drawn last is on screen now.
    void reportSwap();

private:
    static void frameReady(void* self);

    MpvHandle& mpv_;
    mpv_render_context* context_ = nullptr;
    std::function<void()> ready_;
};

} // namespace tavrin
