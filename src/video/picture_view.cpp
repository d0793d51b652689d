#include "video/picture_view.h"

#include "video/software_video_view.h"
#include "video/video_view.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace tavrin {

namespace {

// Asked once: the answer is the machine's for as long as the program runs.
bool openGlDrawsOnTheProcessor()
{
    static const bool software = [] {
        QOpenGLContext context;
        QOffscreenSurface surface;
        surface.create();
        if (!context.create() || !context.makeCurrent(&surface))
            return true; // no OpenGL at all
        const auto* name = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
        const bool onProcessor = !name || isSoftwareRenderer(QByteArrayView(name));
        context.doneCurrent();
        return onProcessor;
    }();
    return software;
}

} // namespace

bool isSoftwareRenderer(QByteArrayView renderer)
{
    const QByteArray name = renderer.toByteArray().toLower();
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "software rasterizer", "lavapipe"}) {
        if (name.contains(software))
            return true;
    }
    return false;
}

PictureView* createPictureView(MediaPlayer& player)
{
    if (openGlDrawsOnTheProcessor())
        return new SoftwareVideoView(player);
    return new VideoView(player);
}

} // namespace tavrin
