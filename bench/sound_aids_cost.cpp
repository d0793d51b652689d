// What the sound aids cost to play: a 16 kHz mono voice recording rendered by
// the player as fast as it decodes, into nothing, with no aid, with every aid
// and with each alone, taken in turn. The process's CPU time (libmpv's threads
// included) over the seconds of sound is the share of one core that playing
// it in real time takes.
#include "measure.h"

#include "player/media_player.h"
#include "support/noisy_speech.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <map>

namespace tavrin::bench {

namespace {

constexpr int kWaitMs = 120000;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return double(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Noisy speech, repeated until it lasts `seconds`.
QString writeVoiceRecording(const QString& folder, int seconds)
{
    const QString path = folder + QStringLiteral("/voice.wav");
    test::PcmSound voice = test::writeNoisySpeech(path).recording;
    const std::vector<float> once = voice.samples;
    while (voice.seconds() < seconds)
        voice.samples.insert(voice.samples.end(), once.begin(), once.end());
    test::writeSoundWav(path, voice);
    return path;
}

// Percent of one core: CPU time over the recording's length.
double playingCost(const QString& recording, double seconds, const ListeningAids& aids)
{
    MediaPlayer::Options options;
    options.audioOutput = QStringLiteral("pcm");
    options.audioOutputFile = QStringLiteral("/dev/null");
    MediaPlayer player(options);
    player.setListeningAids(aids);
    const double start = cpuSeconds();
    player.setUrl(recording);
    player.play();
    if (!QTest::qWaitFor([&] { return player.playState() == PlayStateStopped; }, kWaitMs))
        qFatal("the voice recording did not play to its end");
    return (cpuSeconds() - start) / seconds * 100.0;
}

ListeningAids only(bool ListeningAids::*aid)
{
    ListeningAids aids;
    aids.*aid = true;
    return aids;
}

} // namespace

int runListeningAidsCost(int seconds, int repetitions)
{
    QTemporaryDir folder;
    const QString recording = writeVoiceRecording(folder.path(), seconds);
    ListeningAids every;
    every.volumeBoost = every.loudnessLevelling = every.noiseReduction = every.voiceBand = true;
    const std::map<const char*, ListeningAids> conditions = {
        {"no aid", ListeningAids{}},
        {"every aid", every},
        {"volume boost", only(&ListeningAids::volumeBoost)},
        {"loudness levelling", only(&ListeningAids::loudnessLevelling)},
        {"noise reduction", only(&ListeningAids::noiseReduction)},
        {"voice band", only(&ListeningAids::voiceBand)},
    };
    std::map<const char*, std::vector<double>> costs;
    for (int round = 0; round < repetitions; ++round) {
        for (const auto& [name, aids] : conditions)
            costs[name].push_back(playingCost(recording, seconds, aids));
    }
    for (const auto& [name, values] : costs)
        report(name, median(values), "% of a core");
    return 0;
}

} // namespace tavrin::bench
