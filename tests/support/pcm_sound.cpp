#include "pcm_sound.h"

#include "wav_file.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tavrin::test {

namespace {

constexpr quint16 kFormatFloat = 3;
constexpr quint16 kFormatExtensible = 0xFFFE;

quint16 at16(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

quint32 at32(const QByteArray& bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

float sampleAt(const char* data, quint16 format, int bits)
{
    if (format == kFormatFloat && bits == 32)
        return qFromLittleEndian<float>(data);
    if (bits == 16)
        return float(qFromLittleEndian<qint16>(data)) / 32768.0f;
    if (bits == 32)
        return float(double(qFromLittleEndian<qint32>(data)) / 2147483648.0);
    qFatal("unsupported WAV sample size %d", bits);
}

} // namespace

std::span<const float> PcmSound::between(double from, double to) const
{
    const auto clip = [this](double at) {
        return std::clamp<std::size_t>(std::size_t(std::max(0.0, at) * sampleRate), 0, samples.size());
    };
    const std::size_t first = clip(from), last = std::max(first, clip(to));
    return std::span<const float>(samples).subspan(first, last - first);
}

PcmSound readWav(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        qFatal("%s is not a WAV file", qPrintable(path));
    PcmSound sound;
    quint16 format = 0;
    int bits = 0;
    for (qsizetype chunk = 12; chunk + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(chunk, 4);
        const qsizetype body = chunk + 8;
        const qsizetype size = at32(bytes, chunk + 4);
        if (id == "fmt ") {
            if (size < 16 || body + size > bytes.size() || (size < 26 && at16(bytes, body) == kFormatExtensible))
                qFatal("%s has a short format chunk", qPrintable(path));
            format = at16(bytes, body);
            sound.channels = at16(bytes, body + 2);
            sound.sampleRate = int(at32(bytes, body + 4));
            bits = at16(bytes, body + 14);
            if (format == kFormatExtensible)
                format = at16(bytes, body + 24); // the sub-format's first two bytes
        } else if (id == "data") {
            if (sound.channels <= 0 || bits <= 0)
                qFatal("%s has no format before its data", qPrintable(path));
            const qsizetype frameBytes = qsizetype(sound.channels) * bits / 8;
            const qsizetype end = (size == 0 || body + size > bytes.size()) ? bytes.size() : body + size;
            for (qsizetype frame = body; frame + frameBytes <= end; frame += frameBytes)
                sound.samples.push_back(sampleAt(bytes.constData() + frame, format, bits));
            return sound;
        }
        chunk = body + size + (size & 1);
    }
    qFatal("%s holds no sound", qPrintable(path));
}

void writeToneWav(const QString& path, double seconds, int sampleRate, double frequency, double dbfs, int channels)
{
    const quint32 frames = quint32(std::llround(seconds * sampleRate));
    const quint32 dataBytes = frames * 2 * quint32(channels);
    QByteArray bytes = wavHeader(sampleRate, channels, dataBytes);
    // A sine's RMS is its peak over the square root of two.
    const double peak = std::sqrt(2.0) * std::pow(10.0, dbfs / 20.0) * 32767.0;
    for (quint32 i = 0; i < frames; ++i) {
        const auto value = qint16(std::lround(peak * std::sin(2.0 * M_PI * frequency * i / sampleRate)));
        for (int channel = 0; channel < channels; ++channel)
            appendSample(bytes, value);
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

double rmsDbfs(std::span<const float> samples)
{
    double sum = 0.0;
    for (const float sample : samples)
        sum += double(sample) * sample;
    if (samples.empty() || sum == 0.0)
        return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(std::sqrt(sum / double(samples.size())));
}

double toneFrequency(std::span<const float> samples, int sampleRate)
{
    // Each rising crossing is placed between its two samples, so the estimate is
    // not limited to whole sample periods.
    double first = -1.0, last = -1.0;
    int crossings = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0.0f && samples[i] >= 0.0f) {
            const double at = double(i - 1) + samples[i - 1] / double(samples[i - 1] - samples[i]);
            if (crossings == 0)
                first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2)
        return 0.0;
    return (crossings - 1) * double(sampleRate) / (last - first);
}

} // namespace tavrin::test
