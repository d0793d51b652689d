#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <span>

namespace tavrin {

// Sound at rates outside these is not taken for speech. Below the lowest, not even
// the lower half of the telephone band is there to be recognised, and each of its
// samples would come out as thousands; above the highest (beyond any recorder's),
// the conversion's filter grows with the rate.
inline constexpr int kLowestSpeechRate = 4000;
inline constexpr int kHighestSpeechRate = 768000;

struct SpeechAudioHandlers {
    // Once, before any sound: the recording's length (0 when it does not tell it).
    std::function<void(double durationSeconds)> opened;
    // The sound in order, 16 kHz mono, a piece of about a tenth of a second at a time.
    std::function<void(std::span<const float> samples)> sound;
};

// How much of a recording's sound reached the handlers.
struct SpeechAudioOutcome {
    bool opened = false;        // FFmpeg found a stream of sound it can decode
    qint64 samplesHandedOn = 0; // at 16 kHz
    double missedSeconds = 0;   // decoded, but at a rate outside the bounds or in a layout that cannot be converted
    int rateOutsideBounds = 0;  // the rate of the last sound missed for its rate; 0: none was
    bool wholeCovered() const { return opened && samplesHandedOn > 0 && missedSeconds == 0; }
};

// Decodes the first audio stream of `path` on this thread, one piece at a time,
// so that no more than a piece is ever held, whatever the recording's rates, layout
// or frame sizes.
SpeechAudioOutcome decodeSpeechAudio(const QString& path, const std::atomic<bool>& cancelled,
                                     const SpeechAudioHandlers& handlers);

} // namespace tavrin
