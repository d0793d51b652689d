// The first draft: the helper on a whole recording against the same samples
// pushed through the engine in a bare loop of its C API (the voice detector, and
// with a model the recogniser on each segment it closes); the helper's resident
// memory for a long and a short recording; and, with a model, how soon the first
// paragraph comes.
#include "measure.h"

#include "speech/speech_engine.h"
#include "support/child_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <functional>

namespace tavrin::bench {

namespace {

struct HelperRun {
    double seconds = 0;
    double residentMiB = 0;
};

QStringList helperArguments(const QString& recording, const QString& model)
{
    QStringList arguments{QStringLiteral("--engine"), programFile(QStringLiteral("speech-engine"))};
    if (!model.isEmpty())
        arguments << QStringLiteral("--model") << model << QStringLiteral("--threads") << QStringLiteral("1");
    return arguments << recording;
}

// The helper as the window starts it, timed from start to end.
HelperRun runHelper(const QString& recording, const QString& model = {})
{
    QElapsedTimer clock;
    clock.start();
    const test::ChildRun run =
        test::runToEnd(programFile(QStringLiteral("tavrin-draft")), helperArguments(recording, model));
    if (!run.succeeded)
        qFatal("the draft's helper failed on %s", qPrintable(recording));
    return {clock.nsecsElapsed() / 1e9, run.peakResidentMiB};
}

// Milliseconds from starting the helper until it tells its first utterance.
double firstUtterance(const QString& recording, const QString& model)
{
    QProcess helper;
    QElapsedTimer clock;
    clock.start();
    helper.start(programFile(QStringLiteral("tavrin-draft")), helperArguments(recording, model));
    while (helper.waitForReadyRead(60000)) {
        while (helper.canReadLine())
            if (helper.readLine().contains("\"utterance\"")) {
                const double milliseconds = clock.nsecsElapsed() / 1e6;
                helper.kill();
                helper.waitForFinished();
                return milliseconds;
            }
    }
    qFatal("the helper told no utterance");
}

const SpeechEngine& engine()
{
    static const SpeechEngineLoad load = loadSpeechEngine(programFile(QStringLiteral("speech-engine")));
    if (!load.loaded)
        qFatal("%s", qPrintable(load.problem));
    return load.engine;
}

// The engine's own recogniser for a SenseVoice model folder, on one thread.
struct BareRecognizer {
    QByteArray model, tokens;
    const SherpaOnnxOfflineRecognizer* recognizer = nullptr;

    explicit BareRecognizer(const QString& folder)
        : model(QFile::encodeName(QDir(folder).filePath(QStringLiteral("model.onnx"))))
        , tokens(QFile::encodeName(QDir(folder).filePath(QStringLiteral("tokens.txt"))))
    {
        SherpaOnnxOfflineRecognizerConfig config{};
        config.feat_config = {16000, 80};
        config.model_config.tokens = tokens.constData();
        config.model_config.num_threads = 1;
        config.model_config.provider = "cpu";
        config.model_config.sense_voice = {model.constData(), "zh", 1};
        config.decoding_method = "greedy_search";
        recognizer = engine().SherpaOnnxCreateOfflineRecognizer(&config);
        if (!recognizer)
            qFatal("the engine refused the model in %s", qPrintable(folder));
    }
    ~BareRecognizer() { engine().SherpaOnnxDestroyOfflineRecognizer(recognizer); }

    void decode(const SherpaOnnxSpeechSegment* segment) const
    {
        const SpeechEngine& e = engine();
        const SherpaOnnxOfflineStream* stream = e.SherpaOnnxCreateOfflineStream(recognizer);
        e.SherpaOnnxAcceptWaveformOffline(stream, 16000, segment->samples, segment->n);
        e.SherpaOnnxDecodeOfflineStream(recognizer, stream);
        e.SherpaOnnxDestroyOfflineRecognizerResult(e.SherpaOnnxGetOfflineStreamResult(stream));
        e.SherpaOnnxDestroyOfflineStream(stream);
    }
};

// Seconds for the samples of a 16 kHz mono 16-bit WAV through the detector,
// window by window, read as they go; each segment handed to `take` as it closes.
double bareLoop(const QString& recording, const std::function<void(const SherpaOnnxSpeechSegment*)>& take)
{
    const SpeechEngine& e = engine();
    const QByteArray model = QFile::encodeName(programFile(QStringLiteral("speech-engine/silero_vad.onnx")));
    SherpaOnnxVadModelConfig config{};
    config.silero_vad = {model.constData(), 0.5f, 0.5f, 0.25f, 512, 20.0f};
    config.sample_rate = 16000;
    config.num_threads = 1;
    config.provider = "cpu";
    QFile wav(recording);
    if (!wav.open(QIODevice::ReadOnly) || !wav.seek(44))
        qFatal("cannot read %s", qPrintable(recording));
    QElapsedTimer clock;
    clock.start();
    const SherpaOnnxVoiceActivityDetector* detector = e.SherpaOnnxCreateVoiceActivityDetector(&config, 30.0f);
    std::vector<qint16> raw(512);
    std::vector<float> window(512);
    const auto takeClosed = [&] {
        while (!e.SherpaOnnxVoiceActivityDetectorEmpty(detector)) {
            const SherpaOnnxSpeechSegment* segment = e.SherpaOnnxVoiceActivityDetectorFront(detector);
            take(segment);
            e.SherpaOnnxDestroySpeechSegment(segment);
            e.SherpaOnnxVoiceActivityDetectorPop(detector);
        }
    };
    while (wav.read(reinterpret_cast<char*>(raw.data()), 1024) == 1024) {
        std::transform(raw.begin(), raw.end(), window.begin(), [](qint16 sample) { return sample / 32768.0f; });
        e.SherpaOnnxVoiceActivityDetectorAcceptWaveform(detector, window.data(), 512);
        takeClosed();
    }
    e.SherpaOnnxVoiceActivityDetectorFlush(detector);
    takeClosed();
    e.SherpaOnnxDestroyVoiceActivityDetector(detector);
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int runDraftCost(const QString& longRecording, const QString& shortRecording, const QString& model)
{
    const HelperRun shortRun = runHelper(shortRecording);
    const HelperRun longRun = runHelper(longRecording);
    report("draft utterances, helper", longRun.seconds * 1000.0);
    report("draft utterances, bare detector loop", bareLoop(longRecording, [](const auto*) {}) * 1000.0);
    report("draft helper resident, long", longRun.residentMiB, "MiB");
    report("draft helper resident, short", shortRun.residentMiB, "MiB");
    if (model.isEmpty())
        return 0;
    const HelperRun words = runHelper(longRecording, model);
    const BareRecognizer bare(model);
    report("draft words, helper", words.seconds * 1000.0);
    report("draft words, bare engine loop",
           bareLoop(longRecording, [&](const SherpaOnnxSpeechSegment* segment) { bare.decode(segment); }) * 1000.0);
    report("draft words, helper resident", words.residentMiB, "MiB");
    report("draft words, first utterance", firstUtterance(longRecording, model));
    return 0;
}

} // namespace tavrin::bench
