#include "player/audio_filters.h"
#include "player/media_player.h"
#include "player/mpv_handle.h"
#include "support/noisy_speech.h"
#include "support/paced_pipe.h"
#include "support/pcm_sound.h"
#include "support/sweep_bursts.h"
#include "support/temp_folder.h"

#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>

using tavrin::ListeningAids;
using tavrin::MediaPlayer;
using tavrin::test::NoisySpeech;
using tavrin::test::PacedPipe;
using tavrin::test::PcmSound;
using tavrin::test::SweepBursts;
using tavrin::test::TempFolder;

Q_DECLARE_METATYPE(ListeningAids)

namespace {

constexpr int kWaitMs = 60000;
constexpr double kToneHz = 440.0;
constexpr double kToneSeconds = 1.0;
constexpr double kSweepSeconds = 60.0;
constexpr double kTurnOnAt = 15.0, kTurnOffAt = 35.0; // seconds of the sweep handed on
constexpr double kFullScale = 32767.0 / 32768.0;      // the largest 16-bit sample

ListeningAids aidsOf(bool boost, bool levelling, bool noise, bool band)
{
    ListeningAids aids;
    aids.volumeBoost = boost;
    aids.loudnessLevelling = levelling;
    aids.noiseReduction = noise;
    aids.voiceBand = band;
    return aids;
}

const ListeningAids kNone;
const ListeningAids kBoost = aidsOf(true, false, false, false);
const ListeningAids kLevelling = aidsOf(false, true, false, false);
const ListeningAids kNoiseReduction = aidsOf(false, false, true, false);
const ListeningAids kVoiceBand = aidsOf(false, false, false, true);
const ListeningAids kEvery = aidsOf(true, true, true, true);

ListeningAids combined(const ListeningAids& a, const ListeningAids& b)
{
    return aidsOf(a.volumeBoost || b.volumeBoost, a.loudnessLevelling || b.loudnessLevelling,
                  a.noiseReduction || b.noiseReduction, a.voiceBand || b.voiceBand);
}

double peakOf(const PcmSound& sound)
{
    float peak = 0.0f;
    for (const float sample : sound.samples)
        peak = std::max(peak, std::abs(sample));
    return peak;
}

// The lag of `output` behind `recording` (the filters' own delay), from the
// best match of their loudness envelopes in steps of a millisecond.
double lagOf(const PcmSound& recording, const PcmSound& output)
{
    const auto envelope = [](const PcmSound& sound) {
        const auto step = std::size_t(sound.sampleRate / 1000);
        std::vector<double> values;
        for (std::size_t start = 0; start + step <= sound.samples.size(); start += step)
            values.push_back(std::pow(10.0,
                                      tavrin::test::rmsDbfs(sound.between(start / double(sound.sampleRate),
                                                                          (start + step) / double(sound.sampleRate)))
                                          / 20.0));
        return values;
    };
    const std::vector<double> a = envelope(recording), b = envelope(output);
    int best = 0;
    double bestMatch = -1.0;
    for (int lag = 0; lag <= 200; ++lag) {
        double match = 0.0;
        for (std::size_t i = 0; i < a.size() && i + lag < b.size(); ++i)
            match += a[i] * b[i + lag];
        if (match > bestMatch) {
            bestMatch = match;
            best = lag;
        }
    }
    return best / 1000.0;
}

struct Playing {
    double rate = 1.0;
    ListeningAids aids;
    int volume = 50;
};

// What a test does to the player while it renders.
struct Handling {
    // Called once the recording is open, before it plays.
    std::function<void(MediaPlayer&)> onceOpened;
    // The recording is read from this pipe instead, handed on a tenth of a
    // second at a time; `whilePlaying` is called after each.
    PacedPipe* pipe = nullptr;
    std::function<void(MediaPlayer&)> whilePlaying;
};

} // namespace

// What the user hears with the sound aids, rendered by the real player into
// a WAV file instead of a sound device.
class ListeningAidsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void aMissingFilterIsRefused();
    void speechFigures_data();
    void speechFigures();
    void boostNeverReachesFullScale_data();
    void boostNeverReachesFullScale();
    void everyAidAtEveryRateKeepsThePitch_data();
    void everyAidAtEveryRateKeepsThePitch();
    void turningAnAidOnAndOffWhilePlaying_data();
    void turningAnAidOnAndOffWhilePlaying();
    void anAidTurnedOnOutlastsASeek();

