#include "helper_runs.h"

#include "speech/draft_event.h"
#include "support/child_run.h"
#include "support/hostile_recordings.h"
#include "support/pcm_sound.h"
#include "support/run_tool.h"
#include "support/spoken_phrases.h"
#include "support/wav_file.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

using namespace tavrin;
using namespace tavrin::test;
using Kind = DraftEvent::Kind;

namespace {

// A mark this close to where its phrase starts is where a transcriber would put it.
constexpr double kMarkTolerance = 0.3;

} // namespace

class DraftHelperTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyPhraseGetsOneMarkAtItsStart_data();
    void everyPhraseGetsOneMarkAtItsStart();
    void whatCannotRunIsToldNotCrashed_data();
    void whatCannotRunIsToldNotCrashed();
    void aModelsWordsFollowTheMarks_data();
    void aModelsWordsFollowTheMarks();
    void eachWordIsTimedAtItsBurst();
    void traditionalWordsBecomeSimplifiedWhenAsked_data();
    void traditionalWordsBecomeSimplifiedWhenAsked();
    void anHourTakesNoMoreMemoryThanAMinute();
    void aModelThatCannotRunEndsTheHelperAlone_data();
    void aModelThatCannotRunEndsTheHelperAlone();
    void aRateNoSpeechCanBeInTakesNoMemory();
    void aRecordingCoveredInPartIsNeverFinished();

private:
    QTemporaryDir folder_;
    QString wav_;
    SpokenPhrases spoken_;
};

void DraftHelperTest::initTestCase()
{
    QVERIFY(folder_.isValid());
    wav_ = folder_.filePath(QStringLiteral("phrases.wav"));
    spoken_ = writeSpokenPhrases(wav_,
                                 {QStringLiteral("今天我们讨论一下项目的进度。"), QStringLiteral("好的，我先说。"),
                                  QStringLiteral("上个月完成了第一部分的工作，下个月开始测试。")},
                                 2.0);
    QCOMPARE(spoken_.phrases.size(), std::size_t(3));
}

void DraftHelperTest::everyPhraseGetsOneMarkAtItsStart_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("withVideo");
    QTest::newRow("WAV") << QStringLiteral("wav") << QStringList{} << false;
    QTest::newRow("MP3, 44.1 kHz stereo")
        << QStringLiteral("mp3")
        << QStringList{QStringLiteral("-ar"), QStringLiteral("44100"), QStringLiteral("-ac"), QStringLiteral("2")}
        << false;
    QTest::newRow("MP4 with video, AAC 48 kHz")
        << QStringLiteral("mp4")
        << QStringList{QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-ar"), QStringLiteral("48000")}
        << true;
}

void DraftHelperTest::everyPhraseGetsOneMarkAtItsStart()
{
    QFETCH(QString, suffix);
    QFETCH(QStringList, options);
    QFETCH(bool, withVideo);
    QString recording = wav_;
    if (suffix != QLatin1String("wav")) {
        recording = folder_.filePath(QStringLiteral("phrases.") + suffix);
        encodeWithFfmpeg(wav_, recording, options, withVideo);
    }
    const HelperRun run = runHelper(QStringLiteral(TAVRIN_SPEECH_ENGINE), recording);
    QCOMPARE(run.status, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(!run.events.empty());
    QCOMPARE(run.events.front().kind, Kind::Started);
    QVERIFY(std::abs(run.events.front().seconds - spoken_.lengthSeconds) < 0.2);
    QCOMPARE(run.events.back().kind, Kind::Finished);

    const std::vector<DraftEvent> marks = ofKind(run.events, Kind::Utterance);
    QCOMPARE(marks.size(), spoken_.phrases.size()); // one each, and none in the silences
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const double off = marks[i].seconds - spoken_.phrases[i].startSeconds;
        QVERIFY2(std::abs(off) <= kMarkTolerance,
                 qPrintable(QStringLiteral("phrase %1 starts at %2 s, its mark at %3 s")
                                .arg(i)
                                .arg(spoken_.phrases[i].startSeconds)
                                .arg(marks[i].seconds)));
    }
}

