#pragma once

#include <QColor>
#include <QIcon>

namespace tavrin {

enum class MediaIcon {
    Play,
    Pause,
    Stop,
    Volume,
    Muted
};

// The control bar's symbols, drawn rather than looked up: the desktop's icon
// theme (and the image plugins it loads) would otherwise be searched on the way
// to the window's first sight. Drawn in `colour` at the sizes a tool button uses.
QIcon mediaIcon(MediaIcon kind, const QColor& colour);

} // namespace tavrin
