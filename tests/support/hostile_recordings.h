#pragma once

#include <QString>

namespace tavrin::test {

// Recordings as a hostile tester makes them, with the ffmpeg tool, patched where
// ffmpeg would not write the lie. Each stops the test run, with ffmpeg's message,
// when it cannot be made.

// A Matroska file of `seconds` of a 440 Hz tone (FLAC, 44.1 kHz) whose header
// claims `claimedSeconds` (about 1e13 s by default, as near as Matroska's
// nanoseconds allow).
QString writeLyingLengthRecording(const QString& folder, double seconds = 5.0, double claimedSeconds = 9e12);

// A FLAC file at 1 Hz: `samples` of silence in frames of 65535, 8 KB for 200 000
// samples (55 hours, as its header says).
QString writeOneHertzFlac(const QString& folder, int samples = 200000);

// `wav` as FLAC, followed by `tailSamples` of silence at 1 Hz: FLAC's frames each
// tell their own rate, so that the rate drops to 1 Hz after the sound of `wav`.
QString writeFlacEndingAtOneHertz(const QString& folder, const QString& wav, int tailSamples = 4000);

} // namespace tavrin::test