void DraftHelperTest::whatCannotRunIsToldNotCrashed_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("told");
    QTest::newRow("no engine") << QStringLiteral("no engine") << QStringLiteral("找不到语音引擎");
    QTest::newRow("engine of another version") << QStringLiteral("other version") << QStringLiteral("1.12.0");
    QTest::newRow("foreign model") << QStringLiteral("foreign model") << QStringLiteral("语音检测模型无法读取");
    QTest::newRow("truncated model") << QStringLiteral("truncated model") << QStringLiteral("语音检测模型无法读取");
    QTest::newRow("no sound in the recording")
        << QStringLiteral("not a recording") << QStringLiteral("无法读取录音中的声音");
    QTest::newRow("a named pipe as the recording, which would block the helper")
        << QStringLiteral("pipe") << QStringLiteral("录音不是普通文件");
    QTest::newRow("no recording there") << QStringLiteral("missing") << QStringLiteral("找不到录音");
    QTest::newRow("a recording at 1 Hz") << QStringLiteral("1 Hz") << QStringLiteral("采样率是 1 Hz");
}

void DraftHelperTest::whatCannotRunIsToldNotCrashed()
{
    QFETCH(QString, problem);
    QFETCH(QString, told);
    QTemporaryDir engine;
    QString engineFolder = QStringLiteral(TAVRIN_SPEECH_ENGINE);
    QString recording = wav_;
    if (problem == QLatin1String("no engine"))
        engineFolder = engine.path();
    else if (problem == QLatin1String("other version"))
        engineFolder = QStringLiteral(TAVRIN_OTHER_VERSION_ENGINE);
    else if (problem == QLatin1String("foreign model"))
        engineFolder = engineWithModel(engine, "<html>not a model</html>");
    else if (problem == QLatin1String("truncated model"))
        engineFolder = engineWithModel(engine, realModelStart(4096));
    else if (problem == QLatin1String("pipe")) {
        recording = engine.filePath(QStringLiteral("pipe.wav"));
        QCOMPARE(::mkfifo(QFile::encodeName(recording).constData(), 0600), 0);
    } else if (problem == QLatin1String("missing"))
        recording = engine.filePath(QStringLiteral("gone.wav"));
    else if (problem == QLatin1String("1 Hz"))
        recording = writeOneHertzFlac(engine.path());
    else {
        recording = engine.filePath(QStringLiteral("notes.mp3"));
        QFile notes(recording);
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("only words, no sound\n") > 0);
    }

    const HelperRun run = runHelper(engineFolder, recording);
    QCOMPARE(run.status, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!run.events.empty());
    QCOMPARE(run.events.back().kind, Kind::Failed);
    QVERIFY2(run.events.back().text.contains(told), qPrintable(run.events.back().text));
    QVERIFY(ofKind(run.events, Kind::Utterance).empty());
}

// Puts in place of a model's file what `problem` names: "garbage tokens", "tokens
// pipe", "model pipe", "empty model" or "text model".
bool replaceFile(const QTemporaryDir& model, const QString& problem)
{
    const QString file =
        model.filePath(problem.contains(u"tokens") ? QStringLiteral("tokens.txt") : QStringLiteral("model.onnx"));
    if (!QFile::remove(file))
        return false;
    if (problem.endsWith(QLatin1String("pipe")))
        return ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0;
    QByteArray bytes;
    if (problem == QLatin1String("garbage tokens")) {
        bytes.resize(3000);
        QRandomGenerator(11).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    } else if (problem == QLatin1String("text model")) {
        bytes = "# a model, honest\n";
    }
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
}

// The test's stand-in for a SenseVoice model, in `folder`.
QString writeSenseVoiceLike(const QTemporaryDir& folder, bool int8 = false, const QString& word = QStringLiteral("好"))
{
    writeSenseVoiceLikeModel(folder.path(), int8, word);
    return folder.path();
}

void DraftHelperTest::aModelsWordsFollowTheMarks_data()
{
    QTest::addColumn<bool>("int8");
    QTest::newRow("model.onnx") << false;
    QTest::newRow("model.int8.onnx") << true;
}

