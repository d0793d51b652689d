#include "settings/playback_options.h"

#include "settings/settings_file.h"

#include <QLocale>

#include <cmath>
#include <utility>

namespace tavrin {

namespace {

struct FlagSetting {
    QStringView key;
    bool PlaybackOptions::*value;
};

constexpr FlagSetting kFlags[] = {
    {kVolumeBoostKey, &PlaybackOptions::volumeBoost},
    {kLoudnessLevellingKey, &PlaybackOptions::loudnessLevelling},
    {kNoiseReductionKey, &PlaybackOptions::noiseReduction},
    {kVoiceBandKey, &PlaybackOptions::voiceBand},
    {kFollowPlaybackKey, &PlaybackOptions::followPlayback},
};

QString damagedValue(QStringView key, QStringView value, const QString& expected)
{
    return damagedSettingText(kPlaybackSection, key, value, expected);
}

} // namespace

std::optional<double> parseResumeBackStep(QStringView text)
{
    bool ok = false;
    const double seconds = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(seconds) || seconds < 0.0 || seconds > kLongestResumeBackStep)
        return std::nullopt;
    const double units = seconds / kResumeBackStepUnit;
    if (units != std::floor(units))
        return std::nullopt;
    return seconds;
}

QString resumeBackStepText(double seconds)
{
    return QString::number(seconds, 'g', 4);
}

StoredPlaybackOptions readPlaybackOptions(const QString& settingsFolder)
{
    QList<QStringView> keys{kResumeBackStepKey, kWordLeadKey};
    for (const FlagSetting& flag : kFlags)
        keys.append(flag.key);
    const QList<std::optional<QString>> texts = readSettingValues(settingsFolder, kPlaybackSection, keys);

    StoredPlaybackOptions stored;
    if (const std::optional<QString>& text = texts[0]) {
        if (const auto seconds = parseResumeBackStep(*text))
            stored.options.resumeBackStep = *seconds;
        else
            stored.problems << damagedValue(
                kResumeBackStepKey, *text, QStringLiteral("应为0到10之间的秒数，以0.5为单位。现按0秒（不后退）处理。"));
    }
    if (const std::optional<QString>& text = texts[1]) {
        if (const auto seconds = parseResumeBackStep(*text))
            stored.options.wordLead = *seconds;
        else
            stored.problems << damagedValue(kWordLeadKey, *text,
                                            QStringLiteral("应为0到10之间的秒数，以0.5为单位。现按0.5秒处理。"));
    }
    for (qsizetype i = 0; i < qsizetype(std::size(kFlags)); ++i) {
        const std::optional<QString>& text = texts[i + 2];
        if (!text)
            continue;
        if (const auto on = parseSettingFlag(*text))
            stored.options.*kFlags[i].value = *on;
        else
            stored.problems << damagedValue(kFlags[i].key, *text, QStringLiteral("应为1（开）或0（关）。现按关处理。"));
    }
    return stored;
}

void writePlaybackOptions(const QString& settingsFolder, const PlaybackOptions& options)
{
    SettingValues values{{kResumeBackStepKey.toString(), resumeBackStepText(options.resumeBackStep)},
                         {kWordLeadKey.toString(), resumeBackStepText(options.wordLead)}};
    for (const FlagSetting& flag : kFlags)
        values.append({flag.key.toString(), options.*flag.value ? QStringLiteral("1") : QStringLiteral("0")});
    writeSettingValues(settingsFolder, kPlaybackSection, values);
}

PlaybackSettings::PlaybackSettings(QString settingsFolder, ShowPlainMessage report)
    : settingsFolder_(std::move(settingsFolder))
    , reports_(std::move(report))
{
}

PlaybackOptions PlaybackSettings::read()
{
    StoredPlaybackOptions stored = readPlaybackOptions(settingsFolder_);
    reports_.tellNew(stored.problems);
    return stored.options;
}

void PlaybackSettings::write(const PlaybackOptions& options)
{
    writePlaybackOptions(settingsFolder_, options);
}

} // namespace tavrin
