#include "sweep_bursts.h"

#include "noisy_speech.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <random>

namespace tavrin::test {

namespace {

constexpr int kSampleRate = 16000;
constexpr double kWindow = 0.01;
constexpr double kToneDbfs = -20.0, kNoiseDbfs = -40.0;
// Quieter than any burst the aids can make, louder than the noise unless levelling raises it.
constexpr double kHeardDbfs = -35.0;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The frequency of a window holding one steady tone: evenly spaced rising zero
// crossings. Noise, however loud, crosses at uneven spacings.
std::optional<double> steadyFrequency(std::span<const float> samples, int sampleRate)
{
    std::vector<double> crossings;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i - 1] < 0.0f && samples[i] >= 0.0f)
            crossings.push_back(double(i - 1) + samples[i - 1] / double(samples[i - 1] - samples[i]));
    }
    if (crossings.size() < 4)
        return std::nullopt;
    const double mean = (crossings.back() - crossings.front()) / double(crossings.size() - 1);
    double spread = 0.0;
    for (std::size_t i = 1; i < crossings.size(); ++i)
        spread = std::max(spread, std::abs(crossings[i] - crossings[i - 1] - mean));
    if (spread > 0.2 * mean)
        return std::nullopt;
    return sampleRate / mean;
}

struct Window {
    double at = 0.0; // seconds of output, its middle
    double power = 0.0;
    std::optional<double> burstTime; // where in its burst the tone is, 0 to kBurst seconds
};

std::vector<Window> windowsOf(const PcmSound& output)
{
    const auto length = std::size_t(kWindow * output.sampleRate);
    std::vector<Window> windows;
    for (std::size_t start = 0; start + length <= output.samples.size(); start += length) {
        const auto samples = std::span<const float>(output.samples).subspan(start, length);
        Window window;
        window.at = (double(start) + length / 2.0) / output.sampleRate;
        for (const float sample : samples)
            window.power += double(sample) * sample / double(length);
        const std::optional<double> hz = steadyFrequency(samples, output.sampleRate);
        const double burstTime = hz ? (*hz - SweepBursts::kLowHz) / SweepBursts::kRiseHzPerSecond : -1.0;
        if (rmsDbfs(samples) > kHeardDbfs && burstTime >= 0.0 && burstTime < SweepBursts::kBurst)
            window.burstTime = burstTime;
        windows.push_back(window);
    }
    return windows;
}

// For each window: where its sound comes from in the recording, as the output time
// at which the recording's start would be heard, smoothed over eleven tone windows: the stretcher shifts single windows
// by up to 30 ms where a burst begins or ends.
std::vector<double> startsOf(const std::vector<Window>& windows, double rate)
{
    std::vector<double> starts(windows.size(), NAN), recent;
    double start = NAN;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (windows[i].burstTime) {
            const double tau = *windows[i].burstTime;
            // The first tone heard is the first burst's; later ones are placed in the
            // second nearest to where the sound before them leads.
            const double second = std::isnan(start) ? 0.0 : std::round((windows[i].at - start) * rate - tau);
            recent.push_back(windows[i].at - (second + tau) / rate);
            if (recent.size() > 11)
                recent.erase(recent.begin());
            start = median(recent);
        }
        starts[i] = start;
    }
    return starts;
}

double positionIn(double at, double start, double rate)
{
    return (at - start) * rate;
}

} // namespace

void SweepBursts::write(const QString& path, double seconds)
{
    PcmSound sound{kSampleRate, 1, {}};
    const double tonePeak = std::sqrt(2.0) * std::pow(10.0, kToneDbfs / 20.0);
    const double noisePeak = std::sqrt(3.0) * std::pow(10.0, kNoiseDbfs / 20.0);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-noisePeak, noisePeak);
    const auto frames = std::size_t(seconds * kSampleRate);
    for (std::size_t i = 0; i < frames; ++i) {
        const double tau = std::fmod(double(i) / kSampleRate, kPeriod);
        const double phase = 2.0 * M_PI * (kLowHz * tau + kRiseHzPerSecond * tau * tau / 2.0);
        sound.samples.push_back(float(tau < kBurst ? tonePeak * std::sin(phase) : noise(random)));
    }
    writeSoundWav(path, sound);
}

SweepReading readSweepBursts(const PcmSound& output, double rate)
{
    const std::vector<Window> windows = windowsOf(output);
    const std::vector<double> starts = startsOf(windows, rate);
    SweepReading reading;
    double previous = NAN, lastHeard = -1.0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (windows[i].burstTime) {
            if (!std::isnan(previous))
                reading.largestJump = std::max(reading.largestJump, std::abs(starts[i] - previous));
            previous = starts[i];
            lastHeard = positionIn(windows[i].at, starts[i], rate);
        }
    }
    std::map<long, std::pair<double, int>> burst, noise;
    int missing = 0;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (std::isnan(starts[i]))
            continue;
        const double at = positionIn(windows[i].at, starts[i], rate);
        const long second = std::lround(std::floor(at / SweepBursts::kPeriod));
        const double tau = at - second * SweepBursts::kPeriod;
        if (at > lastHeard)
            break;
        const bool insideBurst = tau > 0.05 && tau < SweepBursts::kBurst - 0.05;
        missing = insideBurst && !windows[i].burstTime ? missing + 1 : 0;
        reading.longestGap = std::max(reading.longestGap, missing * kWindow);
        auto* part = tau > 0.1 && tau < 0.7 ? &burst[second] : tau > 0.85 && tau < 0.95 ? &noise[second] : nullptr;
        if (part) {
            part->first += windows[i].power;
            ++part->second;
        }
    }
    for (const auto& [second, heard] : burst) {
        const auto found = noise.find(second);
        if (second + 1 >= lastHeard || found == noise.end())
            continue;
        reading.burstLoudness.push_back(10.0 * std::log10(heard.first / heard.second));
        reading.noiseLoudness.push_back(10.0 * std::log10(found->second.first / found->second.second));
    }
    return reading;
}

} // namespace tavrin::test