void DraftHelperTest::aModelsWordsFollowTheMarks()
{
    QFETCH(bool, int8);
    QTemporaryDir model;
    const HelperRun run = runHelper(QStringLiteral(TAVRIN_SPEECH_ENGINE), wav_, writeSenseVoiceLike(model, int8));
    QCOMPARE(run.exitCode, 0);
    const std::vector<DraftEvent> marks = ofKind(run.events, Kind::Utterance);
    QCOMPARE(marks.size(), spoken_.phrases.size());
    static const QRegularExpression loudOnly(QStringLiteral("^好+$"));
    for (std::size_t i = 0; i < marks.size(); ++i) {
        QVERIFY(std::abs(marks[i].seconds - spoken_.phrases[i].startSeconds) <= kMarkTolerance);
        QVERIFY2(loudOnly.match(marks[i].text).hasMatch(), qPrintable(marks[i].text));
    }
}

// Speech held low, with loud noise laid over it for a quarter of a second at known
// moments: the stand-in model says 好 where the sound is loud, once for each burst,
// at the model frame (60 ms) the burst begins in.
void DraftHelperTest::eachWordIsTimedAtItsBurst()
{
    constexpr double kModelFrame = 0.06;
    constexpr double kBurst = 0.25;
    constexpr double kLead = 1.0; // silence before the speech, and after it
    const QString speech = folder_.filePath(QStringLiteral("speech-for-bursts.wav"));
    const SpokenPhrases spoken = writeSpokenPhrases(
        speech, {QStringLiteral("今天我们讨论一下项目的进度，上个月完成了第一部分的工作，下个月开始测试。")}, kLead);
    PcmSound sound = readWav(speech);
    const SpokenPhrase phrase = spoken.phrases.front();
    std::vector<double> bursts;
    for (double at = phrase.startSeconds + 0.5; at + kBurst < phrase.endSeconds; at += 0.8)
        bursts.push_back(at);
    QVERIFY(bursts.size() >= 8);
    for (float& sample : sound.samples)
        sample *= 0.1f;
    QRandomGenerator noise(1);
    for (double at : bursts) {
        const auto from = std::size_t(at * sound.sampleRate);
        for (std::size_t i = from; i < from + std::size_t(kBurst * sound.sampleRate); ++i)
            sound.samples[i] += float(noise.bounded(0.8) - 0.4);
    }
    QByteArray wav = wavHeader(sound.sampleRate, 1, quint32(sound.samples.size() * 2));
    for (float sample : sound.samples)
        appendSample(wav, qint16(std::clamp(sample, -1.0f, 1.0f) * 32767));
    const QString recording = folder_.filePath(QStringLiteral("bursts.wav"));
    QFile file(recording);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(wav) == wav.size());
    file.close();

    QTemporaryDir model;
    const HelperRun run = runHelper(QStringLiteral(TAVRIN_SPEECH_ENGINE), recording, writeSenseVoiceLike(model));
    QCOMPARE(run.exitCode, 0);
    std::vector<double> told;
    for (const DraftEvent& utterance : ofKind(run.events, Kind::Utterance)) {
        QVERIFY(!utterance.wordsEstimated);
        QCOMPARE(qsizetype(utterance.words.size()), utterance.text.size()); // one 好 a word
        for (const WordTime& word : utterance.words)
            told.push_back(word.seconds);
    }
    QCOMPARE(told.size(), bursts.size());
    for (std::size_t i = 0; i < bursts.size(); ++i)
        QVERIFY2(
            std::abs(told[i] - bursts[i]) <= kModelFrame,
            qPrintable(QStringLiteral("the word of the burst at %1 s was timed at %2 s").arg(bursts[i]).arg(told[i])));
}

void DraftHelperTest::traditionalWordsBecomeSimplifiedWhenAsked_data()
{
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("written");
    QTest::newRow("asked") << true << QStringLiteral("说");
    QTest::newRow("not asked: as the model writes it") << false << QStringLiteral("說");
}

