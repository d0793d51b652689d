#pragma once

#include "files/link_rules.h"

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace tavrin {

// Faults to inject into writeFileAtomically, so that tests can make a real write fail
// where a real disk rarely does. The default value injects nothing.
struct FileWriteFaults {
    int createError = 0;             // != 0: creating the new file fails with this errno (EROFS, EACCES)
    qint64 failWriteAfterBytes = -1; // >= 0: writes fail with writeError once this many bytes are in
    int writeError = 0;              // errno of that failure (ENOSPC when 0)
    qint64 maxBytesPerWrite = 0;     // > 0: each write takes at most this many bytes (short writes)
    int interruptedWrites = 0;       // this many writes fail with EINTR before the first one runs
    int fsyncError = 0;              // != 0: syncing the new file fails with this errno
    int renameError = 0;             // != 0: moving the new file into place fails with this errno
};

// Replaces the whole content of `path` with `bytes`, or leaves it exactly as it was.
// Writes a new file beside it, syncs it and renames it over the old one. A symbolic
// link at `path` is followed only as `links` allows (see LinkRule): then the file it
// points to gets the content and the link stays; otherwise LinkRefused is thrown and
// nothing is written. An existing file keeps its permission bits, its extended
// attributes (its ACL among them) and, where the user may give it, its owner; a new
// one gets 0666 less the umask. On any failure the new file is removed and
// std::runtime_error says (in UTF-8) which path and why.
void writeFileAtomically(const QString& path, QByteArrayView bytes, LinkRule links = LinkRule::FollowNone,
                         const FileWriteFaults* faults = nullptr);

} // namespace tavrin
