// The first draft's utterances: the helper on a whole recording against the same
// samples pushed through the engine's voice detector in a bare loop of its C API,
// and the helper's resident memory for a long and a short recording.
#include "measure.h"

#include "speech/speech_engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace tavrin::bench {

namespace {

struct HelperRun {
    double seconds = 0;
    double residentMiB = 0;
};

// The helper as the window starts it, its output thrown away, its peak memory from the kernel.
HelperRun runHelper(const QString& recording)
{
    const QByteArray helper = QFile::encodeName(programFile(QStringLiteral("tavrin-draft")));
    const QByteArray engine = QFile::encodeName(programFile(QStringLiteral("speech-engine")));
    const QByteArray file = QFile::encodeName(recording);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const char* arguments[] = {helper.constData(), "--engine", engine.constData(), file.constData(), nullptr};
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, helper.constData(), &actions, nullptr, const_cast<char**>(arguments), environ) != 0)
        qFatal("cannot start %s", helper.constData());
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("the draft's helper failed on %s", file.constData());
    return {clock.nsecsElapsed() / 1e9, usage.ru_maxrss / 1024.0};
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
