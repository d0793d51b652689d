#pragma once

#include "speech/speech_engine.h"

#include <QString>

#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tavrin {

// One stretch of speech, timed from the start of the sound fed in.
struct Utterance {
    double startSeconds = 0;
    double endSeconds = 0;
    std::vector<float> samples; // 16 kHz mono, for recognising its words
};

// The engine's Silero voice detector, fed the sound in any pieces as it is decoded
// and giving the utterances it has closed. Only the current utterance is held,
// never the whole recording.
class UtteranceFinder {
public:
    static constexpr int kSampleRate = 16000;

    // Nothing when the detector cannot be made from `model`; then `problem` says why.
    static std::unique_ptr<UtteranceFinder> create(const SpeechEngine& engine, const QString& model, QString* problem);
    ~UtteranceFinder();
    UtteranceFinder(const UtteranceFinder&) = delete;
    UtteranceFinder& operator=(const UtteranceFinder&) = delete;

    void accept(std::span<const float> samples);
    // The end of the sound: the utterance still open is closed.
    void finish();
    // The oldest closed utterance not yet taken.
    std::optional<Utterance> next();

private:
    UtteranceFinder(const SpeechEngine& engine, const SherpaOnnxVoiceActivityDetector* detector);

    const SpeechEngine& engine_;
    const SherpaOnnxVoiceActivityDetector* detector_;
    std::vector<float> pending_; // less than one window, waiting for the rest
};

} // namespace tavrin