private:
    // Renders `recording` from its start to its end.
    PcmSound render(const QString& recording, const Playing& playing, const Handling& handling = {});

    TempFolder folder_;
    int renders_ = 0;
    QString speechPath_, tonePath_, loudTonePath_, tone8kPath_, sweepPath_;
    NoisySpeech speech_;
    PcmSound plainSpeech_;     // with no aid, at the player's volume of 50
    PcmSound plainSpeechLoud_; // with no aid, at a volume of 100
    PcmSound plainLoudTone_;   // with no aid, at a volume of 100
    double plainToneLoudness_ = 0.0;
};

PcmSound ListeningAidsTest::render(const QString& recording, const Playing& playing, const Handling& handling)
{
    const QString output = folder_.filePath(QStringLiteral("render-%1.wav").arg(++renders_));
    {
        MediaPlayer::Options options;
        options.audioOutput = QStringLiteral("pcm");
        options.audioOutputFile = output;
        MediaPlayer player(options);
        // Set before opening: an output that is not a device filters seconds
        // ahead while paused, at the rate and with the aids of that moment.
        player.setRate(playing.rate);
        player.setListeningAids(playing.aids);
        player.setVolume(playing.volume);
        // A piped recording is handed on also while it opens.
        bool opened = false;
        QTimer feeder;
        feeder.setInterval(2);
        connect(&feeder, &QTimer::timeout, &player, [&] {
            handling.pipe->handOn(0.1);
            if (opened && handling.whilePlaying)
                handling.whilePlaying(player);
        });
        if (handling.pipe)
            feeder.start();
        player.setUrl(handling.pipe ? handling.pipe->path() : recording);
        opened = true;
        if (handling.onceOpened)
            handling.onceOpened(player);
        player.play();
        // The file is written as fast as it is decoded; the player stops at the end.
        if (!QTest::qWaitFor([&] { return player.playState() == tavrin::PlayStateStopped; }, kWaitMs))
            qFatal("the player did not reach the end of %s", qPrintable(recording));
    } // closing the player completes the file
    PcmSound sound = tavrin::test::readWav(output);
    QFile::remove(output);
    return sound;
}

void ListeningAidsTest::initTestCase()
{
    speechPath_ = folder_.filePath(QStringLiteral("speech.wav"));
    speech_ = tavrin::test::writeNoisySpeech(speechPath_);
    QVERIFY(speech_.speechFrames.size() > 50);
    QVERIFY(speech_.pauseFrames.size() > 20);
    QCOMPARE(qRound(NoisySpeech::loudness(speech_.recording, speech_.speechFrames)), -35);
    QCOMPARE(qRound(NoisySpeech::loudness(speech_.recording, speech_.pauseFrames)), -45);

    tonePath_ = folder_.filePath(QStringLiteral("tone.wav"));
    tavrin::test::writeToneWav(tonePath_, kToneSeconds, 16000, kToneHz, -20.0);
    tone8kPath_ = folder_.filePath(QStringLiteral("tone-8k.wav"));
    tavrin::test::writeToneWav(tone8kPath_, kToneSeconds, 8000, kToneHz, -20.0);
    loudTonePath_ = folder_.filePath(QStringLiteral("loud-tone.wav"));
    tavrin::test::writeToneWav(loudTonePath_, kToneSeconds, 16000, kToneHz, -6.0);
    sweepPath_ = folder_.filePath(QStringLiteral("sweep.wav"));
    SweepBursts::write(sweepPath_, kSweepSeconds);

    plainSpeech_ = render(speechPath_, {});
    plainSpeechLoud_ = render(speechPath_, {1.0, kNone, 100});
    plainLoudTone_ = render(loudTonePath_, {1.0, kNone, 100});
    plainToneLoudness_ = tavrin::test::rmsDbfs(render(tonePath_, {}).between(0.2, 0.8));
    // At the player's volume of 50 (libmpv's volume curve is cubic: -18 dB).
    QCOMPARE(qRound(plainToneLoudness_), -20 - 18);
}

