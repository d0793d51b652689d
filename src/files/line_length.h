#pragma once

#include <QStringView>

namespace tavrin {

// The longest line a transcript may bring into the editor. The editor lays out a
// line as a whole after every key press, and a line of two million characters
// already takes over a second each time.
inline constexpr qsizetype kLongestEditorLine = 1'000'000;

// The longest run of characters a line may bring without a place to wrap it:
// the editor wraps such a run in time that grows with the square of its length
// (50,000 letters already take 0.15 s a key press, a million minutes).
inline constexpr qsizetype kLongestUnbrokenRun = 50'000;

// The length, in UTF-16 code units, of the longest line of `text`, whose lines
// end at '\n'. Empty text gives 0.
qsizetype longestLineLength(QStringView text);

// The length of the longest run of characters that are neither blanks nor
// characters between which a line may wrap (Chinese, Japanese and Korean
// script and full-width forms, from U+2E80 up).
qsizetype longestUnbrokenRun(QStringView text);

} // namespace tavrin
