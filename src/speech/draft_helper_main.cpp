// tavrin-draft --engine FOLDER RECORDING
// The machine's first draft of a recording, in a process of its own so that a
// fault in the speech engine never reaches the window. It finds the utterances
// and tells each on its output as a line of JSON (draft_event.h), with the
// progress between them; the engine's own messages go to the error output.
#include "speech/draft_event.h"
#include "speech/speech_audio.h"
#include "speech/speech_engine.h"
#include "speech/utterance_finder.h"

#include <QDir>
#include <QString>
#include <QStringList>

#include <chrono>
#include <csignal>
#include <cstdio>

#include <sys/prctl.h>
#include <sys/resource.h>

using namespace tavrin;

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kProgressInterval = std::chrono::milliseconds(250);

void tell(const DraftEvent& event)
{
    const QByteArray line = encodeDraftEvent(event);
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    std::fflush(stdout); // each line as it comes: the window shows the draft as it grows
}

int fail(const QString& message)
{
    tell({DraftEvent::Kind::Failed, 0, 0, message});
    return 1;
}

struct Arguments {
    QString engineFolder;
    QString recording;
};

std::optional<Arguments> parse(int argc, char* argv[])
{
    QStringList list;
    for (int i = 1; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    if (list.size() != 3 || list[0] != QLatin1String("--engine"))
        return std::nullopt;
    return Arguments{list[1], list[2]};
}

// Tells the utterances the finder has closed.
void tellClosed(UtteranceFinder& finder)
{
    while (std::optional<Utterance> utterance = finder.next())
        tell({DraftEvent::Kind::Utterance, utterance->startSeconds, utterance->endSeconds, QString()});
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// Under the sanitizers: the engine's libraries keep some of what they allocate
// until the process ends; those are theirs, not this program's.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libonnxruntime.so\nleak:libsherpa-onnx-c-api.so\n";
}
#endif

int main(int argc, char* argv[])
{
    // Never outlives the window, and never takes the processor from it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setpriority(PRIO_PROCESS, 0, 19);
    const std::optional<Arguments> arguments = parse(argc, argv);
    if (!arguments) {
        std::fputs("usage: tavrin-draft --engine FOLDER RECORDING\n", stderr);
        return 2;
    }
    const SpeechEngineLoad engine = loadSpeechEngine(arguments->engineFolder);
    if (!engine.loaded)
        return fail(engine.problem);
    QString problem;
    const std::unique_ptr<UtteranceFinder> finder = UtteranceFinder::create(
        engine.engine, QDir(arguments->engineFolder).filePath(QStringLiteral("silero_vad.onnx")), &problem);
    if (!finder)
        return fail(problem);

    const std::atomic<bool> neverCancelled{false}; // cancelling is ending this process
    qint64 samplesSoFar = 0;
    Clock::time_point lastTold = Clock::now();
    SpeechAudioHandlers handlers;
    handlers.opened = [](double duration) { tell({DraftEvent::Kind::Started, duration, 0, QString()}); };
    handlers.sound = [&](std::span<const float> samples) {
        finder->accept(samples);
        samplesSoFar += qint64(samples.size());
        tellClosed(*finder);
        if (Clock::now() - lastTold >= kProgressInterval) {
            lastTold = Clock::now();
            tell({DraftEvent::Kind::Progress, double(samplesSoFar) / UtteranceFinder::kSampleRate, 0, QString()});
        }
    };
    if (!decodeSpeechAudio(arguments->recording, neverCancelled, handlers))
        return fail(QStringLiteral("无法读取录音中的声音：%1").arg(QDir::toNativeSeparators(arguments->recording)));
    finder->finish();
    tellClosed(*finder);
    tell({DraftEvent::Kind::Finished, 0, 0, QString()});
    return 0;
}
