#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>

#include <optional>

namespace tavrin {

// One value of the settings file (Time.ini, GBK) in `settingsFolder`. Nothing is
// cached: every read opens the file afresh, so a change saved by a dialog or made
// by another program applies from the next use.

// The text stored under `key` in `section`; nullopt when the file, the section or
// the key is missing or the file cannot be read.
std::optional<QString> readSettingValue(const QString& settingsFolder, QStringView section, QStringView key);
// The same for several keys of one section, from one reading of the file.
QList<std::optional<QString>> readSettingValues(const QString& settingsFolder, QStringView section,
                                                const QList<QStringView>& keys);

// Stores each value under its key in `section`, exactly as given, in one write:
// every other byte of the file stays as it was. Throws std::runtime_error with
// "Unable to write to <path>" when the file cannot be written; it is then unchanged.
using SettingValues = QList<QPair<QString, QString>>;
void writeSettingValues(const QString& settingsFolder, QStringView section, const SettingValues& values);

// A flag as the settings file stores it: "1" on, "0" off (spaces around allowed);
// nullopt for anything else.
std::optional<bool> parseSettingFlag(QStringView text);

// The user's message for a value of `section` that cannot be used: it names the
// key and the value, then `expected` (what it should be and what it is taken as).
QString damagedSettingText(QStringView section, QStringView key, QStringView value, const QString& expected);

} // namespace tavrin
