#pragma once

#include "speech/model_folder.h"
#include "speech/speech_engine.h"

#include <QString>

#include <memory>
#include <span>
#include <vector>

namespace tavrin {

struct RecognitionOptions {
    QString language = QStringLiteral("zh"); // SenseVoice and Whisper; empty: the model decides
    bool punctuation = true;                 // SenseVoice's inverse text normalisation
    int threads = 1;
};

// What the model made of one utterance: its text, trimmed, and the tokens it was
// decoded from with the start of each within the utterance, in seconds (none
// when the model tells no times).
struct Recognised {
    QString text;
    std::vector<QString> tokens;
    std::vector<float> times;
};

// The engine's recogniser for one model, giving the words of one utterance at a time.
class WordRecognizer {
public:
    // Nothing when the engine refuses the model; then `problem` says why.
    static std::unique_ptr<WordRecognizer> create(const SpeechEngine& engine, const RecognitionModel& model,
                                                  const RecognitionOptions& options, QString* problem);
    ~WordRecognizer();
    WordRecognizer(const WordRecognizer&) = delete;
    WordRecognizer& operator=(const WordRecognizer&) = delete;

    // The words of `samples` (16 kHz mono).
    Recognised recognise(std::span<const float> samples);

private:
    WordRecognizer(const SpeechEngine& engine, const SherpaOnnxOfflineRecognizer* recognizer);

    const SpeechEngine& engine_;
    const SherpaOnnxOfflineRecognizer* recognizer_;
};

} // namespace tavrin
