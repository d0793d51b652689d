// Envelopes kept on disk: found again under the same key, missed once the
// recording changes, and a damaged or foreign file ignored.
#include "support/temp_folder.h"
#include "support/within.h"
#include "waveform/envelope_cache.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTest>
#include <QtEndian>

#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>

using namespace tavrin;
using namespace tavrin::test;

using Damage = std::function<QByteArray(QByteArray)>;
Q_DECLARE_METATYPE(Damage)

namespace {

Envelope sampleEnvelope(int count)
{
    EnvelopeWriter writer(count / 100.0);
    for (int i = 0; i < count; ++i)
        writer.append(EnvelopeValue{std::uint8_t(i * 7 % 256), std::uint8_t(i * 3 % 200)});
    writer.finish();
    return writer.snapshot();
}

// `bytes`, a kept envelope's file, telling `seconds` as its length, its checksum made
// to match, as a hostile hand would write it.
QByteArray withLength(QByteArray bytes, double seconds, qsizetype valueCount)
{
    const qsizetype values = valueCount * qsizetype(sizeof(EnvelopeValue));
    const qsizetype checksumAt = bytes.size() - values - 16;
    const qsizetype lengthAt = checksumAt - 8 - 8; // then the count
    const double little = qToLittleEndian(seconds);
    std::memcpy(bytes.data() + lengthAt, &little, sizeof little);
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(QByteArrayView(bytes).first(checksumAt));
    hash.addData(QByteArrayView(bytes).last(values));
    bytes.replace(checksumAt, 16, hash.result());
    return bytes;
}

bool sameValues(const Envelope& a, const Envelope& b)
{
    return std::equal(a.values().begin(), a.values().end(), b.values().begin(), b.values().end());
}

} // namespace

class EnvelopeCacheTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void keptEnvelopeIsFoundAgain();
    void changedRecordingMisses_data();
    void changedRecordingMisses();
    void damagedFileIsIgnored_data();
    void damagedFileIsIgnored();
    void anotherRecordingsFileIsIgnored();
    void unwritableFolderIsNoFailure();
    void hostileFileIsNotTrusted_data();
    void hostileFileIsNotTrusted();

private:
    std::unique_ptr<TempFolder> folder_;
    QString recording_;
    QString cacheFolder_;
};

void EnvelopeCacheTest::init()
{
    folder_ = std::make_unique<TempFolder>();
    recording_ = folder_->write(QStringLiteral("会议 recording.mp3"), QByteArray(5000, 'x'));
    cacheFolder_ = folder_->filePath(QStringLiteral("cache/tavrin"));
}

void EnvelopeCacheTest::keptEnvelopeIsFoundAgain()
{
    const EnvelopeCache cache(cacheFolder_);
    const std::optional<EnvelopeCacheKey> key = envelopeCacheKeyOf(recording_);
    QVERIFY(key.has_value());
    QCOMPARE(key->path, recording_);
    QCOMPARE(key->size, 5000);
    QVERIFY(!cache.load(*key).has_value());

    const Envelope envelope = sampleEnvelope(12345);
    QVERIFY(cache.store(*key, envelope));
    QVERIFY(QFile::exists(cache.fileFor(*key)));
    QVERIFY(cache.fileFor(*key).startsWith(cacheFolder_ + u'/'));

    const std::optional<Envelope> loaded = EnvelopeCache(cacheFolder_).load(*envelopeCacheKeyOf(recording_));
    QVERIFY(loaded.has_value());
    QVERIFY(loaded->isComplete());
    QCOMPARE(loaded->valueCount(), 12345);
    QCOMPARE(loaded->durationSeconds(), 123.45);
    QVERIFY(sameValues(*loaded, envelope));
}

void EnvelopeCacheTest::changedRecordingMisses_data()
{
    QTest::addColumn<bool>("sizeChanges");
    QTest::newRow("size") << true;
    QTest::newRow("modification time") << false;
}

void EnvelopeCacheTest::changedRecordingMisses()
{
    QFETCH(bool, sizeChanges);
    const EnvelopeCache cache(cacheFolder_);
    QVERIFY(cache.store(*envelopeCacheKeyOf(recording_), sampleEnvelope(100)));
    struct stat before { };
    QCOMPARE(::stat(QFile::encodeName(recording_).constData(), &before), 0);
    timespec times[2] = {{0, UTIME_OMIT}, before.st_mtim};
    if (sizeChanges)
        TempFolder::writeAt(recording_, QByteArray(5001, 'x')); // then the time is put back
    else
        times[1].tv_nsec = (times[1].tv_nsec + 1) % 1'000'000'000;
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(recording_).constData(), times, 0), 0);
    const std::optional<EnvelopeCacheKey> key = envelopeCacheKeyOf(recording_);
    QVERIFY(!cache.load(*key).has_value());
    QVERIFY(cache.store(*key, sampleEnvelope(200)));
    QCOMPARE(cache.load(*key)->valueCount(), 200);
}

