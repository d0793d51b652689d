#include "video/window_place.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace tavrin {

namespace {

qint64 coveredArea(const QRect& window, const QRect& covered)
{
    const QRect both = window.intersected(covered);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

// How far apart two rectangles are, across and down; 0 where they touch or overlap.
int gapBetween(const QRect& a, const QRect& b)
{
    const int across = std::max({0, b.left() - a.right() - 1, a.left() - b.right() - 1});
    const int down = std::max({0, b.top() - a.bottom() - 1, a.top() - b.bottom() - 1});
    return across + down;
}

int clampInto(int start, int length, int screenStart, int screenLength)
{
    return std::clamp(start, screenStart, std::max(screenStart, screenStart + screenLength - length));
}

} // namespace

QPoint placeBeside(const QRect& screen, const QRect& owner, const QRect& keepClear, QSize size)
{
    const int width = size.width();
    const int height = size.height();
    // Beside the owner, along its edges, then at the screen's edges.
    const std::array<int, 6> lefts{owner.right() + 1,         owner.left() - width, owner.left(),
                                   owner.right() + 1 - width, screen.left(),        screen.right() + 1 - width};
    const std::array<int, 6> tops{owner.top(),          owner.bottom() + 1,
                                  owner.top() - height, owner.bottom() + 1 - height,
                                  screen.top(),         screen.bottom() + 1 - height};
    QPoint best;
    std::tuple<qint64, qint64, int> bestCost{-1, 0, 0};
    for (const int left : lefts) {
        for (const int top : tops) {
            const QRect place(QPoint(clampInto(left, width, screen.left(), screen.width()),
                                     clampInto(top, height, screen.top(), screen.height())),
                              size);
            const std::tuple<qint64, qint64, int> cost{coveredArea(place, keepClear), coveredArea(place, owner),
                                                       gapBetween(place, owner)};
            if (std::get<0>(bestCost) < 0 || cost < bestCost) {
                bestCost = cost;
                best = place.topLeft();
            }
        }
    }
    return best;
}

} // namespace tavrin
