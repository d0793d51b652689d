#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <span>

namespace tavrin {

struct SpeechAudioHandlers {
    // Once, before any sound: the recording's length (0 when it does not tell it).
    std::function<void(double durationSeconds)> opened;
    // The sound in order, 16 kHz mono, a piece of about a tenth of a second at a time.
    std::function<void(std::span<const float> samples)> sound;
};

// Decodes the first audio stream of `path` on this thread, one piece at a time,
// so that no more than a piece is ever held. False when nothing could be decoded.
bool decodeSpeechAudio(const QString& path, const std::atomic<bool>& cancelled, const SpeechAudioHandlers& handlers);

} // namespace tavrin
