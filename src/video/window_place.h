#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tavrin {

// Where a window of `size` (its frame included) goes the first time it opens
// beside `owner` (the main window's frame) on `screen` (the screen's free
// area): where it covers the least of `keepClear` (the text being typed), then
// the least of the owner, then the nearest the owner, and of places alike,
// to the owner's right first. Always inside the screen where it fits there.
QPoint placeBeside(const QRect& screen, const QRect& owner, const QRect& keepClear, QSize size);

} // namespace tavrin