void DraftHelperTest::traditionalWordsBecomeSimplifiedWhenAsked()
{
    QFETCH(bool, asked);
    QFETCH(QString, written);
    QTemporaryDir model;
    writeSenseVoiceLike(model, false, QStringLiteral("說"));
    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments{QStringLiteral("--engine"), QStringLiteral(TAVRIN_SPEECH_ENGINE), QStringLiteral("--model"),
                          model.path()};
    if (asked)
        arguments << QStringLiteral("--to-simplified");
    helper.start(QStringLiteral(TAVRIN_DRAFT_HELPER), arguments << wav_);
    QVERIFY(helper.waitForFinished(kHelperWaitMs));
    QCOMPARE(helper.exitCode(), 0);
    int utterances = 0;
    while (helper.canReadLine()) {
        const std::optional<DraftEvent> event = decodeDraftEvent(helper.readLine());
        if (!event || event->kind != Kind::Utterance)
            continue;
        ++utterances;
        QVERIFY2(!event->text.isEmpty() && event->text == QString(event->text.size(), written.front()),
                 qPrintable(event->text));
    }
    QCOMPARE(utterances, int(spoken_.phrases.size()));
}

// The helper's peak resident memory in MiB on `recording`; -1 when it failed.
double peakMemoryOfHelper(const QString& recording)
{
    const ChildRun run = runToEnd(QStringLiteral(TAVRIN_DRAFT_HELPER),
                                  {QStringLiteral("--engine"), QStringLiteral(TAVRIN_SPEECH_ENGINE), recording});
    return run.succeeded ? run.peakResidentMiB : -1;
}

void DraftHelperTest::anHourTakesNoMoreMemoryThanAMinute()
{
    // A minute of the phrases as CBR MP3, its frames repeated for an hour: sixty times the
    // length is enough to show growth, and the voice detector reads an hour in a third of the time.
    QStringList texts;
    for (int i = 0; i < 5; ++i)
        texts += QStringList{QStringLiteral("今天我们讨论一下项目的进度。"), QStringLiteral("好的，我先说。"),
                             QStringLiteral("上个月完成了第一部分的工作，下个月开始测试。")};
    const QString minuteWav = folder_.filePath(QStringLiteral("minute.wav"));
    const QString minute = folder_.filePath(QStringLiteral("minute.mp3"));
    writeSpokenPhrases(minuteWav, texts, 1.5);
    encodeWithFfmpeg(minuteWav, minute,
                     {QStringLiteral("-ar"), QStringLiteral("16000"), QStringLiteral("-b:a"), QStringLiteral("32k"),
                      QStringLiteral("-write_xing"), QStringLiteral("0")});
    QFile frames(minute);
    QVERIFY(frames.open(QIODevice::ReadOnly));
    const QByteArray once = frames.readAll();
    const QString hour = folder_.filePath(QStringLiteral("an-hour.mp3"));
    QFile out(hour);
    QVERIFY(out.open(QIODevice::WriteOnly));
    const int times = 60; // the minute is a little longer than a minute: an hour at least
    for (int i = 0; i < times; ++i)
        QVERIFY(out.write(once) == once.size());
    out.close();

    const double short_ = peakMemoryOfHelper(minute);
    const double long_ = peakMemoryOfHelper(hour);
    QVERIFY(short_ > 0 && long_ > 0);
    // Only the current utterance is ever held: the length of the recording adds nothing.
    QVERIFY2(long_ <= short_ + 16,
             qPrintable(QStringLiteral("%1 MiB for an hour, %2 MiB for a minute").arg(long_).arg(short_)));
}

void DraftHelperTest::aModelThatCannotRunEndsTheHelperAlone_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("told"); // empty: the engine ends the helper without a word
    QTest::newRow("no model folder") << QStringLiteral("no folder") << QStringLiteral("找不到模型文件夹");
    QTest::newRow("tokens missing") << QStringLiteral("no tokens") << QStringLiteral("缺少 tokens.txt");
    QTest::newRow("model missing") << QStringLiteral("no model") << QStringLiteral("缺少 model.onnx");
    QTest::newRow("truncated model") << QStringLiteral("truncated") << QStringLiteral("识别模型无法读取");
    // Which the engine reads, and then ends the process itself: its last word is told.
    QTest::newRow("another kind of model")
        << QStringLiteral("foreign") << QStringLiteral("识别模型无法读取：语音引擎在读取模型时退出");
    QTest::newRow("tokens: random bytes") << QStringLiteral("garbage tokens") << QStringLiteral("tokens.txt");
    QTest::newRow("tokens: a named pipe") << QStringLiteral("tokens pipe") << QStringLiteral("不是普通文件");
    QTest::newRow("model: a named pipe") << QStringLiteral("model pipe") << QStringLiteral("不是普通文件");
    QTest::newRow("model: empty") << QStringLiteral("empty model") << QStringLiteral("是空文件");
    QTest::newRow("model: text") << QStringLiteral("text model") << QStringLiteral("不是 ONNX 模型");
}

