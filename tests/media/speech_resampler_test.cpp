// Sound of any rate turned into speech's 16 kHz: all of it comes out, and never
// more than a second of it at once, however slow the rate or long the frame.
#include "media/ffmpeg_library.h"
#include "media/speech_resampler.h"

#include <QTest>

#include <cmath>
#include <vector>

using namespace tavrin;

class SpeechResamplerTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void everyFrameComesOutWholeInBoundedPieces_data();
    void everyFrameComesOutWholeInBoundedPieces();
};

void SpeechResamplerTest::initTestCase()
{
    QVERIFY(loadFFmpeg());
}

void SpeechResamplerTest::everyFrameComesOutWholeInBoundedPieces_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("samples"); // in the one frame
    QTest::newRow("1 Hz: each sample comes out as 16000") << 1 << 1 << 600;
    QTest::newRow("100 Hz, a frame of ten minutes") << 100 << 1 << 60000;
    QTest::newRow("4 kHz, one frame of ten minutes") << 4000 << 1 << 2400000;
    QTest::newRow("48 kHz stereo, one frame of a minute") << 48000 << 2 << 2880000;
    QTest::newRow("16 kHz, as it is") << 16000 << 1 << 160000;
}

void SpeechResamplerTest::everyFrameComesOutWholeInBoundedPieces()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(int, samples);
    // A frame as a decoder gives it: interleaved 16-bit samples, a slow sine.
    std::vector<qint16> sound(std::size_t(samples) * std::size_t(channels));
    for (std::size_t i = 0; i < sound.size(); ++i)
        sound[i] = qint16(8000 * std::sin(double(i / std::size_t(channels)) * 0.01));
    AVFrame* frame = ffmpeg().av_frame_alloc();
    QVERIFY(frame);
    frame->format = AV_SAMPLE_FMT_S16;
    frame->sample_rate = rate;
    frame->nb_samples = samples;
    const AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    const AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    frame->ch_layout = channels == 1 ? mono : stereo;
    frame->data[0] = reinterpret_cast<uint8_t*>(sound.data());
    frame->extended_data = frame->data;

    const std::unique_ptr<SpeechResampler> resampler = SpeechResampler::create();
    QVERIFY(resampler);
    qint64 total = 0;
    std::size_t largest = 0;
    const auto take = [&](std::span<const float> piece) {
        total += qint64(piece.size());
        largest = std::max(largest, piece.size());
    };
    const bool converted = resampler->convert(frame, take);
    resampler->drain(take);
    frame->data[0] = nullptr; // the test's own, not the frame's to free
    ffmpeg().av_frame_free(&frame);
    QVERIFY(converted);
    const double expected = double(samples) * SpeechResampler::kSampleRate / rate;
    QVERIFY2(std::abs(double(total) - expected) <= std::max(64.0, expected * 1e-4),
             qPrintable(QStringLiteral("%1 samples, %2 expected").arg(total).arg(expected)));
    // A little more than the most at once: what the filter held back comes with a slice.
    QVERIFY2(largest <= std::size_t(SpeechResampler::kMostSamplesAtOnce) + 1024,
             qPrintable(QStringLiteral("a piece of %1 samples").arg(largest)));
}

QTEST_GUILESS_MAIN(SpeechResamplerTest)
#include "speech_resampler_test.moc"
