#include "files/user_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace tavrin {

namespace {

const QString kProgramFolderName = QStringLiteral("tavrin");

QString userFolder(const char* variable, const QString& underHome)
{
    const QString configured = qEnvironmentVariable(variable);
    const QString base = QDir::isAbsolutePath(configured) ? configured : QDir::home().filePath(underHome);
    return QDir::cleanPath(base + u'/' + kProgramFolderName);
}

} // namespace

QString stateFolder()
{
    return userFolder("XDG_STATE_HOME", QStringLiteral(".local/state"));
}

QString cacheFolder()
{
    return userFolder("XDG_CACHE_HOME", QStringLiteral(".cache"));
}

QString configFolder()
{
    return userFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

bool ensureUserFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    // Parents the rules name (~/.local/state) may be missing on a new account too;
    // each missing one is made private, as the rules ask of these folders.
    const QString parent = QFileInfo(QDir::cleanPath(folder)).path();
    if (parent != folder && !ensureUserFolder(parent))
        return false;
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return QFileInfo(folder).isDir();
}

} // namespace tavrin
