#pragma once

#include <functional>

class QWidget;

namespace tavrin {

// Runs `action` once, right after `window` has been painted and shown for the
// first time. Work that the first sight of the window need not wait for is
// started from here.
void whenFirstPainted(QWidget* window, std::function<void()> action);

// For start-up measurements: prints "first-paint <ns>" on standard output once
// `window` has first been painted, the time read from CLOCK_MONOTONIC, which the
// measuring process reads before it starts this one.
void reportFirstPaint(QWidget* window);

} // namespace tavrin
