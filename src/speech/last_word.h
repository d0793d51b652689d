#pragma once

#include <QString>

namespace tavrin {

// The draft helper's last word: the failed event it tells if its process ends
// before it has told its end. The speech engine ends the process itself (it calls
// exit) on a model it cannot use, and a fault of its own crashes it; either way
// the window is told why in words, not by an exit code.

// Installs the handlers: at exit (also the engine's _Exit), and on a crash (not
// under the sanitizers, whose own handlers tell more).
void armLastWord();
// The message told if the process ends from here on without its end told.
void setLastWord(const QString& message);
// The end has been told: nothing more is.
void disarmLastWord();
// Tells the last word now, once, when the end has not been told; safe in a signal
// handler, and at any exit.
void tellLastWord();

} // namespace tavrin
