#pragma once

#include "files/unique_fd.h"

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace tavrin {

// Which symbolic links a write may follow at the last part of its path. Someone who
// can write to a folder (a shared one, or /tmp) can plant a link there under the name
// the program is about to write, pointing at one of the user's own files; following
// it would replace that file. The folders on the way are the kernel's to walk (with
// its own protection of shared folders); the last part is walked here, so these rules
// are all that stand between a planted link and the user's files:
// - a link that leads to no file is never followed (nothing there was meant);
// - FollowNone: no link is followed. For every name the program made up itself: an
//   export's default name beside the transcript, and the files in its own folders.
// - FollowOwn: a link is followed only when it, every link it leads through and the
//   file at its end all belong to the user running the program. For names the
//   program derives from what the user chose, where a link may be the user's own
//   doing: the transcript beside the recording (`<recording>.txt` linked into a
//   shared folder), the settings file (linked from a folder of dotfiles).
// - FollowNamed: the user typed or picked this very path (--export's OUTPUT, the
//   export dialog), so a link there is followed as the shell follows one, except
//   that a link in a folder anyone may write to and only owners may delete from
//   (sticky, like /tmp) is followed only when it is the user's own or the folder
//   owner's: the kernel's rule for such folders (fs.protected_symlinks), applied
//   whatever the system's setting.
enum class LinkRule {
    FollowNone,
    FollowOwn,
    FollowNamed,
};

// A write refused because of a link at its path. what() says why in Chinese (UTF-8),
// naming the path.
class LinkRefused : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where a write to a path lands once links are followed as a rule allows: the folder,
// open, and the name in it of a file that is not a link, or of no file yet.
struct WriteTarget {
    UniqueFd folder;
    QByteArray name;
};

// Follows the links at `path` that `rule` allows. Throws LinkRefused for one it does
// not, and std::system_error (errno) when a folder on the way cannot be opened or
// the name is no file's (empty, "." or "..": EISDIR).
WriteTarget resolveWriteTarget(const QString& path, LinkRule rule);

// True when anything stands at `path`, a link that leads nowhere included.
bool nameIsTaken(const QString& path);

// True when both paths, links followed, are one file (the same inode on the same
// device): a link, a linked folder or a second hard link to a file is that file.
bool isSameFile(const QString& first, const QString& second);

} // namespace tavrin
