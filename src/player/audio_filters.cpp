#include "player/audio_filters.h"

#include <QByteArrayList>

#include <algorithm>

namespace tavrin {

namespace {

// Well beyond the rates 0.1 to 2.0 on either side: scaletempo2 is silent outside its range.
constexpr char kTimeStretch[] = "scaletempo2=min-speed=0.05:max-speed=4";

// An aid's filter with its fixed settings; the settings an aid switches follow
// from switchedSettings().
struct AidFilter {
    const char* label;
    const char* filter;
};

// Noise reduction: a noise floor of -40 dBFS takes the hiss of a phone or a
// far microphone (-50 to -40 dBFS) down by about 20 dB and quiet speech above
// it by less than 1 dB. Its noise tracking is left off: in this FFmpeg it
// barely lowers the noise at all.
// Levelling: speechnorm works on each half-wave of the sound, so unlike
// dynaudnorm it needs no look-ahead of seconds (which would hold back every
// seek and gives nothing for recordings shorter than it); raising up to 12.5
// times (22 dB), at a pace that follows a speaker without pumping.
constexpr AidFilter kBeforeStretch[] = {
    {"denoise", "afftdn=nr=20:nf=-40"},
    {"lowcut", "highpass=f=100"},
    {"highcut", "lowpass=f=4000"},
    {"levelling", "speechnorm=r=0.001:l=1"},
};

// The limit is 1 dB below full scale, and the limiter's automatic levelling,
// which would scale the limited sound back up to full scale, is off.
constexpr AidFilter kAfterStretch[] = {
    {"boost", "alimiter=limit=0.89:level=0"},
};

QByteArray choose(bool on, const char* whenOn, const char* whenOff)
{
    return QByteArray(on ? whenOn : whenOff);
}

// Every setting an aid switches, as it is for `aids`. An aid that is off
// leaves its filter passing the sound unchanged: the denoiser gives out its
// input, the voice band's filters mix in none of their own output, levelling
// neither raises nor lowers, the limiter takes the sound at its own level.
std::vector<FilterSetting> switchedSettings(const ListeningAids& aids)
{
    return {
        {"denoise", "om", choose(aids.noiseReduction, "o", "i")},
        {"lowcut", "m", choose(aids.voiceBand, "1", "0")},
        {"highcut", "m", choose(aids.voiceBand, "1", "0")},
        {"levelling", "e", choose(aids.loudnessLevelling, "12.5", "1")},
        {"levelling", "c", choose(aids.loudnessLevelling, "2", "1")},
        {"boost", "level_in", choose(aids.volumeBoost, "3", "1")},
    };
}

QByteArray filterEntry(const AidFilter& filter, const std::vector<FilterSetting>& settings)
{
    QByteArray entry = QByteArray("@") + filter.label + ":lavfi-" + filter.filter;
    for (const FilterSetting& setting : settings) {
        if (setting.label == filter.label)
            entry += ":" + setting.option + "=" + setting.value;
    }
    return entry;
}

} // namespace

QByteArray audioFilterChain(double rate, const ListeningAids& aids)
{
    QByteArrayList entries;
    const std::vector<FilterSetting> settings = switchedSettings(aids);
    if (aids.any()) {
        for (const AidFilter& filter : kBeforeStretch)
            entries << filterEntry(filter, settings);
    }
    if (rate != 1.0)
        entries << QByteArray(kTimeStretch);
    if (aids.any()) {
        for (const AidFilter& filter : kAfterStretch)
            entries << filterEntry(filter, settings);
    }
    return entries.join(',');
}

std::vector<FilterSetting> soundAidSwitches(const ListeningAids& from, const ListeningAids& to)
{
    const std::vector<FilterSetting> before = switchedSettings(from);
    std::vector<FilterSetting> after = switchedSettings(to);
    std::erase_if(after, [&](const FilterSetting& setting) {
        return std::find(before.begin(), before.end(), setting) != before.end();
    });
    return after;
}

} // namespace tavrin
