#include "settings/settings_location.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace tavrin