// libmpv takes a chain only when this FFmpeg has each of its filters and
// knows their settings; a chain it does not take makes the player throw
// rather than play on without the aid, or play nothing.
void ListeningAidsTest::aMissingFilterIsRefused()
{
    tavrin::MpvHandle mpv;
    mpv.setOption("ao", "null");
    mpv.initialize();
    for (const double rate : {0.1, 1.0, 2.0})
        mpv.setOption("af", tavrin::audioFilterChain(rate, kEvery).constData());
    QVERIFY_THROWS_EXCEPTION(tavrin::PlayerError, mpv.setOption("af", "@boost:lavfi-nosuchlimiter=level_in=3"));

    MediaPlayer::Options options;
    options.audioOutput = QStringLiteral("null");
    MediaPlayer player(options);
    for (const ListeningAids& aids : {kBoost, kLevelling, kNoiseReduction, kVoiceBand, kEvery, kNone})
        player.setListeningAids(aids);
    player.setUrl(tonePath_);
    QCOMPARE(player.listeningAids(), kNone);
}

void ListeningAidsTest::speechFigures_data()
{
    // Changes in dB against the same speech with no aid: of the speech, of the
    // noise between the words, and of the speech over the noise.
    QTest::addColumn<ListeningAids>("aids");
    QTest::addColumn<double>("speechAtLeast");
    QTest::addColumn<double>("speechAtMost");
    QTest::addColumn<double>("noiseAtMost");
    QTest::addColumn<double>("clarityAtLeast");
    const double any = qInf();
    QTest::newRow("levelling raises the speech") << kLevelling << 15.0 << any << any << -any;
    QTest::newRow("noise reduction lowers the noise, not the speech")
        << kNoiseReduction << -3.0 << any << -10.0 << 10.0;
    QTest::newRow("the voice band keeps the speech") << kVoiceBand << -3.0 << 1.0 << -2.0 << 2.0;
    QTest::newRow("the boost raises both by 300 %") << kBoost << 9.0 << 10.0 << 10.0 << -1.0;
    QTest::newRow("every aid") << kEvery << 15.0 << any << any << 10.0;
}

void ListeningAidsTest::speechFigures()
{
    QFETCH(ListeningAids, aids);
    QFETCH(double, speechAtLeast);
    QFETCH(double, speechAtMost);
    QFETCH(double, noiseAtMost);
    QFETCH(double, clarityAtLeast);
    const PcmSound aided = render(speechPath_, {1.0, aids});
    const double lag = lagOf(plainSpeech_, aided);
    const double speech = NoisySpeech::loudness(aided, speech_.speechFrames, lag)
        - NoisySpeech::loudness(plainSpeech_, speech_.speechFrames);
    const double noise = NoisySpeech::loudness(aided, speech_.pauseFrames, lag)
        - NoisySpeech::loudness(plainSpeech_, speech_.pauseFrames);
    qInfo("lag %.0f ms; speech %+.1f dB, noise %+.1f dB", lag * 1000, speech, noise);
    QVERIFY2(speech >= speechAtLeast && speech <= speechAtMost, qPrintable(QStringLiteral("speech %1 dB").arg(speech)));
    QVERIFY2(noise <= noiseAtMost, qPrintable(QStringLiteral("noise %1 dB").arg(noise)));
    QVERIFY2(speech - noise >= clarityAtLeast, qPrintable(QStringLiteral("clarity %1 dB").arg(speech - noise)));
}

void ListeningAidsTest::boostNeverReachesFullScale_data()
{
    // At the full volume of 100, which passes the sound on as the filters leave it.
    QTest::addColumn<bool>("loudTone");
    QTest::addColumn<ListeningAids>("aids");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("louderAtLeast"); // dB, against no aid at 1.0
    QTest::newRow("a tone peaking at -3 dBFS") << true << kBoost << 1.0 << 1.0;
    QTest::newRow("the tone at 0.5") << true << kBoost << 0.5 << 1.0;
    QTest::newRow("the tone at 2.0") << true << kBoost << 2.0 << 1.0;
    QTest::newRow("quiet speech") << false << kBoost << 1.0 << 9.0;
    QTest::newRow("levelled speech") << false << combined(kBoost, kLevelling) << 1.0 << 15.0;
    QTest::newRow("levelled speech at 0.5") << false << combined(kBoost, kLevelling) << 0.5 << 15.0;
    QTest::newRow("every aid at 2.0") << false << kEvery << 2.0 << 15.0;
}

