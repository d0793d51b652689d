#pragma once

#include "speech/model_folder.h"
#include "speech/speech_engine.h"

#include <QString>

#include <memory>
#include <span>

namespace tavrin {

struct RecognitionOptions {
    QString language = QStringLiteral("zh"); // SenseVoice and Whisper; empty: the model decides
    bool punctuation = true;                 // SenseVoice's inverse text normalisation
    int threads = 1;
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

    // The words of `samples` (16 kHz mono), trimmed.
    QString recognise(std::span<const float> samples);

private:
    WordRecognizer(const SpeechEngine& engine, const SherpaOnnxOfflineRecognizer* recognizer);

    const SpeechEngine& engine_;
    const SherpaOnnxOfflineRecognizer* recognizer_;
};

} // namespace tavrin
