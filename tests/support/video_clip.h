#pragma once

#include <QString>

namespace tavrin::test {

// Writes `path`: ten seconds of 320×240 H.264, red for five then blue, with a
// 440 Hz tone (FFmpeg's lavfi sources). A broken picture has every byte of its
// video packets overwritten (FFmpeg's noise filter), so that no frame decodes
// while the sound is whole. Stops the test run when FFmpeg fails.
enum class Picture {
    Whole,
    Broken
};
void writeColourBlocks(const QString& path, Picture picture = Picture::Whole);

} // namespace tavrin::test
