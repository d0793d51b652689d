#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tavrin::test {

// Phrases spoken by espeak-ng at known times, with silence between them: where
// each starts and ends is measured on the written sound itself.
struct SpokenPhrase {
    double startSeconds = 0;
    double endSeconds = 0;
};

struct SpokenPhrases {
    std::vector<SpokenPhrase> phrases;
    double lengthSeconds = 0;
};

// Writes `texts` as a mono 16-bit WAV at 22050 Hz to `path`: `gapSeconds` of
// silence before each phrase and after the last. Needs espeak-ng (scripts/setup).
SpokenPhrases writeSpokenPhrases(const QString& path, const QStringList& texts, double gapSeconds);

// The WAV at `wav` re-encoded by the ffmpeg tool with `options` after the inputs
// into `path`; with `withVideo`, a small black video stream comes with it.
void encodeWithFfmpeg(const QString& wav, const QString& path, const QStringList& options, bool withVideo = false);

} // namespace tavrin::test
