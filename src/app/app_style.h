#pragma once

class QApplication;

namespace tavrin {

// Hints show as framed balloons once the pointer has rested 800 ms on a control.
inline constexpr int kHintDelayMs = 800;

// The program's look and feel on top of the desktop's style: balloon hints, and
// a menu bar that Alt alone never activates (Alt in the editor warns instead).
void installAppStyle(QApplication& application);

} // namespace tavrin