void DraftHelperTest::aModelThatCannotRunEndsTheHelperAlone()
{
    QFETCH(QString, problem);
    QFETCH(QString, told);
    QTemporaryDir model;
    writeSenseVoiceLike(model);
    const QString modelFile = model.filePath(QStringLiteral("model.onnx"));
    QString folder = model.path();
    if (problem == QLatin1String("no folder"))
        folder = model.filePath(QStringLiteral("gone"));
    else if (problem == QLatin1String("no tokens"))
        QVERIFY(QFile::remove(model.filePath(QStringLiteral("tokens.txt"))));
    else if (problem == QLatin1String("no model"))
        QVERIFY(QFile::remove(modelFile));
    else if (problem == QLatin1String("truncated"))
        QVERIFY(QFile::resize(modelFile, QFileInfo(modelFile).size() / 2));
    else if (problem == QLatin1String("foreign"))
        QVERIFY(QFile::remove(modelFile)
                && QFile::copy(QDir(QStringLiteral(TAVRIN_SPEECH_ENGINE)).filePath(QStringLiteral("silero_vad.onnx")),
                               modelFile));
    else
        QVERIFY(replaceFile(model, problem));

    const HelperRun run = runHelper(QStringLiteral(TAVRIN_SPEECH_ENGINE), wav_, folder);
    QCOMPARE(run.status, QProcess::NormalExit);
    QVERIFY(run.exitCode != 0);
    QVERIFY(ofKind(run.events, Kind::Utterance).empty());
    QVERIFY(!run.events.empty());
    QCOMPARE(run.events.back().kind, Kind::Failed);
    QVERIFY2(run.events.back().text.contains(told), qPrintable(run.events.back().text));
    QVERIFY2(isPlainText(run.errors), "binary bytes on the error output");
}

// 8 KB of FLAC at 1 Hz: each of its samples would become 16000, a frame of 65535 a
// billion; no speech can be in it, and the helper says so at once.
void DraftHelperTest::aRateNoSpeechCanBeInTakesNoMemory()
{
    QTemporaryDir folder;
    const QString oneHertz = writeOneHertzFlac(folder.path());
    QVERIFY(QFileInfo(oneHertz).size() < 16 * 1024);
    const HelperRun run = runHelper(QStringLiteral(TAVRIN_SPEECH_ENGINE), oneHertz);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(ofKind(run.events, Kind::Finished).empty());
    QCOMPARE(run.events.back().kind, Kind::Failed);
    const double speech = peakMemoryOn(wav_);
    const double slow = peakMemoryOn(oneHertz);
    QVERIFY(speech > 0 && slow > 0);
    QVERIFY2(slow <= speech + 16,
             qPrintable(QStringLiteral("%1 MiB at 1 Hz, %2 MiB for speech").arg(slow).arg(speech)));
}

// The phrases, then an hour at 1 Hz: the phrases are drafted, and the end says that
// the rest was not, never that the draft is done.
void DraftHelperTest::aRecordingCoveredInPartIsNeverFinished()
{
    QTemporaryDir folder;
    const QString recording = writeFlacEndingAtOneHertz(folder.path(), wav_);
    const HelperRun run = runHelper(QStringLiteral(TAVRIN_SPEECH_ENGINE), recording);
    QCOMPARE(run.status, QProcess::NormalExit);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(ofKind(run.events, Kind::Utterance).size(), spoken_.phrases.size());
    QVERIFY(ofKind(run.events, Kind::Finished).empty());
    QCOMPARE(run.events.back().kind, Kind::Failed);
    const QString told = run.events.back().text;
    QVERIFY2(told.contains(QStringLiteral("没有覆盖整个录音")) && told.contains(QStringLiteral("1 小时 6 分"))
                 && told.contains(QStringLiteral("1 Hz")),
             qPrintable(told));
}

QTEST_GUILESS_MAIN(DraftHelperTest)
#include "draft_helper_test.moc"
