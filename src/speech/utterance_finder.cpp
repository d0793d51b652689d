#include "speech/utterance_finder.h"

#include "speech/model_files.h"

#include <QFile>
#include <QFileInfo>

#include <exception>

namespace tavrin {

namespace {

// The detector decides once per call: fed whole windows, its edges fall where
// its own examples put them (larger pieces shift or merge utterances).
constexpr int kWindow = 512;
// Pauses shorter than this stay inside an utterance: a breath is not a paragraph.
constexpr float kShortestSilence = 0.5f;
constexpr float kShortestSpeech = 0.25f;
// Longer speech is cut, so that a recogniser is never handed more than it takes well.
constexpr float kLongestSpeech = 20.0f;
constexpr float kBufferSeconds = 30.0f; // the engine's own buffer; must be above the longest speech

} // namespace

std::unique_ptr<UtteranceFinder> UtteranceFinder::create(const SpeechEngine& engine, const QString& model,
                                                         QString* problem)
{
    if (!QFileInfo::exists(model)) {
        *problem = QStringLiteral("找不到语音检测模型：%1").arg(model);
        return nullptr;
    }
    // The engine's folder is the program's own: a link there was put by its installer.
    if (const QString wrong = onnxModelProblem(model, Links::Followed); !wrong.isEmpty()) {
        *problem = QStringLiteral("语音检测模型无法读取：%1").arg(wrong);
        return nullptr;
    }
    const QByteArray path = QFile::encodeName(model);
    SherpaOnnxVadModelConfig config{};
    config.silero_vad.model = path.constData();
    config.silero_vad.threshold = 0.5f;
    config.silero_vad.min_silence_duration = kShortestSilence;
    config.silero_vad.min_speech_duration = kShortestSpeech;
    config.silero_vad.max_speech_duration = kLongestSpeech;
    config.silero_vad.window_size = kWindow;
    config.sample_rate = kSampleRate;
    config.num_threads = 1;
    config.provider = "cpu";
    const SherpaOnnxVoiceActivityDetector* detector = nullptr;
    try {
        detector = engine.SherpaOnnxCreateVoiceActivityDetector(&config, kBufferSeconds);
    } catch (const std::exception& error) {
        // ONNX Runtime throws on a file that is not a model it can run.
        *problem = QStringLiteral("语音检测模型无法读取（%1）：%2").arg(model, QString::fromLocal8Bit(error.what()));
        return nullptr;
    }
    if (!detector) {
        *problem = QStringLiteral("语音检测模型无法读取：%1").arg(model);
        return nullptr;
    }
    return std::unique_ptr<UtteranceFinder>(new UtteranceFinder(engine, detector));
}

UtteranceFinder::UtteranceFinder(const SpeechEngine& engine, const SherpaOnnxVoiceActivityDetector* detector)
    : engine_(engine)
    , detector_(detector)
{
    pending_.reserve(kWindow);
}

UtteranceFinder::~UtteranceFinder()
{
    engine_.SherpaOnnxDestroyVoiceActivityDetector(detector_);
}

void UtteranceFinder::accept(std::span<const float> samples)
{
    while (!samples.empty()) {
        if (pending_.empty() && samples.size() >= std::size_t(kWindow)) {
            engine_.SherpaOnnxVoiceActivityDetectorAcceptWaveform(detector_, samples.data(), kWindow);
            samples = samples.subspan(kWindow);
            continue;
        }
        const std::size_t taken = std::min(samples.size(), std::size_t(kWindow) - pending_.size());
        pending_.insert(pending_.end(), samples.begin(), samples.begin() + std::ptrdiff_t(taken));
        samples = samples.subspan(taken);
        if (pending_.size() == std::size_t(kWindow)) {
            engine_.SherpaOnnxVoiceActivityDetectorAcceptWaveform(detector_, pending_.data(), kWindow);
            pending_.clear();
        }
    }
}

void UtteranceFinder::finish()
{
    if (!pending_.empty()) {
        pending_.resize(kWindow, 0.0f); // the last window, filled with silence
        engine_.SherpaOnnxVoiceActivityDetectorAcceptWaveform(detector_, pending_.data(), kWindow);
        pending_.clear();
    }
    engine_.SherpaOnnxVoiceActivityDetectorFlush(detector_);
}

std::optional<Utterance> UtteranceFinder::next()
{
    if (engine_.SherpaOnnxVoiceActivityDetectorEmpty(detector_))
        return std::nullopt;
    const SherpaOnnxSpeechSegment* segment = engine_.SherpaOnnxVoiceActivityDetectorFront(detector_);
    engine_.SherpaOnnxVoiceActivityDetectorPop(detector_);
    if (!segment)
        return std::nullopt;
    Utterance utterance;
    utterance.startSeconds = double(segment->start) / kSampleRate;
    utterance.endSeconds = double(qint64(segment->start) + segment->n) / kSampleRate;
    utterance.samples.assign(segment->samples, segment->samples + segment->n);
    engine_.SherpaOnnxDestroySpeechSegment(segment);
    return utterance;
}

} // namespace tavrin
