// The first draft's utterances: the helper on a whole recording against the same
// samples pushed through the engine's voice detector in a bare loop of its C API,
// and the helper's resident memory for a long and a short recording.
#include "measure.h"

#include "speech/speech_engine.h"
#include "support/child_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>

namespace tavrin::bench {

namespace {

struct HelperRun {
    double seconds = 0;
    double residentMiB = 0;
};

// The helper as the window starts it, timed from start to end.
HelperRun runHelper(const QString& recording)
{
    QElapsedTimer clock;
    clock.start();
    const test::ChildRun run =
        test::runToEnd(programFile(QStringLiteral("tavrin-draft")),
                       {QStringLiteral("--engine"), programFile(QStringLiteral("speech-engine")), recording});
    if (!run.succeeded)
        qFatal("the draft's helper failed on %s", qPrintable(recording));
    return {clock.nsecsElapsed() / 1e9, run.peakResidentMiB};
}

// The samples of a 16 kHz mono 16-bit WAV through the detector, window by window,
// read as they go; the utterances taken as they close.
double bareDetectorLoop(const QString& recording)
{
    const SpeechEngineLoad load = loadSpeechEngine(programFile(QStringLiteral("speech-engine")));
    if (!load.loaded)
        qFatal("%s", qPrintable(load.problem));
    const SpeechEngine& e = load.engine;
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
    while (wav.read(reinterpret_cast<char*>(raw.data()), 1024) == 1024) {
        std::transform(raw.begin(), raw.end(), window.begin(), [](qint16 sample) { return sample / 32768.0f; });
        e.SherpaOnnxVoiceActivityDetectorAcceptWaveform(detector, window.data(), 512);
        while (!e.SherpaOnnxVoiceActivityDetectorEmpty(detector)) {
            e.SherpaOnnxDestroySpeechSegment(e.SherpaOnnxVoiceActivityDetectorFront(detector));
            e.SherpaOnnxVoiceActivityDetectorPop(detector);
        }
    }
    e.SherpaOnnxVoiceActivityDetectorFlush(detector);
    e.SherpaOnnxDestroyVoiceActivityDetector(detector);
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int runDraftCost(const QString& longRecording, const QString& shortRecording)
{
    const HelperRun shortRun = runHelper(shortRecording);
    const HelperRun longRun = runHelper(longRecording);
    report("draft utterances, helper", longRun.seconds * 1000.0);
    report("draft utterances, bare detector loop", bareDetectorLoop(longRecording) * 1000.0);
    report("draft helper resident, long", longRun.residentMiB, "MiB");
    report("draft helper resident, short", shortRun.residentMiB, "MiB");
    return 0;
}

} // namespace tavrin::bench
