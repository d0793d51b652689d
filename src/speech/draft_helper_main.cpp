// tavrin-draft --engine FOLDER [--model FOLDER [--language CODE] [--threads N]
//              [--no-punctuation] [--to-simplified]] RECORDING
// The machine's first draft of a recording, in a process of its own so that a
// fault in the speech engine never reaches the window. It finds the utterances,
// recognises their words with the model when one is given, and tells each on its
// output as a line of JSON (draft_event.h), with the progress between them; the
// engine's own messages go to the error output.
#include "files/path_bytes.h"
#include "media/ffmpeg_library.h"
#include "speech/draft_event.h"
#include "speech/draft_problems.h"
#include "speech/last_word.h"
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
    if (event.kind == DraftEvent::Kind::Finished || event.kind == DraftEvent::Kind::Failed)
        disarmLastWord();
    const QByteArray line = encodeDraftEvent(event);
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout);
    std::fflush(stdout); // each line as it comes: the window shows the draft as it grows
}

int fail(const QString& message)
{
    tell({.kind = DraftEvent::Kind::Failed, .text = message});
    return 1;
}

// What the window is told when the engine ends the process at each stage.
const QString kEngineEnded = QStringLiteral("自动初稿没有完成：语音引擎意外退出。");
const QString kDetectorEnded = QStringLiteral("语音检测模型无法读取：语音引擎在读取它时退出。请重新安装本程序。");
const QString kModelEnded =
    QStringLiteral("识别模型无法读取：语音引擎在读取模型时退出。请确认模型文件夹中是完整的 SenseVoice、"
                   "Paraformer 或 Whisper 模型，与文件夹的名称相符（Paraformer 模型的文件夹名称含有 paraformer）。");
const QString kEngineEndedMidway =
    QStringLiteral("自动初稿没有完成：语音引擎在识别时意外退出。已经生成的初稿保留在文稿中。");

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

    // The utterance as the window is told it: its words, and where each starts in the recording.
    DraftEvent of(const Utterance& utterance) const
    {
        DraftEvent event{
            .kind = DraftEvent::Kind::Utterance, .seconds = utterance.startSeconds, .endSeconds = utterance.endSeconds};
        if (!recognizer)
            return event;
        const Recognised recognised = recognizer->recognise(utterance.samples);
        event.text = recognised.text;
        event.words = placeTokens(recognised.text, recognised.tokens, recognised.times, utterance.startSeconds);
        if (event.words.empty()) { // a model that tells no times
            event.words = spreadOverUtterance(event.text, utterance.startSeconds, utterance.endSeconds);
            event.wordsEstimated = !event.words.empty();
        }
        if (simplified) {
            ConvertedWords converted = convertKeepingWords(
                event.text, event.words, [this](const QString& text) { return simplified->convert(text); });
            event.text = std::move(converted.text);
            event.words = std::move(converted.words);
        }
        return event;
    }
};

// Tells the utterances the finder has closed, with their words.
void tellClosed(UtteranceFinder& finder, const Words& words)
{
    while (std::optional<Utterance> utterance = finder.next())
        tell(words.of(*utterance));
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
    handlers.opened = [](double duration) { tell({.kind = DraftEvent::Kind::Started, .seconds = duration}); };
    handlers.sound = [&](std::span<const float> samples) {
        finder.accept(samples);
        samplesSoFar += qint64(samples.size());
        tellClosed(finder, words);
        if (Clock::now() - lastTold >= kProgressInterval) {
            lastTold = Clock::now();
            tell({.kind = DraftEvent::Kind::Progress, .seconds = double(samplesSoFar) / UtteranceFinder::kSampleRate});
        }
    };
    const SpeechAudioOutcome outcome = decodeSpeechAudio(arguments.recording, neverCancelled, handlers);
    if (outcome.samplesHandedOn > 0) {
        finder.finish();
        tellClosed(finder, words);
    }
    // Finished only when every bit of the sound went through: a draft that left some
    // out is not done, and the window says so.
    if (const QString problem = coverageProblem(outcome, arguments.recording); !problem.isEmpty())
        return fail(problem);
    tell({.kind = DraftEvent::Kind::Finished});
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
    armLastWord();
    setLastWord(kEngineEnded);
    // Checked before the engine is loaded: a named pipe would block the decoding for ever.
    if (QString problem = recordingProblem(arguments->recording); !problem.isEmpty())
        return fail(problem);
    if (loadFFmpeg() == nullptr)
        return fail(ffmpegProblem());
    const SpeechEngineLoad engine = loadSpeechEngine(arguments->engineFolder);
    if (!engine.loaded)
        return fail(engine.problem);
    QString problem;
    setLastWord(kDetectorEnded);
    const std::unique_ptr<UtteranceFinder> finder = UtteranceFinder::create(
        engine.engine, QDir(arguments->engineFolder).filePath(QStringLiteral("silero_vad.onnx")), &problem);
    if (!finder)
        return fail(problem);
    setLastWord(kModelEnded);
    const std::unique_ptr<WordRecognizer> recognizer = recognizerFor(engine.engine, *arguments, &problem);
    if (!problem.isEmpty())
        return fail(problem);
    std::unique_ptr<SimplifiedChinese> simplified;
    if (recognizer && arguments->toSimplified && !(simplified = SimplifiedChinese::create(&problem)))
        return fail(problem);
    setLastWord(kEngineEndedMidway);
    return draft(*arguments, *finder, Words{recognizer.get(), simplified.get()});
}
