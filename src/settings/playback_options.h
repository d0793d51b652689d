#pragma once

#include "desktop/plain_message.h"
#include "settings/damage_reports.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace tavrin {

// The listening aids and following the sound in the text, kept in section 播放
// of the settings file. Every one is off by default, and off the program plays
// exactly as without them.
inline constexpr QStringView kPlaybackSection = u"播放";
inline constexpr QStringView kResumeBackStepKey = u"resumeBackStep";
inline constexpr QStringView kVolumeBoostKey = u"volumeBoost";
inline constexpr QStringView kLoudnessLevellingKey = u"loudnessLevelling";
inline constexpr QStringView kNoiseReductionKey = u"noiseReduction";
inline constexpr QStringView kVoiceBandKey = u"voiceBand";
inline constexpr QStringView kFollowPlaybackKey = u"followPlayback";
inline constexpr QStringView kWordLeadKey = u"wordLead";

inline constexpr double kLongestResumeBackStep = 10.0;
inline constexpr double kResumeBackStepUnit = 0.5;

struct PlaybackOptions {
    // Seconds played again when play/pause resumes after a pause.
    double resumeBackStep = 0.0;
    bool volumeBoost = false;
    bool loudnessLevelling = false;
    bool noiseReduction = false;
    bool voiceBand = false;
    // The passage being heard is shown in the text while playing.
    bool followPlayback = false;
    // Seconds heard before a drafted word when it is asked for (Ctrl+Shift+F4,
    // Ctrl+click); written as the back-step is.
    double wordLead = 0.5;

    bool operator==(const PlaybackOptions&) const = default;
};

// A back-step or a word's lead as stored: 0 to 10 seconds in steps of 0.5, written with a dot.
std::optional<double> parseResumeBackStep(QStringView text);
QString resumeBackStepText(double seconds);

struct StoredPlaybackOptions {
    PlaybackOptions options; // a missing or damaged value reads as its default
    QStringList problems;    // one message per damaged value, naming it and what it was taken as
};

// Read afresh at every call, as the step lengths are.
StoredPlaybackOptions readPlaybackOptions(const QString& settingsFolder);
// Throws std::runtime_error ("Unable to write to <path>") when the file cannot be written.
void writePlaybackOptions(const QString& settingsFolder, const PlaybackOptions& options);

// The options as the commands use them: a damaged value is told once per run,
// not at every press of the play key.
class PlaybackSettings {
public:
    PlaybackSettings(QString settingsFolder, ShowPlainMessage report);

    PlaybackOptions read();
    void write(const PlaybackOptions& options);

private:
    QString settingsFolder_;
    DamageReports reports_;
};

} // namespace tavrin
