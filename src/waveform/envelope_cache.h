#pragma once

#include "waveform/envelope.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace tavrin {

// What a recording's envelope is kept under: a file changed in size or time is
// another recording.
struct EnvelopeCacheKey {
    QString path; // absolute
    qint64 size = 0;
    qint64 modifiedNanoseconds = 0;
    bool operator==(const EnvelopeCacheKey&) const = default;
};

// The key of the file at `path` as it is now; nothing when it cannot be read.
std::optional<EnvelopeCacheKey> envelopeCacheKeyOf(const QString& path);

// A complete envelope as kept on disk: a header (magic, version, the key, the
// length, the value count and a checksum of all of it) and the values.
QByteArray encodeEnvelopeFile(const EnvelopeCacheKey& key, const Envelope& envelope);
// The envelope kept in `bytes`, or nothing when they are damaged, cut short, of
// another version or kept under another key.
std::optional<Envelope> decodeEnvelopeFile(const EnvelopeCacheKey& key, const QByteArray& bytes);

// The envelopes computed so far, one file for each recording, in `folder`
// ($XDG_CACHE_HOME/tavrin by default), named by a hash of the key.
class EnvelopeCache {
public:
    explicit EnvelopeCache(QString folder = defaultFolder());
    static QString defaultFolder();

    QString fileFor(const EnvelopeCacheKey& key) const;
    std::optional<Envelope> load(const EnvelopeCacheKey& key) const;
    // False when it could not be written; the cache is only a saving of time.
    bool store(const EnvelopeCacheKey& key, const Envelope& envelope) const;

private:
    QString folder_;
};

} // namespace tavrin
