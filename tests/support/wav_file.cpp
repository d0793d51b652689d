#include "wav_file.h"

#include <QFile>
#include <QtEndian>

#include <cmath>

namespace tavrin::test {

namespace {

void put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

} // namespace

QByteArray wavHeader(int sampleRate, int channels, quint32 dataBytes)
{
    QByteArray bytes;
    bytes.append("RIFF");
    put32(bytes, 36 + dataBytes);
    bytes.append("WAVEfmt ");
    put32(bytes, 16);
    put16(bytes, 1); // PCM
    put16(bytes, quint16(channels));
    put32(bytes, quint32(sampleRate));
    put32(bytes, quint32(sampleRate) * 2 * quint32(channels));
    put16(bytes, quint16(2 * channels));
    put16(bytes, 16);
    bytes.append("data");
    put32(bytes, dataBytes);
    return bytes;
}

void appendSample(QByteArray& out, qint16 sample)
{
    put16(out, quint16(sample));
}

void writeWav(const QString& path, double seconds, int sampleRate)
{
    const quint32 samples = quint32(std::llround(seconds * sampleRate));
    const quint32 dataBytes = samples * 2;
    QByteArray bytes = wavHeader(sampleRate, 1, dataBytes);
    const quint32 toneSamples = std::min<quint32>(samples, quint32(sampleRate) / 4);
    for (quint32 i = 0; i < toneSamples; ++i)
        appendSample(bytes, qint16(6000 * std::sin(2 * M_PI * 440.0 * i / sampleRate)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.resize(44 + qint64(dataBytes)))
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace tavrin::test
