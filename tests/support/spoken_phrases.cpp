#include "spoken_phrases.h"

#include "noisy_speech.h"
#include "pcm_sound.h"
#include "run_tool.h"

#include <QHash>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace tavrin::test {

namespace {

constexpr int kRate = 22050;
// Quieter than this is silence: espeak-ng's own lead-in and tail are left out.
constexpr float kAudible = 0.01f;

// The phrase's audible part, as espeak-ng speaks it.
std::vector<float> speak(const QString& text)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("phrase.wav"));
    runTool(QStringLiteral("espeak-ng"),
            {QStringLiteral("-v"), QStringLiteral("cmn"), QStringLiteral("-w"), path, text});
    const PcmSound sound = readWav(path);
    if (sound.sampleRate != kRate)
        qFatal("espeak-ng spoke at %d Hz, not %d", sound.sampleRate, kRate);
    const auto audible = [](float sample) { return std::abs(sample) > kAudible; };
    auto first = std::find_if(sound.samples.begin(), sound.samples.end(), audible);
    auto last = std::find_if(sound.samples.rbegin(), sound.samples.rend(), audible).base();
    if (first >= last)
        qFatal("espeak-ng spoke nothing for %s", qPrintable(text));
    return {first, last};
}

// Long recordings say the same phrases again: each is spoken once.
const std::vector<float>& spoken(const QString& text)
{
    static QHash<QString, std::vector<float>> said;
    auto found = said.find(text);
    if (found == said.end())
        found = said.insert(text, speak(text));
    return *found;
}

} // namespace

SpokenPhrases writeSpokenPhrases(const QString& path, const QStringList& texts, double gapSeconds)
{
    PcmSound sound;
    sound.sampleRate = kRate;
    sound.channels = 1;
    SpokenPhrases made;
    const auto gap = std::size_t(std::lround(gapSeconds * kRate));
    for (const QString& text : texts) {
        sound.samples.resize(sound.samples.size() + gap, 0.0f);
        const std::vector<float>& phrase = spoken(text);
        const double start = double(sound.samples.size()) / kRate;
        sound.samples.insert(sound.samples.end(), phrase.begin(), phrase.end());
        made.phrases.push_back({start, double(sound.samples.size()) / kRate});
    }
    sound.samples.resize(sound.samples.size() + gap, 0.0f);
    made.lengthSeconds = sound.seconds();
    writeSoundWav(path, sound);
    return made;
}

void encodeWithFfmpeg(const QString& wav, const QString& path, const QStringList& options, bool withVideo)
{
    QStringList arguments{QStringLiteral("-nostdin"), QStringLiteral("-y"), QStringLiteral("-loglevel"),
                          QStringLiteral("error")};
    if (withVideo)
        arguments << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                  << QStringLiteral("color=c=black:s=160x120:r=10");
    arguments << QStringLiteral("-i") << wav;
    if (withVideo)
        arguments << QStringLiteral("-shortest") << QStringLiteral("-c:v") << QStringLiteral("mpeg4");
    arguments << options << path;
    runTool(QStringLiteral("ffmpeg"), arguments);
}

} // namespace tavrin::test
