#include "hostile_recordings.h"

#include "run_tool.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <cstring>

namespace tavrin::test {

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

void encodeFlac(const QStringList& input, const QString& path, const QStringList& options = {})
{
    runTool(QStringLiteral("ffmpeg"),
            QStringList{QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                        QStringLiteral("-y")}
                + input + QStringList{QStringLiteral("-c:a"), QStringLiteral("flac")} + options + QStringList{path});
}

// The offset of a FLAC file's first frame, after "fLaC" and its metadata blocks.
qsizetype firstFlacFrame(const QByteArray& bytes)
{
    qsizetype at = 4;
    while (at + 4 <= bytes.size()) {
        const auto header = uchar(bytes[at]);
        at += 4 + qsizetype((uchar(bytes[at + 1]) << 16) | (uchar(bytes[at + 2]) << 8) | uchar(bytes[at + 3]));
        if (header & 0x80) // the last block
            return at;
    }
    qFatal("not a FLAC file");
}

// Silence at 1 Hz in frames of `frameSize` samples.
QString writeSilenceAtOneHertz(const QString& folder, int samples, int frameSize, const QString& name)
{
    const QString raw = QDir(folder).filePath(QStringLiteral("one-hertz.raw"));
    const QString path = QDir(folder).filePath(name);
    writeAll(raw, QByteArray(qsizetype(samples) * 2, '\0'));
    encodeFlac({QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-ar"), QStringLiteral("1"),
                QStringLiteral("-ac"), QStringLiteral("1"), QStringLiteral("-i"), raw},
               path, {QStringLiteral("-frame_size"), QString::number(frameSize)});
    QFile::remove(raw);
    return path;
}

} // namespace

QString writeLyingLengthRecording(const QString& folder, double seconds, double claimedSeconds)
{
    const QString path = QDir(folder).filePath(QStringLiteral("lying-length.mkv"));
    encodeFlac({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(seconds)},
               path);
    QByteArray bytes = readAll(path);
    // The segment's Duration element: its ID, an eight-byte size, a big-endian double
    // in the timecode scale's units, which ffmpeg writes as milliseconds.
    const qsizetype at = bytes.indexOf(QByteArray::fromHex("448988"));
    if (at < 0)
        qFatal("no duration in %s", qPrintable(path));
    const double claimed = claimedSeconds * 1000.0;
    quint64 raw = 0;
    std::memcpy(&raw, &claimed, sizeof raw);
    qToBigEndian(raw, bytes.data() + at + 3);
    writeAll(path, bytes);
    return path;
}

QString writeOneHertzFlac(const QString& folder, int samples)
{
    return writeSilenceAtOneHertz(folder, samples, 65535, QStringLiteral("one-hertz.flac"));
}

QString writeFlacEndingAtOneHertz(const QString& folder, const QString& wav, int tailSamples)
{
    const QString head = QDir(folder).filePath(QStringLiteral("head.flac"));
    encodeFlac({QStringLiteral("-i"), wav}, head);
    // Frames of a few hundred samples: FFmpeg's parser takes a frame whose rate
    // differs from the stream's only once the frames after it confirm it.
    const QString tail = writeSilenceAtOneHertz(folder, tailSamples, 256, QStringLiteral("tail.flac"));
    const QByteArray tailBytes = readAll(tail);
    const QString path = QDir(folder).filePath(QStringLiteral("ending-at-one-hertz.flac"));
    writeAll(path, readAll(head) + tailBytes.mid(firstFlacFrame(tailBytes)));
    QFile::remove(head);
    QFile::remove(tail);
    return path;
}

} // namespace tavrin::test
