#include "speech/word_recognizer.h"

#include <QFile>

#include <algorithm>
#include <exception>

namespace tavrin {

namespace {

constexpr int kSampleRate = 16000;
constexpr int32_t kMostTokens = 1 << 16; // far more than an utterance of speech holds

// The paths and words the configuration points to, kept while the engine reads it.
struct Strings {
    QByteArray model, encoder, decoder, tokens, language;
};

SherpaOnnxOfflineRecognizerConfig configFor(const RecognitionModel& model, const RecognitionOptions& options,
                                            const Strings& s)
{
    SherpaOnnxOfflineRecognizerConfig config{};
    config.feat_config.sample_rate = kSampleRate;
    config.feat_config.feature_dim = 80;
    config.model_config.tokens = s.tokens.constData();
    config.model_config.num_threads = std::max(1, options.threads);
    config.model_config.provider = "cpu";
    config.decoding_method = "greedy_search";
    switch (model.kind) {
    case RecognitionModel::Kind::SenseVoice:
        config.model_config.sense_voice.model = s.model.constData();
        config.model_config.sense_voice.language = s.language.constData();
        config.model_config.sense_voice.use_itn = options.punctuation ? 1 : 0;
        break;
    case RecognitionModel::Kind::Paraformer:
        config.model_config.paraformer.model = s.model.constData();
        break;
    case RecognitionModel::Kind::Whisper:
        config.model_config.whisper.encoder = s.encoder.constData();
        config.model_config.whisper.decoder = s.decoder.constData();
        config.model_config.whisper.language = s.language.constData();
        config.model_config.whisper.task = "transcribe";
        break;
    }
    return config;
}

} // namespace

std::unique_ptr<WordRecognizer> WordRecognizer::create(const SpeechEngine& engine, const RecognitionModel& model,
                                                       const RecognitionOptions& options, QString* problem)
{
    const Strings strings{QFile::encodeName(model.model), QFile::encodeName(model.encoder),
                          QFile::encodeName(model.decoder), QFile::encodeName(model.tokens), options.language.toUtf8()};
    const SherpaOnnxOfflineRecognizerConfig config = configFor(model, options, strings);
    const SherpaOnnxOfflineRecognizer* recognizer = nullptr;
    try {
        recognizer = engine.SherpaOnnxCreateOfflineRecognizer(&config);
    } catch (const std::exception& error) {
        // ONNX Runtime throws on a file that is not a model it can run.
        *problem = QStringLiteral("识别模型无法读取：%1").arg(QString::fromLocal8Bit(error.what()));
        return nullptr;
    }
    if (!recognizer) {
        *problem = QStringLiteral("识别模型无法读取，请检查模型文件夹中的文件是否完整。");
        return nullptr;
    }
    return std::unique_ptr<WordRecognizer>(new WordRecognizer(engine, recognizer));
}

WordRecognizer::WordRecognizer(const SpeechEngine& engine, const SherpaOnnxOfflineRecognizer* recognizer)
    : engine_(engine)
    , recognizer_(recognizer)
{
}

WordRecognizer::~WordRecognizer()
{
    engine_.SherpaOnnxDestroyOfflineRecognizer(recognizer_);
}

Recognised WordRecognizer::recognise(std::span<const float> samples)
{
    const SherpaOnnxOfflineStream* stream = engine_.SherpaOnnxCreateOfflineStream(recognizer_);
    engine_.SherpaOnnxAcceptWaveformOffline(stream, kSampleRate, samples.data(), int32_t(samples.size()));
    engine_.SherpaOnnxDecodeOfflineStream(recognizer_, stream);
    const SherpaOnnxOfflineRecognizerResult* result = engine_.SherpaOnnxGetOfflineStreamResult(stream);
    Recognised recognised;
    if (result) {
        recognised.text = result->text ? QString::fromUtf8(result->text).trimmed() : QString();
        // The times come with the tokens, one each, or not at all.
        if (result->tokens_arr && result->timestamps && result->count > 0) {
            for (int32_t i = 0; i < std::min(result->count, kMostTokens); ++i) {
                recognised.tokens.push_back(QString::fromUtf8(result->tokens_arr[i] ? result->tokens_arr[i] : ""));
                recognised.times.push_back(result->timestamps[i]);
            }
        }
        engine_.SherpaOnnxDestroyOfflineRecognizerResult(result);
    }
    engine_.SherpaOnnxDestroyOfflineStream(stream);
    return recognised;
}

} // namespace tavrin
