#pragma once

#include <QString>

namespace tavrin::test {

// Writes `path`: ten seconds of 320×240 H.264, red for five then blue, with a
// 440 Hz tone (FFmpeg's lavfi sources). Stops the test run when FFmpeg fails.
void writeColourBlocks(const QString& path);

} // namespace tavrin::test
