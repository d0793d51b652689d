// The envelope decoded from real recordings made with ffmpeg: every common
// container and codec, rates and channels, a video's audio, and files FFmpeg
// cannot decode.
#include "recordings.h"

#include "support/hostile_recordings.h"
#include "support/temp_folder.h"
#include "waveform/envelope_decoder.h"

#include <QRandomGenerator>
#include <QTest>

using namespace tavrin;
using namespace tavrin::test;

Q_DECLARE_METATYPE(tavrin::test::Encoding)

namespace {

// The tone is at half of full scale: its RMS level is 152, its peak 180.
constexpr int kLoudRms = 100;
constexpr int kHalfLoudRms = 50;
constexpr int kQuietPeak = 16; // about -48 dBFS
constexpr qint64 kToneFirst = 6000;
constexpr qint64 kToneLast = 6099;
// Codecs' delay and priming may move the edges by this many values.
constexpr qint64 kSlack = 2;
// "Well away" from the tone: past the spread of an encoder's pre-echo.
constexpr qint64 kAway = 20;

Encoding encoding(const QString& suffix, const QStringList& options)
{
    return Encoding{options, suffix};
}

Envelope decode(const QString& path, DecodeOutcome* outcome, const DecodeOptions& options = {})
{
    std::atomic<bool> cancelled{false};
    Envelope envelope;
    *outcome = decodeEnvelope(
        path, cancelled, [](const EnvelopeWriter&, DecodeStage) {}, &envelope, options);
    return envelope;
}

} // namespace

class EnvelopeDecoderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void toneIsWhereItWasRecorded_data();
    void toneIsWhereItWasRecorded();
    void quickPassSamplesTheWholeLength();
    void undecodableFileFails_data();
    void undecodableFileFails();
    void cancelledBeforeTheEnd();
    void aLengthTheHeaderLiesAboutGrowsAsDecoded();

private:
    TempFolder folder_;
};

