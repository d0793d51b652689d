// The builder on its thread: the envelope told as it grows and when whole, from
// the cache when it holds it, cancelled by another start and by its destruction,
// and a file FFmpeg cannot decode told as a failure.
#include "recordings.h"

#include "support/temp_folder.h"
#include "waveform/envelope_cache.h"
#include "waveform/envelope_decoder.h"
#include "waveform/waveform_builder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

constexpr int kWaitMs = 60000;

// What one builder told, in order.
struct Told {
    std::vector<Envelope> progress;
    std::optional<Envelope> finished;
    QStringList failed;
    int afterFinishing = 0;

    explicit Told(WaveformBuilder& builder)
    {
        QObject::connect(&builder, &WaveformBuilder::progress, [this](const Envelope& envelope) {
            afterFinishing += finished ? 1 : 0;
            progress.push_back(envelope);
        });
        QObject::connect(&builder, &WaveformBuilder::finished, [this](const Envelope& envelope) {
            afterFinishing += finished ? 1 : 0;
            finished = envelope;
        });
        QObject::connect(&builder, &WaveformBuilder::failed, [this](const QString& path) { failed << path; });
    }
};

bool loudAtTheTone(const Envelope& envelope)
{
    return envelope.valueCount() > 6100 && envelope.values()[6050].rms >= 100 && envelope.values()[5000].rms < 50;
}

Envelope flatEnvelope(int count, std::uint8_t level)
{
    EnvelopeWriter writer(count / 100.0);
    for (int i = 0; i < count; ++i)
        writer.append(EnvelopeValue{level, level});
    writer.finish();
    return writer.snapshot();
}

void moveModificationTime(const QString& path)
{
    struct stat status { };
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    const timespec times[2] = {{0, UTIME_OMIT}, {status.st_mtim.tv_sec + 10, status.st_mtim.tv_nsec}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

} // namespace

class WaveformBuilderTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void buildsTheEnvelopeAndKeepsIt();
    void keptEnvelopeIsUsed();
    void changedRecordingIsDecodedAgain();
    void damagedCacheFileIsDecodedAgain();
    void undecodableFileIsAFailure_data();
    void undecodableFileIsAFailure();
    void longRecordingGrowsInSteps();
    void anotherStartCancelsTheFirst();
    void destructionCancelsAtOnce();

private:
    QString cacheFileFor(const QString& path) const;

    TempFolder folder_;
    QString tone_;
    QString longSilence_;
};

void WaveformBuilderTest::initTestCase()
{
    qputenv("XDG_CACHE_HOME", QFile::encodeName(folder_.filePath(QStringLiteral("cache"))));
    const Encoding mp3{
        {QStringLiteral("-c:a"), QStringLiteral("libmp3lame"), QStringLiteral("-b:a"), QStringLiteral("32k")},
        QStringLiteral(".mp3")};
    tone_ = writeToneRecording(folder_.path(), 16000, 1, mp3);
    QVERIFY(!tone_.isEmpty());
    longSilence_ = writeLongSilence(folder_.path(), 90);
    QVERIFY(!longSilence_.isEmpty());
}

void WaveformBuilderTest::init()
{
    QDir(folder_.filePath(QStringLiteral("cache/tavrin"))).removeRecursively();
}

QString WaveformBuilderTest::cacheFileFor(const QString& path) const
{
    return EnvelopeCache(folder_.filePath(QStringLiteral("cache/tavrin"))).fileFor(*envelopeCacheKeyOf(path));
}

void WaveformBuilderTest::buildsTheEnvelopeAndKeepsIt()
{
    WaveformBuilder builder;
    Told told(builder);
    builder.start(tone_);
    QCOMPARE(builder.path(), tone_);
    QTRY_VERIFY_WITH_TIMEOUT(told.finished.has_value(), kWaitMs);
    QVERIFY(told.failed.isEmpty());
    QVERIFY(told.finished->isComplete());
    QVERIFY(loudAtTheTone(*told.finished));
    QCOMPARE(builder.envelope().valueCount(), told.finished->valueCount());
    for (const Envelope& envelope : told.progress)
        QVERIFY(!envelope.isComplete());
    // Kept in $XDG_CACHE_HOME/tavrin once told.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(cacheFileFor(tone_)), kWaitMs);
    const EnvelopeCache cache(EnvelopeCache::defaultFolder());
    QCOMPARE(cache.fileFor(*envelopeCacheKeyOf(tone_)), cacheFileFor(tone_));
    QTRY_VERIFY_WITH_TIMEOUT(cache.load(*envelopeCacheKeyOf(tone_)).has_value(), kWaitMs);
}

// An envelope kept under the recording's key, though not its own, is what comes:
// proof that nothing was decoded.
void WaveformBuilderTest::keptEnvelopeIsUsed()
{
    QVERIFY(EnvelopeCache().store(*envelopeCacheKeyOf(tone_), flatEnvelope(777, 42)));
    WaveformBuilder builder;
    Told told(builder);
    builder.start(tone_);
    QTRY_VERIFY_WITH_TIMEOUT(told.finished.has_value(), kWaitMs);
    QCOMPARE(told.finished->valueCount(), 777);
    QCOMPARE(int(told.finished->values()[500].peak), 42);
    QVERIFY(told.progress.empty());
}

void WaveformBuilderTest::changedRecordingIsDecodedAgain()
{
    QVERIFY(EnvelopeCache().store(*envelopeCacheKeyOf(tone_), flatEnvelope(777, 42)));
    moveModificationTime(tone_);
    WaveformBuilder builder;
    Told told(builder);
    builder.start(tone_);
    QTRY_VERIFY_WITH_TIMEOUT(told.finished.has_value(), kWaitMs);
    QVERIFY(loudAtTheTone(*told.finished));
}

