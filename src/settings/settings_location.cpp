#include "settings/settings_location.h"

#include "files/user_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace tavrin {

QString findSettingsFile(const QString& folder)
{
    const QString wanted = QString::fromUtf16(kSettingsFileName);
    const QDir dir(folder);
    // Exact name first: the usual case costs one stat, not a folder listing.
    const QFileInfo exact(dir.filePath(wanted));
    if (exact.isFile())
        return exact.absoluteFilePath();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : entries) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0 && QFileInfo(dir.filePath(name)).isFile())
            return dir.absoluteFilePath(name);
    }
    return {};
}

QString settingsFilePath(const QString& folder)
{
    const QString found = findSettingsFile(folder);
    return found.isEmpty() ? QDir(folder).absoluteFilePath(QString::fromUtf16(kSettingsFileName)) : found;
}

SettingsPlace chooseSettingsPlace(const QString& programFolder, const QString& userFolder,
                                  const std::function<bool(const QString&)>& isWritable)
{
    if (isWritable(programFolder))
        return {programFolder, {programFolder}};
    SettingsPlace place{userFolder, {userFolder, programFolder}};
    const QString installed = findSettingsFile(programFolder);
    if (findSettingsFile(userFolder).isEmpty() && !installed.isEmpty() && ensureUserFolder(userFolder)) {
        const QString copy = QDir(userFolder).filePath(QString::fromUtf16(kSettingsFileName));
        // A plain copy: the installed file is read-only, the user's own must not be.
        QFile source(installed);
        QFile target(copy);
        place.copied = source.open(QIODevice::ReadOnly) && target.open(QIODevice::WriteOnly | QIODevice::NewOnly)
            && target.write(source.readAll()) >= 0 && target.flush();
        if (!place.copied && target.isOpen()) {
            target.close();
            target.remove(); // a half copy would hide the installed file's steps
        }
    }
    return place;
}

bool isFolderWritable(const QString& folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace tavrin
