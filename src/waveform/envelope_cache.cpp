#include "waveform/envelope_cache.h"

#include "files/atomic_file.h"
#include "files/path_bytes.h"
#include "files/user_folders.h"
#include "media/audio_input.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

constexpr char kMagic[8] = {'T', 'A', 'V', 'R', 'I', 'N', 'E', 'N'};
constexpr quint32 kVersion = 1;
constexpr int kChecksumSize = 16;
const QString kSuffix = QStringLiteral(".envelope");

template <typename Number> void put(QByteArray& bytes, Number number)
{
    const Number little = qToLittleEndian(number);
    bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
}

// Reads the header's fields in turn; any read past the end spoils it.
class HeaderReader {
public:
    explicit HeaderReader(const QByteArray& bytes)
        : bytes_(bytes)
    {
    }
    template <typename Number> Number take()
    {
        Number little{};
        if (!fits(sizeof little))
            return little;
        std::memcpy(&little, bytes_.constData() + at_, sizeof little);
        at_ += qsizetype(sizeof little);
        return qFromLittleEndian(little);
    }
    QByteArray take(qsizetype size)
    {
        if (!fits(size))
            return {};
        const QByteArray part = bytes_.mid(at_, size);
        at_ += size;
        return part;
    }
    bool ok() const { return ok_; }
    qsizetype at() const { return at_; }

private:
    bool fits(qsizetype size)
    {
        ok_ = ok_ && size >= 0 && size <= bytes_.size() - at_;
        return ok_;
    }
    const QByteArray& bytes_;
    qsizetype at_ = 0;
    bool ok_ = true;
};

QByteArray keyBytes(const EnvelopeCacheKey& key)
{
    QByteArray bytes;
    const QByteArray path = key.path.toUtf8();
    put<qint64>(bytes, key.size);
    put<qint64>(bytes, key.modifiedNanoseconds);
    put<quint32>(bytes, quint32(path.size()));
    bytes.append(path);
    return bytes;
}

// The largest file an envelope kept under `key` can take: its header and the most values.
qint64 largestFileFor(const EnvelopeCacheKey& key)
{
    const qint64 header = qint64(sizeof kMagic) + 4 + keyBytes(key).size() + 8 + 8 + kChecksumSize;
    return header + kMostEnvelopeValues * qint64(sizeof(EnvelopeValue));
}

// The bytes of the regular file at `path`, when it is no larger than `most`. A link,
// a named pipe (which would block the open) or a device put in the cache folder is
// not read.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 most)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (descriptor < 0)
        return std::nullopt;
    QFile file;
    struct stat status { };
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > most
        || !file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return std::nullopt;
    }
    QByteArray bytes = file.read(most + 1); // a file grown since is as damaged as a large one
    if (bytes.size() > most)
        return std::nullopt;
    return bytes;
}

// Of everything but the checksum itself.
QByteArray checksumOf(QByteArrayView header, QByteArrayView values)
{
    QCryptographicHash hash(QCryptographicHash::Md5);
    hash.addData(header);
    hash.addData(values);
    return hash.result();
}

} // namespace

std::optional<EnvelopeCacheKey> envelopeCacheKeyOf(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    struct stat status { };
    if (::stat(encodePath(absolute).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return EnvelopeCacheKey{absolute, qint64(status.st_size),
                            qint64(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

QByteArray encodeEnvelopeFile(const EnvelopeCacheKey& key, const Envelope& envelope)
{
    QByteArray header(kMagic, sizeof kMagic);
    put<quint32>(header, kVersion);
    header.append(keyBytes(key));
    put<double>(header, envelope.durationSeconds());
    put<quint64>(header, quint64(envelope.valueCount()));
    const std::span<const EnvelopeValue> values = envelope.values();
    const QByteArrayView valueBytes(reinterpret_cast<const char*>(values.data()),
                                    qsizetype(values.size() * sizeof(EnvelopeValue)));
    QByteArray bytes = header + checksumOf(header, valueBytes);
    bytes.append(valueBytes);
    return bytes;
}

std::optional<Envelope> decodeEnvelopeFile(const EnvelopeCacheKey& key, const QByteArray& bytes)
{
    HeaderReader reader(bytes);
    if (reader.take(sizeof kMagic) != QByteArray(kMagic, sizeof kMagic) || reader.take<quint32>() != kVersion)
        return std::nullopt;
    const QByteArray expectedKey = keyBytes(key);
    if (reader.take(expectedKey.size()) != expectedKey) // another recording whose key has the same hash
        return std::nullopt;
    const double duration = reader.take<double>();
    const quint64 count = reader.take<quint64>();
    const qsizetype headerSize = reader.at();
    const QByteArray checksum = reader.take(kChecksumSize);
    const qsizetype rest = bytes.size() - reader.at();
    if (!reader.ok() || rest % qsizetype(sizeof(EnvelopeValue)) != 0 || count != quint64(rest) / sizeof(EnvelopeValue))
        return std::nullopt;
    // Whoever wrote the file, its length and its values stay within what decoding makes.
    if (!std::isfinite(duration) || duration < 0 || duration > kLongestBelievableSeconds
        || count > quint64(kMostEnvelopeValues))
        return std::nullopt;
    const QByteArrayView valueBytes = QByteArrayView(bytes).sliced(reader.at());
    if (checksumOf(QByteArrayView(bytes).first(headerSize), valueBytes) != checksum)
        return std::nullopt;
    EnvelopeWriter writer(duration);
    writer.append({reinterpret_cast<const EnvelopeValue*>(valueBytes.data()), std::size_t(count)});
    writer.finish();
    return writer.snapshot();
}

EnvelopeCache::EnvelopeCache(QString folder)
    : folder_(std::move(folder))
{
}

QString EnvelopeCache::defaultFolder()
{
    return cacheFolder();
}

QString EnvelopeCache::fileFor(const EnvelopeCacheKey& key) const
{
    const QByteArray hash = QCryptographicHash::hash(keyBytes(key), QCryptographicHash::Sha256).toHex();
    return QDir(folder_).filePath(QString::fromLatin1(hash.left(32)) + kSuffix);
}

std::optional<Envelope> EnvelopeCache::load(const EnvelopeCacheKey& key) const
{
    const std::optional<QByteArray> bytes = readRegularFile(fileFor(key), largestFileFor(key));
    if (!bytes)
        return std::nullopt;
    return decodeEnvelopeFile(key, *bytes);
}

bool EnvelopeCache::store(const EnvelopeCacheKey& key, const Envelope& envelope) const
{
    if (!ensureUserFolder(folder_))
        return false;
    try {
        writeFileAtomically(fileFor(key), encodeEnvelopeFile(key, envelope));
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

} // namespace tavrin