void EnvelopeCacheTest::damagedFileIsIgnored_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::newRow("empty") << Damage([](QByteArray) { return QByteArray(); });
    QTest::newRow("cut in the header") << Damage([](QByteArray bytes) { return bytes.left(20); });
    QTest::newRow("cut in the values") << Damage([](QByteArray bytes) { return bytes.left(bytes.size() - 3); });
    QTest::newRow("one value more") << Damage([](QByteArray bytes) { return bytes + "ab"; });
    QTest::newRow("a value changed") << Damage([](QByteArray bytes) {
        bytes[bytes.size() - 100] = char(bytes[bytes.size() - 100] ^ 0x10);
        return bytes;
    });
    QTest::newRow("the count changed") << Damage([](QByteArray bytes) {
        const qsizetype count = bytes.size() - 2 * 1000 - 16 - 8; // the count's last bytes
        bytes[count + 1] = char(bytes[count + 1] ^ 0x01);
        return bytes;
    });
    QTest::newRow("another magic") << Damage([](QByteArray bytes) { return bytes.replace(0, 4, "RIFF"); });
    QTest::newRow("a later version") << Damage([](QByteArray bytes) {
        bytes[8] = 2;
        return bytes;
    });
    QTest::newRow("random bytes") << Damage([](QByteArray bytes) {
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 131 + 17) % 251);
        return bytes;
    });
}

void EnvelopeCacheTest::damagedFileIsIgnored()
{
    QFETCH(Damage, damage);
    const EnvelopeCache cache(cacheFolder_);
    const EnvelopeCacheKey key = *envelopeCacheKeyOf(recording_);
    QVERIFY(cache.store(key, sampleEnvelope(1000)));
    const QByteArray good = TempFolder::read(cache.fileFor(key));
    QVERIFY(decodeEnvelopeFile(key, good).has_value());
    TempFolder::writeAt(cache.fileFor(key), damage(good));
    QVERIFY(!cache.load(key).has_value());
    // Computed again, it is kept again.
    QVERIFY(cache.store(key, sampleEnvelope(1000)));
    QVERIFY(cache.load(key).has_value());
}

// Two keys whose names collide: the key inside tells them apart.
void EnvelopeCacheTest::anotherRecordingsFileIsIgnored()
{
    const EnvelopeCache cache(cacheFolder_);
    const EnvelopeCacheKey key = *envelopeCacheKeyOf(recording_);
    const QString other = folder_->write(QStringLiteral("other.mp3"), QByteArray(5000, 'y'));
    const EnvelopeCacheKey otherKey = *envelopeCacheKeyOf(other);
    QVERIFY(cache.store(otherKey, sampleEnvelope(100)));
    QVERIFY(cache.fileFor(key) != cache.fileFor(otherKey));
    QVERIFY(QFile::copy(cache.fileFor(otherKey), cache.fileFor(key)));
    QVERIFY(!cache.load(key).has_value());
    QVERIFY(cache.load(otherKey).has_value());
}

void EnvelopeCacheTest::unwritableFolderIsNoFailure()
{
    const QString blocker = folder_->write(QStringLiteral("a file"), "not a folder");
    const EnvelopeCache cache(blocker + QStringLiteral("/tavrin"));
    const EnvelopeCacheKey key = *envelopeCacheKeyOf(recording_);
    QVERIFY(!cache.store(key, sampleEnvelope(10)));
    QVERIFY(!cache.load(key).has_value());
}

void EnvelopeCacheTest::hostileFileIsNotTrusted_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("seconds"); // the length the file tells
    QTest::newRow("its own length: trusted") << QStringLiteral("file") << 10.0;
    QTest::newRow("a length of 1e13 seconds") << QStringLiteral("file") << 9e12;
    QTest::newRow("an infinite length") << QStringLiteral("file") << std::numeric_limits<double>::infinity();
    QTest::newRow("not a number") << QStringLiteral("file") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("a link to a good file elsewhere") << QStringLiteral("link") << 10.0;
    QTest::newRow("a named pipe, which would block the reading") << QStringLiteral("pipe") << 10.0;
}

// The cache folder is the user's, and any program may put a file there: its
// header's length is bounded as a recording's, and only a regular file is read.
void EnvelopeCacheTest::hostileFileIsNotTrusted()
{
    QFETCH(QString, kind);
    QFETCH(double, seconds);
    const EnvelopeCacheKey key = *envelopeCacheKeyOf(recording_);
    const QString cacheFolder = cacheFolder_;
    QVERIFY(EnvelopeCache(cacheFolder).store(key, sampleEnvelope(1000)));
    const QString file = EnvelopeCache(cacheFolder).fileFor(key);
    const QByteArray good = TempFolder::read(file);
    QVERIFY(QFile::remove(file));
    if (kind == QLatin1String("file")) {
        TempFolder::writeAt(file, withLength(good, seconds, 1000));
    } else if (kind == QLatin1String("link")) {
        const QString elsewhere = folder_->write(QStringLiteral("elsewhere.envelope"), good);
        QVERIFY(QFile::link(elsewhere, file));
    } else {
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    }
    auto loaded = std::make_shared<int>(-1); // the values it gave; 0: nothing
    QVERIFY2(returnsWithin(10000,
                           [cacheFolder, key, loaded] {
                               const std::optional<Envelope> envelope = EnvelopeCache(cacheFolder).load(key);
                               *loaded = envelope ? int(envelope->valueCount()) : 0;
                           }),
             "the reading blocked");
    const bool trusted = kind == QLatin1String("file") && seconds == 10.0;
    QCOMPARE(*loaded, trusted ? 1000 : 0);
}

QTEST_GUILESS_MAIN(EnvelopeCacheTest)
#include "envelope_cache_test.moc"
