#include "files/user_folders.h"

#include "files/path_bytes.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

const QString kProgramFolderName = QStringLiteral("tavrin");

QString userFolder(const char* variable, const QString& underHome)
{
    const QString configured = qEnvironmentVariable(variable);
    const QString base = QDir::isAbsolutePath(configured) ? configured : QDir::home().filePath(underHome);
    return QDir::cleanPath(base + u'/' + kProgramFolderName);
}

// Whoever may write to a folder could put another in place of any folder in it,
// unless it is sticky (as /tmp is): there only owners move their own.
bool holdsFoldersSafely(const QString& folder)
{
    struct stat st;
    if (::stat(encodePath(folder).constData(), &st) != 0)
        return false;
    const bool trusted = st.st_uid == ::geteuid() || st.st_uid == 0;
    const bool shared = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0;
    return trusted && !shared;
}

// Creates `folder` and its missing parents, each private to the user, but none in a
// folder that does not hold folders safely.
bool makeFolders(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    // Parents the rules name (~/.local/state) may be missing on a new account too;
    // each missing one is made private, as the rules ask of these folders.
    const QString parent = QFileInfo(QDir::cleanPath(folder)).path();
    if (parent != folder && !makeFolders(parent))
        return false;
    if (!holdsFoldersSafely(parent))
        return false;
    ::mkdir(encodePath(folder).constData(), 0700);
    return QFileInfo(folder).isDir();
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
    return makeFolders(folder) && isPrivateFolder(folder);
}

QString unsafeFolderFor(const QString& folder)
{
    QString at = QDir::cleanPath(QDir(folder).absolutePath());
    while (!QFileInfo(at).isDir()) {
        if (QFileInfo(at).exists() || at == QFileInfo(at).path())
            return QString(); // a file in the way: not a question of safety
        at = QFileInfo(at).path();
    }
    if (at == QDir::cleanPath(QDir(folder).absolutePath()) && !isPrivateFolder(at))
        return holdsFoldersSafely(QFileInfo(at).path()) ? at : QFileInfo(at).path();
    return holdsFoldersSafely(at) ? QString() : at;
}

bool isPrivateFolder(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QString cleaned = QDir::cleanPath(QDir(folder).absolutePath());
    struct stat own;
    return ::stat(encodePath(cleaned).constData(), &own) == 0 && S_ISDIR(own.st_mode) && own.st_uid == ::geteuid()
        && (own.st_mode & (S_IWGRP | S_IWOTH)) == 0 && holdsFoldersSafely(QFileInfo(cleaned).path());
}

} // namespace tavrin
