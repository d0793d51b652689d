#pragma once

#include <QString>
#include <QStringView>

namespace tavrin {

// The step lengths, kept in section 时间 of the settings file beside the
// executable. Nothing is cached: every read opens the file afresh, so a change
// saved by the dialog or made by another program applies from the next use.
inline constexpr QStringView kStepSection = u"时间";
inline constexpr QStringView kStepForwardKey = u"shijian1"; // F12
inline constexpr QStringView kStepBackKey = u"shijian2";    // F9
inline constexpr QStringView kSpareStepKey = u"shijian3";   // read by no command

// The text stored under `key`, or the key's own name when the file, the section
// or the key is missing or the file cannot be read.
QString readStepSetting(const QString& settingsFolder, QStringView key);

// Stores `value` under `key` exactly as given. Throws std::runtime_error with
// "Unable to write to <path>" when the file cannot be written; the file is then
// unchanged.
void writeStepSetting(const QString& settingsFolder, QStringView key, QStringView value);

} // namespace tavrin
