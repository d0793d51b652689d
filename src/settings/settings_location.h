#pragma once

#include <QString>

namespace tavrin {

// The step settings live in one small INI file beside the executable, never in
// the working folder. Linux names are case-sensitive while the file is known as
// both "time.ini" and "Time.ini", so the folder is searched by name.
inline constexpr char16_t kSettingsFileName[] = u"Time.ini";

// Full path of the settings file in `folder` whose name equals "time.ini" in any
// letter case, or an empty text when there is none. Only regular files count.
QString findSettingsFile(const QString& folder);

// The file to read and write: the one found, or `folder`/Time.ini when none exists yet.
QString settingsFilePath(const QString& folder);

} // namespace tavrin
