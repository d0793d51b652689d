#include "video/picture_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tavrin {

QSize fitToAspect(QSize requested, QSize previous, double aspect)
{
    if (!(aspect > 0.0) || requested.isEmpty())
        return requested;
    const int widthChange = std::abs(requested.width() - previous.width());
    const int heightChange = std::abs(requested.height() - previous.height());
    if (widthChange >= heightChange)
        return {requested.width(), std::max(1, int(std::lround(requested.width() / aspect)))};
    return {std::max(1, int(std::lround(requested.height() * aspect))), requested.height()};
}

} // namespace tavrin