void EnvelopeDecoderTest::toneIsWhereItWasRecorded_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<bool>("withVideo");

    const Encoding wav = encoding(QStringLiteral(".wav"), {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")});
    const Encoding mp3 =
        encoding(QStringLiteral(".mp3"),
                 {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("64k")});
    const Encoding m4a =
        encoding(QStringLiteral(".m4a"),
                 {QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-b:a"), QStringLiteral("64k")});
    const Encoding opus =
        encoding(QStringLiteral(".opus"),
                 {QStringLiteral("-c:a"), QStringLiteral("libopus"), QStringLiteral("-b:a"), QStringLiteral("32k")});
    const Encoding mp4 =
        encoding(QStringLiteral(".mp4"),
                 {QStringLiteral("-c:a"), QStringLiteral("aac"), QStringLiteral("-b:a"), QStringLiteral("64k")});
    for (const int rate : {16000, 44100, 48000}) {
        for (const int channels : {1, 2}) {
            const QByteArray shape = QByteArray::number(rate) + " Hz " + (channels == 1 ? "mono" : "stereo");
            QTest::newRow(shape + " WAV") << rate << channels << wav << false;
            QTest::newRow(shape + " MP3") << rate << channels << mp3 << false;
            QTest::newRow(shape + " M4A") << rate << channels << m4a << false;
            // Opus has no 44.1 kHz: ffmpeg would resample it, testing nothing new.
            if (rate != 44100)
                QTest::newRow(shape + " Opus") << rate << channels << opus << false;
            QTest::newRow(shape + " MP4 with video") << rate << channels << mp4 << true;
        }
    }
}

void EnvelopeDecoderTest::toneIsWhereItWasRecorded()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(Encoding, encoding);
    QFETCH(bool, withVideo);
    const QString path = writeToneRecording(folder_.path(), rate, channels, encoding, withVideo);
    QVERIFY(!path.isEmpty());

    DecodeOutcome outcome{};
    const Envelope envelope = decode(path, &outcome);
    QCOMPARE(outcome, DecodeOutcome::Complete);
    QVERIFY(envelope.isComplete());
    QVERIFY2(std::abs(envelope.durationSeconds() - kToneLength) < 0.1,
             qPrintable(QString::number(envelope.durationSeconds())));
    QVERIFY2(std::abs(envelope.valueCount() - qint64(kToneLength * 100)) <= 10,
             qPrintable(QString::number(envelope.valueCount())));

    const std::span<const EnvelopeValue> values = envelope.values();
    for (qint64 i = 0; i < qint64(values.size()); ++i) {
        const EnvelopeValue value = values[std::size_t(i)];
        const QByteArray where = "value " + QByteArray::number(i) + ": peak " + QByteArray::number(value.peak)
            + ", rms " + QByteArray::number(value.rms);
        if (i >= kToneFirst + kSlack && i <= kToneLast - kSlack)
            QVERIFY2(value.rms >= kLoudRms, where.constData());
        if (i < kToneFirst - kSlack || i > kToneLast + kSlack)
            QVERIFY2(value.rms < kHalfLoudRms, where.constData());
        if (i < kToneFirst - kAway || i > kToneLast + kAway)
            QVERIFY2(value.peak <= kQuietPeak, where.constData());
    }
}

// Probes every half second, on a recording short enough to be decoded at once
// otherwise: the coarse picture covers the whole length and finds the tone.
void EnvelopeDecoderTest::quickPassSamplesTheWholeLength()
{
    const Encoding mp3{
        {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("32k")},
        QStringLiteral(".mp3")};
    const QString path = writeToneRecording(folder_.path(), 16000, 1, mp3);
    QVERIFY(!path.isEmpty());

    DecodeOptions options;
    options.samplingFromSeconds = 0;
    options.probes = int(kToneLength * 2);
    options.samplingBudgetSeconds = 60;
    std::atomic<bool> cancelled{false};
    std::optional<Envelope> sampled;
    int decodingBeforeSampled = 0;
    const auto progress = [&](const EnvelopeWriter& writer, DecodeStage stage) {
        if (stage == DecodeStage::Sampled)
            sampled = writer.snapshot();
        if (stage == DecodeStage::Decoding && !sampled)
            ++decodingBeforeSampled;
    };
    Envelope envelope;
    QCOMPARE(decodeEnvelope(path, cancelled, progress, &envelope, options), DecodeOutcome::Complete);
    QVERIFY(sampled.has_value());
    QCOMPARE(decodingBeforeSampled, 0);
    QCOMPARE(sampled->valueCount(), 0);
    QVERIFY2(sampled->probes().size() >= std::size_t(options.probes * 9 / 10),
             qPrintable(QString::number(sampled->probes().size())));

    int loudColumns = 0;
    const int width = int(kToneLength); // one column a second
    const std::vector<EnvelopeColumn> columns = sampled->columnsFor(width, kToneLength);
    for (int column = 0; column < width; ++column) {
        QCOMPARE(columns[column].source, ColumnSource::Coarse);
        const bool tone = column == int(kToneStart);
        if (columns[column].rms >= kLoudRms)
            ++loudColumns;
        else
            QVERIFY2(!tone, "the probes missed the tone");
        if (column < int(kToneStart) - 1 || column > int(kToneEnd))
            QVERIFY2(columns[column].peak <= kQuietPeak, qPrintable(QString::number(column)));
    }
    QCOMPARE(loudColumns, 1);
    // The full pass that follows is as exact as ever.
    QVERIFY(envelope.values()[6050].rms >= kLoudRms);
    QVERIFY(envelope.values()[5000].rms < kHalfLoudRms);
}

void EnvelopeDecoderTest::undecodableFileFails_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray noise(256 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(7);
    generator.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    QTest::newRow("random bytes") << noise;
    QTest::newRow("a text file") << QByteArray("-00:00:01-会议记录\r\nThe minutes of the meeting.\r\n").repeated(2000);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("a WAV header and nothing else") << QByteArray::fromHex("52494646240000005741564566"
                                                                          "6d7420100000000100010080"
                                                                          "3e0000007d0000020010006461746100000000");
}

void EnvelopeDecoderTest::undecodableFileFails()
{
    QFETCH(QByteArray, bytes);
    const QString path = folder_.write(QStringLiteral("undecodable.mp3"), bytes);
    DecodeOutcome outcome{};
    const Envelope envelope = decode(path, &outcome);
    QCOMPARE(outcome, DecodeOutcome::Failed);
    QVERIFY(!envelope.isComplete());

    decode(folder_.filePath(QStringLiteral("missing.mp3")), &outcome);
    QCOMPARE(outcome, DecodeOutcome::Failed);
}

// The flag is read between packets: set from the progress, decoding stops there.
void EnvelopeDecoderTest::cancelledBeforeTheEnd()
{
    const QString path = writeLongSilence(folder_.path(), 20);
    QVERIFY(!path.isEmpty());
    std::atomic<bool> cancelled{false};
    qint64 valuesWhenCancelled = -1;
    int progressAfterCancel = 0;
    const auto progress = [&](const EnvelopeWriter& writer, DecodeStage stage) {
        if (cancelled)
            ++progressAfterCancel;
        if (stage == DecodeStage::Decoding && writer.valueCount() > 1000 && !cancelled) {
            valuesWhenCancelled = writer.valueCount();
            cancelled = true;
        }
    };
    Envelope envelope;
    QCOMPARE(decodeEnvelope(path, cancelled, progress, &envelope), DecodeOutcome::Cancelled);
    QVERIFY(valuesWhenCancelled > 0);
    QCOMPARE(progressAfterCancel, 0);
    QCOMPARE(envelope.valueCount(), 0);
}

// Five seconds whose header claims 1e13: the envelope is made of the sound there
// is, not of room for what the header claims, and the quick pass does not sample
// a length no one believes.
void EnvelopeDecoderTest::aLengthTheHeaderLiesAboutGrowsAsDecoded()
{
    const QString path = writeLyingLengthRecording(folder_.path());
    std::atomic<bool> cancelled{false};
    Envelope envelope;
    bool sampled = false;
    const auto progress = [&](const EnvelopeWriter&, DecodeStage stage) {
        sampled = sampled || stage != DecodeStage::Decoding;
    };
    QCOMPARE(decodeEnvelope(path, cancelled, progress, &envelope), DecodeOutcome::Complete);
    QVERIFY(!sampled);
    QCOMPARE(envelope.durationSeconds(), 0.0); // not told
    QVERIFY2(std::abs(envelope.valueCount() - 500) <= kSlack, qPrintable(QString::number(envelope.valueCount())));
    QVERIFY(envelope.values()[250].rms >= kHalfLoudRms); // ffmpeg's sine, at an eighth of full scale: 76
}

QTEST_GUILESS_MAIN(EnvelopeDecoderTest)
#include "envelope_decoder_test.moc"
