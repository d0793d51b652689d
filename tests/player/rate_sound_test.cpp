#include "player/media_player.h"
#include "support/pcm_sound.h"
#include "support/temp_folder.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <memory>

using tavrin::MediaPlayer;
using tavrin::test::PcmSound;
using tavrin::test::TempFolder;

namespace {

constexpr double kToneHz = 440.0;
constexpr double kToneSeconds = 2.0;
constexpr int kWaitMs = 60000;

} // namespace

// What the user hears at each rate, rendered by the real player into a WAV file
// instead of a sound device.
class RateSoundTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyRateIsHeardAtTheVoicesPitch_data();
    void everyRateIsHeardAtTheVoicesPitch();

private:
    PcmSound render(double rate, const QString& name);

    TempFolder folder_;
    QString tone_;
    PcmSound normal_; // at rate 1.0
};

PcmSound RateSoundTest::render(double rate, const QString& name)
{
    const QString output = folder_.filePath(name);
    {
        MediaPlayer::Options options;
        options.audioOutput = QStringLiteral("pcm");
        options.audioOutputFile = output;
        MediaPlayer player(options);
        // Set before opening: an output that is not a device filters seconds
        // ahead while paused, at the rate of that moment.
        player.setRate(rate);
        player.setUrl(tone_);
        player.play();
        // The file is written as fast as it is decoded; the player stops at the end.
        if (!QTest::qWaitFor([&] { return player.playState() == tavrin::PlayStateStopped; }, kWaitMs))
            qFatal("the player did not reach the end of the tone at rate %.1f", rate);
    } // closing the player completes the file
    return tavrin::test::readWav(output);
}

void RateSoundTest::initTestCase()
{
    tone_ = folder_.filePath(QStringLiteral("tone.wav"));
    tavrin::test::writeToneWav(tone_, kToneSeconds, 16000, kToneHz, -14.0);
    normal_ = render(1.0, QStringLiteral("rate-1.0.wav"));
    QVERIFY(normal_.sampleRate > 0);
    // At the player's volume of 50 (libmpv's volume curve is cubic: -18 dB).
    QCOMPARE(qRound(tavrin::test::rmsDbfs(normal_.between(0.5, 1.5))), -14 - 18);
}

void RateSoundTest::everyRateIsHeardAtTheVoicesPitch_data()
{
    QTest::addColumn<double>("rate");
    for (const double rate : {0.1, 0.2, 0.3, 0.5, 1.0, 1.5, 2.0})
        QTest::addRow("%.1f", rate) << rate;
}

void RateSoundTest::everyRateIsHeardAtTheVoicesPitch()
{
    QFETCH(double, rate);
    const PcmSound sound = render(rate, QStringLiteral("rate-%1.wav").arg(rate));
    const double expectedSeconds = kToneSeconds / rate;
    // The middle of the output, away from the filter's start and end.
    const auto middle = sound.between(0.2 * expectedSeconds, 0.8 * expectedSeconds);
    const double loudness = tavrin::test::rmsDbfs(middle);
    const double normalLoudness = tavrin::test::rmsDbfs(normal_.between(0.2 * kToneSeconds, 0.8 * kToneSeconds));
    const double pitch = tavrin::test::toneFrequency(middle, sound.sampleRate);
    qInfo("rate %.1f: %.2f s, %.1f dBFS, %.1f Hz", rate, sound.seconds(), loudness, pitch);
    QVERIFY2(std::abs(loudness - normalLoudness) <= 3.0,
             qPrintable(QStringLiteral("loudness %1 dBFS against %2 at 1.0").arg(loudness).arg(normalLoudness)));
    QVERIFY2(std::abs(pitch - kToneHz) <= 0.02 * kToneHz, qPrintable(QStringLiteral("pitch %1 Hz").arg(pitch)));
    QVERIFY2(std::abs(sound.seconds() - expectedSeconds) <= 0.03 * expectedSeconds + 0.1,
             qPrintable(QStringLiteral("%1 s long, %2 s expected").arg(sound.seconds()).arg(expectedSeconds)));
}

QTEST_GUILESS_MAIN(RateSoundTest)
#include "rate_sound_test.moc"
