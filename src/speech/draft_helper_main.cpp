// tavrin-draft --engine FOLDER [--model FOLDER [--language CODE] [--threads N]
//              [--no-punctuation] [--to-simplified]] RECORDING
// The machine's first draft of a recording, in a process of its own so that a
// fault in the speech engine never reaches the window. It finds the utterances,
// recognises their words with the model when one is given, and tells each on its
// output as a line of JSON (draft_event.h), with the progress between them; the
// engine's own messages go to the error output.
#include "files/path_bytes.h"
#include "speech/draft_event.h"
#include "speech/model_folder.h"
#include "speech/simplified_chinese.h"
#include "speech/speech_audio.h"
#include "speech/speech_engine.h"
#include "speech/utterance_finder.h"
#include "speech/word_recognizer.h"

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

constexpr char kUsage[] = "usage: tavrin-draft --engine FOLDER [--model FOLDER [--language CODE] [--threads N] "
                          "[--no-punctuation] [--to-simplified]] RECORDING\n";

struct Arguments {
    QString engineFolder;
    QString modelFolder; // empty: the utterances' marks alone
    RecognitionOptions recognition;
    bool toSimplified = false;
    QString recording;
};

std::optional<Arguments> parse(int argc, char* argv[])
{
    Arguments arguments;
    QStringList list;
    for (int i = 1; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    while (list.size() > 1) {
        const QString option = list.takeFirst();
        if (option == QLatin1String("--no-punctuation")) {
            arguments.recognition.punctuation = false;
            continue;
        }
        if (option == QLatin1String("--to-simplified")) {
            arguments.toSimplified = true;
            continue;
        }
        const QString value = list.takeFirst();
        if (option == QLatin1String("--engine"))
            arguments.engineFolder = value;
        else if (option == QLatin1String("--model"))
            arguments.modelFolder = value;
        else if (option == QLatin1String("--language"))
            arguments.recognition.language = value;
        else if (option == QLatin1String("--threads"))
            arguments.recognition.threads = value.toInt();
        else
            return std::nullopt;
    }
    if (list.size() != 1 || arguments.engineFolder.isEmpty())
        return std::nullopt;
    // The last argument, by its bytes (a name that is not UTF-8 keeps them), or a file://
    // address of them.
    arguments.recording = pathFromArgument(argv[argc - 1]);
    return arguments;
}

// The recogniser of the model asked for; nothing, and no problem, when none is.
std::unique_ptr<WordRecognizer> recognizerFor(const SpeechEngine& engine, const Arguments& arguments, QString* problem)
{
    if (arguments.modelFolder.isEmpty())
        return nullptr;
    const ModelFolder folder = inspectModelFolder(arguments.modelFolder);
    if (!folder.usable) {
        *problem = folder.problem;
        return nullptr;
    }
    return WordRecognizer::create(engine, folder.model, arguments.recognition, problem);
}

// What turns the sound of each utterance into the draft's words: the recogniser,
// and the conversion to Simplified characters when asked for. Either may be missing.
struct Words {
    WordRecognizer* recognizer = nullptr;
    const SimplifiedChinese* simplified = nullptr;

    QString of(const Utterance& utterance) const
    {
        if (!recognizer)
            return {};
        const QString words = recognizer->recognise(utterance.samples);
        return simplified ? simplified->convert(words) : words;
    }
};

// Tells the utterances the finder has closed, with their words.
void tellClosed(UtteranceFinder& finder, const Words& words)
{
    while (std::optional<Utterance> utterance = finder.next())
        tell({DraftEvent::Kind::Utterance, utterance->startSeconds, utterance->endSeconds, words.of(*utterance)});
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

// Decodes the recording and tells what is found in it as it goes.
int draft(const Arguments& arguments, UtteranceFinder& finder, const Words& words)
{
    const std::atomic<bool> neverCancelled{false}; // cancelling is ending this process
    qint64 samplesSoFar = 0;
    Clock::time_point lastTold = Clock::now();
    SpeechAudioHandlers handlers;
    handlers.opened = [](double duration) { tell({DraftEvent::Kind::Started, duration, 0, QString()}); };
    handlers.sound = [&](std::span<const float> samples) {
        finder.accept(samples);
        samplesSoFar += qint64(samples.size());
        tellClosed(finder, words);
        if (Clock::now() - lastTold >= kProgressInterval) {
            lastTold = Clock::now();
            tell({DraftEvent::Kind::Progress, double(samplesSoFar) / UtteranceFinder::kSampleRate, 0, QString()});
        }
    };
    if (!decodeSpeechAudio(arguments.recording, neverCancelled, handlers))
        return fail(QStringLiteral("无法读取录音中的声音：%1").arg(QDir::toNativeSeparators(arguments.recording)));
    finder.finish();
    tellClosed(finder, words);
    tell({DraftEvent::Kind::Finished, 0, 0, QString()});
    return 0;
}

int main(int argc, char* argv[])
{
    // Never outlives the window, and never takes the processor from it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setpriority(PRIO_PROCESS, 0, 19);
    const std::optional<Arguments> arguments = parse(argc, argv);
    if (!arguments) {
        std::fputs(kUsage, stderr);
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
    const std::unique_ptr<WordRecognizer> recognizer = recognizerFor(engine.engine, *arguments, &problem);
    if (!problem.isEmpty())
        return fail(problem);
    std::unique_ptr<SimplifiedChinese> simplified;
    if (recognizer && arguments->toSimplified && !(simplified = SimplifiedChinese::create(&problem)))
        return fail(problem);
    return draft(*arguments, *finder, Words{recognizer.get(), simplified.get()});
}
