#pragma once

#include <QStringView>

namespace tavrin {

// The longest line a transcript may bring into the editor. The editor lays out a
// line as a whole after every key press, and a line of two million characters
// already takes over a second each time.
inline constexpr qsizetype kLongestEditorLine = 1'000'000;

// The length, in UTF-16 code units, of the longest line of `text`, whose lines
// end at '\n'. Empty text gives 0.
qsizetype longestLineLength(QStringView text);

} // namespace tavrin
