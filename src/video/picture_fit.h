#pragma once

#include <QSize>

namespace tavrin {

// The size nearest `requested` with the picture's shape (`aspect`: width over
// height), for a window resized from `previous`: the side the user changed
// more stays as asked, the other follows. A size of that shape already, or no
// aspect known (0 or less), gives `requested` back.
QSize fitToAspect(QSize requested, QSize previous, double aspect);

} // namespace tavrin
