#include "noisy_speech.h"
#include "run_tool.h"

#include "wav_file.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <random>

namespace tavrin::test {

namespace {

// Characters spoken one by one, with a pause between them: the noise reduction is judged there.
constexpr char kText[] = "请把录音里的每一句话都写下来，听不清的地方慢慢放。";
constexpr int kWordGapTens = 15; // espeak-ng's gap between words, in tens of milliseconds

// The speech alone at `sampleRate`: espeak-ng speaks at 22050 Hz, ffmpeg resamples.
PcmSound speech(int sampleRate)
{
    QTemporaryDir folder;
    const QString spoken = folder.filePath(QStringLiteral("spoken.wav"));
    const QString resampled = folder.filePath(QStringLiteral("resampled.wav"));
    runTool(QStringLiteral("espeak-ng"),
            {QStringLiteral("-v"), QStringLiteral("cmn"), QStringLiteral("-g"), QString::number(kWordGapTens),
             QStringLiteral("-w"), spoken, QString::fromUtf8(kText)});
    runTool(QStringLiteral("ffmpeg"),
            {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-i"),
             spoken, QStringLiteral("-ar"), QString::number(sampleRate), QStringLiteral("-ac"), QStringLiteral("1"),
             QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), resampled});
    return readWav(resampled);
}

std::vector<double> frameLoudness(const PcmSound& sound)
{
    const auto frameLength = std::size_t(NoisySpeech::kFrameSeconds * sound.sampleRate);
    std::vector<double> frames;
    for (std::size_t start = 0; start + frameLength <= sound.samples.size(); start += frameLength)
        frames.push_back(rmsDbfs(std::span<const float>(sound.samples).subspan(start, frameLength)));
    return frames;
}

void findFrames(NoisySpeech& made, const PcmSound& clean)
{
    const std::vector<double> frames = frameLoudness(clean);
    const double loudest = *std::max_element(frames.begin(), frames.end());
    constexpr std::size_t kGuard = 3; // frames of 20 ms: 60 ms
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i] > loudest - 30.0)
            made.speechFrames.push_back(i);
        const std::size_t first = i >= kGuard ? i - kGuard : 0, last = std::min(frames.size() - 1, i + kGuard);
        const bool silent = std::all_of(frames.begin() + first, frames.begin() + last + 1,
                                        [&](double frame) { return frame < loudest - 60.0; });
        if (silent && i >= kGuard && i + kGuard < frames.size())
            made.pauseFrames.push_back(i);
    }
}

} // namespace

double NoisySpeech::loudness(const PcmSound& sound, const std::vector<std::size_t>& frames, double lag)
{
    const auto frameLength = std::size_t(kFrameSeconds * sound.sampleRate);
    const auto offset = std::size_t(std::lround(std::max(0.0, lag) * sound.sampleRate));
    double power = 0.0;
    std::size_t count = 0;
    for (const std::size_t frame : frames) {
        const std::size_t start = frame * frameLength + offset;
        for (std::size_t i = start; i < std::min(start + frameLength, sound.samples.size()); ++i, ++count)
            power += double(sound.samples[i]) * sound.samples[i];
    }
    return count == 0 || power == 0.0 ? -INFINITY : 10.0 * std::log10(power / double(count));
}

NoisySpeech writeNoisySpeech(const QString& path, double speechDbfs, double noiseDbfs, int sampleRate)
{
    const PcmSound spoken = speech(sampleRate);
    PcmSound clean{sampleRate, 1, {}};
    clean.samples.assign(std::size_t(sampleRate), 0.0f);
    clean.samples.insert(clean.samples.end(), spoken.samples.begin(), spoken.samples.end());
    clean.samples.resize(clean.samples.size() + std::size_t(sampleRate / 2), 0.0f);

    NoisySpeech made;
    findFrames(made, clean);
    const double gain = std::pow(10.0, (speechDbfs - NoisySpeech::loudness(clean, made.speechFrames)) / 20.0);
    // Uniform white noise: its RMS is its peak over the square root of three.
    const double noisePeak = std::sqrt(3.0) * std::pow(10.0, noiseDbfs / 20.0);
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> noise(-noisePeak, noisePeak);
    made.recording = clean;
    for (float& sample : made.recording.samples)
        sample = float(sample * gain + noise(random));
    writeSoundWav(path, made.recording);
    made.recording = readWav(path); // as the player reads it, rounded to 16 bits
    return made;
}

void writeSoundWav(const QString& path, const PcmSound& sound)
{
    QByteArray bytes = wavHeader(sound.sampleRate, 1, quint32(sound.samples.size() * 2));
    for (const float sample : sound.samples)
        appendSample(bytes, qint16(std::clamp<long>(std::lround(sample * 32768.0), -32768, 32767)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace tavrin::test
