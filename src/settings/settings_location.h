#pragma once

#include <QString>
#include <QStringList>

#include <functional>

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

// Where the settings file is read and written for this run.
struct SettingsPlace {
    QString folder;       // holds the settings file, or would hold it
    QStringList searched; // the folders looked in, for the message when none has it
    bool copied = false;  // the user's own file was made now from the installed one
};

// A portable copy or a build tree keeps its settings beside the executable, in
// `programFolder`, wherever that folder can be written. Installed, it cannot:
// then the settings live in `userFolder` ($XDG_CONFIG_HOME/tavrin), and the
// first start there copies the installed file into it. `isWritable` tells
// whether a folder can be written (a parameter, since root may write anywhere).
SettingsPlace chooseSettingsPlace(const QString& programFolder, const QString& userFolder,
                                  const std::function<bool(const QString&)>& isWritable);

// True when the calling user may create files in `folder`.
bool isFolderWritable(const QString& folder);

} // namespace tavrin