void ListeningAidsTest::boostNeverReachesFullScale()
{
    QFETCH(bool, loudTone);
    QFETCH(ListeningAids, aids);
    QFETCH(double, rate);
    QFETCH(double, louderAtLeast);
    const PcmSound& plain = loudTone ? plainLoudTone_ : plainSpeechLoud_;
    const PcmSound boosted = render(loudTone ? loudTonePath_ : speechPath_, {rate, aids, 100});
    const double louder = tavrin::test::rmsDbfs(boosted.samples) - tavrin::test::rmsDbfs(plain.samples);
    const double peak = peakOf(boosted);
    qInfo("peak %.4f without the aids, %.4f with them; %+.1f dB", peakOf(plain), peak, louder);
    QVERIFY2(peak < kFullScale, qPrintable(QStringLiteral("a sample at %1").arg(peak)));
    QVERIFY2(louder >= louderAtLeast, qPrintable(QStringLiteral("%1 dB louder").arg(louder)));
}

void ListeningAidsTest::everyAidAtEveryRateKeepsThePitch_data()
{
    QTest::addColumn<QString>("tone");
    QTest::addColumn<ListeningAids>("aids");
    QTest::addColumn<double>("rate");
    const std::pair<const char*, ListeningAids> aids[] = {{"boost", kBoost},
                                                          {"levelling", kLevelling},
                                                          {"noise reduction", kNoiseReduction},
                                                          {"voice band", kVoiceBand},
                                                          {"every aid", kEvery}};
    for (const auto& [name, aid] : aids) {
        for (const double rate : {0.1, 0.5, 1.0, 2.0})
            QTest::addRow("%s at %.1f", name, rate) << tonePath_ << aid << rate;
    }
    // At 8 kHz the voice band's upper edge is the highest frequency the recording holds.
    QTest::addRow("voice band, 8 kHz recording") << tone8kPath_ << kVoiceBand << 1.0;
    QTest::addRow("every aid, 8 kHz recording at 0.1") << tone8kPath_ << kEvery << 0.1;
}

void ListeningAidsTest::everyAidAtEveryRateKeepsThePitch()
{
    QFETCH(QString, tone);
    QFETCH(ListeningAids, aids);
    QFETCH(double, rate);
    const PcmSound sound = render(tone, {rate, aids});
    const double expectedSeconds = kToneSeconds / rate;
    // The middle of the output, away from the filters' start and end.
    const auto middle = sound.between(0.2 * expectedSeconds, 0.8 * expectedSeconds);
    const double loudness = tavrin::test::rmsDbfs(middle);
    const double pitch = tavrin::test::toneFrequency(middle, sound.sampleRate);
    qInfo("%.2f s, %.1f dBFS, %.1f Hz", sound.seconds(), loudness, pitch);
    QVERIFY2(
        loudness >= plainToneLoudness_ - 3.0,
        qPrintable(QStringLiteral("loudness %1 dBFS against %2 without aids").arg(loudness).arg(plainToneLoudness_)));
    QVERIFY2(std::abs(pitch - kToneHz) <= 0.02 * kToneHz, qPrintable(QStringLiteral("pitch %1 Hz").arg(pitch)));
    QVERIFY2(std::abs(sound.seconds() - expectedSeconds) <= 0.03 * expectedSeconds + 0.1,
             qPrintable(QStringLiteral("%1 s long, %2 s expected").arg(sound.seconds()).arg(expectedSeconds)));
}

void ListeningAidsTest::turningAnAidOnAndOffWhilePlaying_data()
{
    QTest::addColumn<ListeningAids>("throughout");
    QTest::addColumn<ListeningAids>("turnedOn");
    QTest::addColumn<double>("rate");
    QTest::addColumn<bool>("louderBursts"); // else quieter noise
    QTest::addColumn<double>("effect");     // dB, at least
    QTest::newRow("boost, no aid before") << kNone << kBoost << 1.0 << true << 6.0;
    QTest::newRow("levelling, no aid before") << kNone << kLevelling << 1.0 << true << 6.0;
    QTest::newRow("noise reduction, no aid before") << kNone << kNoiseReduction << 1.0 << false << 10.0;
    QTest::newRow("voice band, no aid before") << kNone << kVoiceBand << 1.0 << false << 2.0;
    QTest::newRow("boost beside the voice band") << kVoiceBand << kBoost << 1.0 << true << 6.0;
    QTest::newRow("levelling beside the voice band") << kVoiceBand << kLevelling << 1.0 << true << 6.0;
    QTest::newRow("noise reduction beside the voice band") << kVoiceBand << kNoiseReduction << 1.0 << false << 10.0;
    QTest::newRow("voice band beside the boost") << kBoost << kVoiceBand << 1.0 << false << 2.0;
    QTest::newRow("every aid at 0.5") << kNone << kEvery << 0.5 << true << 6.0;
    QTest::newRow("noise reduction at 2.0 beside the boost") << kBoost << kNoiseReduction << 2.0 << false << 10.0;
}

