#pragma once

class QApplication;

namespace tavrin {

// Hints show as framed balloons once the pointer has rested 800 ms on a control.
inline constexpr int kHintDelayMs = 800;

void installBalloonHints(QApplication& application);

} // namespace tavrin