void WaveformBuilderTest::damagedCacheFileIsDecodedAgain()
{
    QVERIFY(EnvelopeCache().store(*envelopeCacheKeyOf(tone_), flatEnvelope(777, 42)));
    QByteArray bytes = TempFolder::read(cacheFileFor(tone_));
    bytes.chop(1);
    TempFolder::writeAt(cacheFileFor(tone_), bytes);
    WaveformBuilder builder;
    Told told(builder);
    builder.start(tone_);
    QTRY_VERIFY_WITH_TIMEOUT(told.finished.has_value(), kWaitMs);
    QVERIFY(loudAtTheTone(*told.finished));
    // The damaged file is replaced by a sound one.
    QTRY_VERIFY_WITH_TIMEOUT(EnvelopeCache().load(*envelopeCacheKeyOf(tone_)).has_value(), kWaitMs);
    QVERIFY(loudAtTheTone(*EnvelopeCache().load(*envelopeCacheKeyOf(tone_))));
}

void WaveformBuilderTest::undecodableFileIsAFailure_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray noise(64 * 1024, Qt::Uninitialized);
    QRandomGenerator generator(11);
    generator.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    QTest::newRow("random bytes") << noise;
    QTest::newRow("a text file") << QByteArray("会议记录 minutes\n").repeated(500);
}

void WaveformBuilderTest::undecodableFileIsAFailure()
{
    QFETCH(QByteArray, bytes);
    const QString path = folder_.write(QStringLiteral("not sound.m4a"), bytes);
    WaveformBuilder builder;
    Told told(builder);
    builder.start(path);
    QTRY_VERIFY_WITH_TIMEOUT(!told.failed.isEmpty(), kWaitMs);
    QCOMPARE(told.failed, QStringList{path});
    QVERIFY(!told.finished);
    QVERIFY(!QFile::exists(cacheFileFor(path)));
    // The builder goes on with the next recording.
    builder.start(tone_);
    QTRY_VERIFY_WITH_TIMEOUT(told.finished.has_value(), kWaitMs);
    QCOMPARE(told.failed.size(), 1);
}

// Long enough to be sampled first: the first envelope told already covers the
// whole length, and then the decoded part grows.
void WaveformBuilderTest::longRecordingGrowsInSteps()
{
    WaveformBuilder builder;
    Told told(builder);
    builder.start(longSilence_);
    QTRY_VERIFY_WITH_TIMEOUT(told.finished.has_value(), kWaitMs);
    QVERIFY(told.progress.size() >= 2);
    const Envelope& first = told.progress.front();
    QVERIFY(first.probes().size() > 100);
    QVERIFY(first.durationSeconds() > 89 * 60);
    for (const EnvelopeColumn& column : first.columnsFor(800, first.durationSeconds()))
        QVERIFY(column.source != ColumnSource::Unknown);
    for (std::size_t i = 1; i < told.progress.size(); ++i)
        QVERIFY(told.progress[i].valueCount() >= told.progress[i - 1].valueCount());
    QVERIFY(told.progress.back().valueCount() > 0);
    QCOMPARE(told.afterFinishing, 0);
    // Each minute repeated decodes to a little more than a minute, as the container tells.
    QVERIFY(told.finished->valueCount() >= 90 * 60 * 100);
    QVERIFY(std::abs(told.finished->valueCount() - told.finished->durationSeconds() * 100) < 200);
}

void WaveformBuilderTest::anotherStartCancelsTheFirst()
{
    WaveformBuilder builder;
    Told told(builder);
    builder.start(longSilence_);
    QTRY_VERIFY_WITH_TIMEOUT(!told.progress.empty() && told.progress.back().valueCount() > 0, kWaitMs);
    QVERIFY(!told.finished);
    const std::size_t toldOfTheFirst = told.progress.size();
    builder.start(tone_);
    QTRY_VERIFY_WITH_TIMEOUT(told.finished.has_value(), kWaitMs);
    // Everything after the second start is of the second recording.
    for (std::size_t i = toldOfTheFirst; i < told.progress.size(); ++i)
        QVERIFY(told.progress[i].durationSeconds() < 100);
    QVERIFY(loudAtTheTone(*told.finished));
    QVERIFY(!QFile::exists(cacheFileFor(longSilence_)));
}

// The thread stops at the next packet: destroying the builder takes a small part
// of what decoding the rest would.
void WaveformBuilderTest::destructionCancelsAtOnce()
{
    std::atomic<bool> never{false};
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(decodeEnvelope(
                 longSilence_, never, [](const EnvelopeWriter&, DecodeStage) {}, nullptr),
             DecodeOutcome::Complete);
    const qint64 wholeDecodeMs = timer.elapsed();

    auto builder = std::make_unique<WaveformBuilder>();
    Told told(*builder);
    builder->start(longSilence_);
    QTRY_VERIFY_WITH_TIMEOUT(!told.progress.empty() && told.progress.back().valueCount() > 0, kWaitMs);
    timer.restart();
    builder.reset();
    const qint64 destructionMs = timer.elapsed();
    QVERIFY2(destructionMs * 4 < wholeDecodeMs,
             qPrintable(QStringLiteral("%1 ms to destroy, %2 ms to decode").arg(destructionMs).arg(wholeDecodeMs)));
    QVERIFY(!told.finished);
    QVERIFY(!QFile::exists(cacheFileFor(longSilence_)));
}

QTEST_GUILESS_MAIN(WaveformBuilderTest)
#include "waveform_builder_test.moc"