void ListeningAidsTest::turningAnAidOnAndOffWhilePlaying()
{
    QFETCH(ListeningAids, throughout);
    QFETCH(ListeningAids, turnedOn);
    QFETCH(double, rate);
    QFETCH(bool, louderBursts);
    QFETCH(double, effect);
    PacedPipe pipe(folder_.filePath(QStringLiteral("sweep-pipe")), sweepPath_);
    std::optional<double> onAt, offAt;
    Handling handling;
    handling.pipe = &pipe;
    handling.whilePlaying = [&](MediaPlayer& player) {
        const double at = pipe.handedOn();
        if (!onAt && at >= kTurnOnAt) {
            onAt = at;
            player.setListeningAids(combined(throughout, turnedOn));
        } else if (onAt && !offAt && at >= kTurnOffAt) {
            offAt = at;
            player.setListeningAids(throughout);
        }
    };
    const PcmSound sound = render(sweepPath_, {rate, throughout, 100}, handling);
    QVERIFY(onAt && offAt);
    const tavrin::test::SweepReading reading = tavrin::test::readSweepBursts(sound, rate);
    const std::vector<double>& measure = louderBursts ? reading.burstLoudness : reading.noiseLoudness;
    const double sign = louderBursts ? 1.0 : -1.0;
    QVERIFY(measure.size() >= std::size_t(kSweepSeconds) - 3);
    const auto changeAt = [&](std::size_t second) { return sign * (measure[second] - measure[0]); };
    double strongest = 0.0;
    for (std::size_t second = 0; second < measure.size(); ++second)
        strongest = std::max(strongest, changeAt(second));
    qInfo("turned on at %.2f s, off at %.2f s; largest jump %.1f ms, longest gap %.1f ms, effect %.1f dB", *onAt,
          *offAt, reading.largestJump * 1000, reading.longestGap * 1000, strongest);
    QVERIFY2(reading.largestJump < 0.05, qPrintable(QStringLiteral("a jump of %1 s").arg(reading.largestJump)));
    QVERIFY2(reading.longestGap <= 0.05, qPrintable(QStringLiteral("a gap of %1 s").arg(reading.longestGap)));
    // On for a while, and off again at the end.
    QVERIFY2(strongest >= effect, qPrintable(QStringLiteral("the aid changed the sound by %1 dB").arg(strongest)));
    QVERIFY2(std::abs(changeAt(measure.size() - 2)) < effect / 2, "the aid is still on at the end");
}

// An aid turned on while a recording is open is switched inside the filters
// in place; a seek makes libmpv rebuild them, and the aid must be in the new ones too.
void ListeningAidsTest::anAidTurnedOnOutlastsASeek()
{
    // The loudest noise between the bursts in the last 18 s heard, all after the
    // seek: this output takes the seconds filtered while paused at the start too.
    const auto noiseOf = [&](const Handling& handling) {
        PcmSound sound = render(sweepPath_, {1.0, kVoiceBand, 100}, handling);
        sound.samples.erase(sound.samples.begin(), sound.samples.end() - 18 * sound.sampleRate);
        const std::vector<double> noise = tavrin::test::readSweepBursts(sound, 1.0).noiseLoudness;
        if (noise.size() < 10)
            qFatal("only %d seconds of the sweep heard", int(noise.size()));
        return *std::max_element(noise.begin(), noise.end());
    };
    Handling seek;
    seek.onceOpened = [](MediaPlayer& player) { player.setCurrentPosition(kSweepSeconds - 20.0); };
    const double plain = noiseOf(seek);
    Handling turnOnAndSeek;
    turnOnAndSeek.onceOpened = [](MediaPlayer& player) {
        player.setListeningAids(combined(kVoiceBand, kNoiseReduction));
        player.setCurrentPosition(kSweepSeconds - 20.0);
    };
    const double reduced = noiseOf(turnOnAndSeek);
    qInfo("noise between the bursts after the seek: %.1f dBFS, with the noise reduction %.1f dBFS", plain, reduced);
    QVERIFY2(reduced <= plain - 10.0, "the noise reduction was lost in the seek");
}

QTEST_GUILESS_MAIN(ListeningAidsTest)
#include "sound_aids_test.moc"
