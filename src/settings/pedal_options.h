#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

namespace tavrin {

// How the foot pedals drive playback, kept in section 脚踏板 of the settings file.
inline constexpr QStringView kPedalSection = u"脚踏板";
inline constexpr QStringView kPedalDeviceKey = u"device";
inline constexpr QStringView kPedalPlayModeKey = u"playMode";
inline constexpr QStringView kLeftPedalKey = u"leftPedal";
inline constexpr QStringView kMiddlePedalKey = u"middlePedal";
inline constexpr QStringView kRightPedalKey = u"rightPedal";
inline constexpr QStringView kPedalKeysKey = u"pedalKeys";

// What a pedal does when pressed.
enum class PedalRole {
    None,
    Back,            // the step back, again every 0.4 s while held
    Play,            // play/pause, as the play mode says
    Forward,         // the step forward, again every 0.4 s while held
    PreviousPassage, // the caret and playback to the passage before, once a press
    NextPassage,     // the caret and playback to the next passage, once a press
};

enum class PedalPlayMode {
    HoldToPlay, // plays while held down, pauses when let go
    Toggle,     // each press is the play/pause command
};

// The pedals of a device, from left to right.
inline constexpr int kPedalCount = 3;

struct PedalOptions {
    QString devicePath; // empty: every known pedal found on this computer
    PedalPlayMode playMode = PedalPlayMode::HoldToPlay;
    std::array<PedalRole, kPedalCount> roles{PedalRole::Back, PedalRole::Play, PedalRole::Forward};
    // The kernel's key codes of the pedals, left to right, for a pedal that
    // reports a whole keyboard; empty: the device's own buttons, lowest code left.
    QList<int> pedalKeys;

    bool operator==(const PedalOptions&) const = default;
};

// Key codes as stored and typed: "30,48,46", one to three codes of 1 to 767.
std::optional<QList<int>> parsePedalKeys(QStringView text);
QString pedalKeysText(const QList<int>& keys);

struct StoredPedalOptions {
    PedalOptions options; // a missing or damaged value reads as its default
    QStringList problems; // one message per damaged value, naming it and what it was taken as
};

// Read afresh at every call.
StoredPedalOptions readPedalOptions(const QString& settingsFolder);
// Throws std::runtime_error ("Unable to write to <path>") when the file cannot be written.
void writePedalOptions(const QString& settingsFolder, const PedalOptions& options);

} // namespace tavrin
