#include "files/atomic_file.h"

#include "files/extended_attributes.h"
#include "files/unique_fd.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tavrin {
namespace {

constexpr int kNameAttempts = 100;
constexpr size_t kMaxWriteChunk = size_t(1) << 30;
constexpr int kTempSuffixLength = 14; // "." + 8 random characters + ".tmp"
constexpr int kNameMax = 255;

class SaveFailure : public std::runtime_error {
public:
    SaveFailure(const QString& path, const QString& reason)
        : std::runtime_error(QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason).toStdString())
    {
    }
    SaveFailure(const QString& path, int error)
        : SaveFailure(path, qt_error_string(error))
    {
    }
};

// A failed system call inside the write, carrying its errno.
struct SystemError {
    int code;
};

QByteArray tempNameFor(QByteArray name)
{
    if (name.size() > kNameMax - kTempSuffixLength) {
        name.truncate(kNameMax - kTempSuffixLength - 1);
        while (!name.isEmpty() && (static_cast<uchar>(name.back()) & 0xC0) == 0x80)
            name.chop(1); // do not leave half a UTF-8 character behind
        if (!name.isEmpty() && static_cast<uchar>(name.back()) >= 0xC0)
            name.chop(1);
    }
    static constexpr char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray random(8, Qt::Uninitialized);
    for (char& c : random)
        c = alphabet[QRandomGenerator::global()->bounded(int(sizeof alphabet - 1))];
    return '.' + name + '.' + random + ".tmp";
}

class SystemCalls {
public:
    explicit SystemCalls(const FileWriteFaults* faults)
        : faults_(faults ? *faults : FileWriteFaults())
        , interruptsLeft_(faults_.interruptedWrites)
    {
    }

    ssize_t write(int fd, const char* data, size_t size)
    {
        if (interruptsLeft_ > 0) {
            --interruptsLeft_;
            errno = EINTR;
            return -1;
        }
        if (faults_.maxBytesPerWrite > 0)
            size = std::min(size, size_t(faults_.maxBytesPerWrite));
        if (faults_.failWriteAfterBytes >= 0) {
            if (written_ >= faults_.failWriteAfterBytes) {
                errno = faults_.writeError != 0 ? faults_.writeError : ENOSPC;
                return -1;
            }
            size = std::min(size, size_t(faults_.failWriteAfterBytes - written_));
        }
        const ssize_t done = ::write(fd, data, size);
        if (done > 0)
            written_ += done;
        return done;
    }

    int fsync(int fd) const { return faults_.fsyncError != 0 ? (errno = faults_.fsyncError, -1) : ::fsync(fd); }

    int renameat(int dirFd, const char* from, const char* to) const
    {
        return faults_.renameError != 0 ? (errno = faults_.renameError, -1) : ::renameat(dirFd, from, dirFd, to);
    }

private:
    FileWriteFaults faults_;
    int interruptsLeft_;
    qint64 written_ = 0;
};

void writeAll(SystemCalls& calls, int fd, QByteArrayView bytes)
{
    const char* p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t done = calls.write(fd, p, std::min(size_t(left), kMaxWriteChunk));
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            throw SystemError{errno};
        if (done == 0)
            throw SystemError{ENOSPC}; // a regular file that takes nothing has no room left
        p += done;
        left -= done;
    }
}

// The existing file's owner (where allowed), extended attributes and permission bits
// go to the new file, in that order: a new ACL sets the group's bits, the mode puts
// them back as they were.
void copyAttributes(int dir, const QByteArray& name, int fd, const struct stat& old)
{
    struct stat fresh;
    if (::fstat(fd, &fresh) != 0)
        throw SystemError{errno};
    if ((fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only the owner's privileges allow this; the content matters more than the owner.
    }
    if (const int error = copyExtendedAttributes(dir, name, fd))
        throw SystemError{error};
    if (::fchmod(fd, old.st_mode & 07777) != 0 && errno != EPERM && errno != EOPNOTSUPP)
        throw SystemError{errno};
}

// Whether a file already stands at `name`, filling `old` with its status; refuses
// what a save must not replace.
bool checkReplaceable(const QString& path, int dir, const QByteArray& name, struct stat& old)
{
    const bool exists = ::fstatat(dir, name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        throw SaveFailure(path, errno);
    if (exists && S_ISDIR(old.st_mode))
        throw SaveFailure(path, EISDIR);
    if (exists && !S_ISREG(old.st_mode)) // a link put there since it was looked at included
        throw SaveFailure(path, QStringLiteral("Not a regular file"));
    // Renaming would replace even a file the user made read-only; honour its mode instead.
    if (exists && ::faccessat(dir, name.constData(), W_OK, AT_EACCESS) != 0)
        throw SaveFailure(path, errno);
    return exists;
}

// Creates a new temporary file beside `name`, returning its name through `tempName`.
UniqueFd createTempFile(const QString& path, int dir, const QByteArray& name, QByteArray& tempName)
{
    UniqueFd file;
    for (int attempt = 0; attempt < kNameAttempts && file.get() < 0; ++attempt) {
        tempName = tempNameFor(name);
        // O_EXCL with 0666 rather than mkstemp: a new file gets the mode the umask (and
        // any default ACL) gives, without touching the process-wide umask.
        file.reset(::openat(dir, tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (file.get() < 0 && errno != EEXIST)
            throw SaveFailure(path, errno);
    }
    if (file.get() < 0)
        throw SaveFailure(path, EEXIST);
    return file;
}

// The folder a write lands in and the name in it, links followed as `links` allows.
WriteTarget targetOf(const QString& path, LinkRule links)
{
    if (path.isEmpty())
        throw SaveFailure(path, ENOENT);
    try {
        return resolveWriteTarget(path, links);
    } catch (const std::system_error& error) {
        throw SaveFailure(path, error.code().value());
    }
}

} // namespace

void writeFileAtomically(const QString& path, QByteArrayView bytes, LinkRule links, const FileWriteFaults* faults)
{
    const WriteTarget target = targetOf(path, links);
    const int dir = target.folder.get();
    const QByteArray& name = target.name;
    struct stat old;
    const bool exists = checkReplaceable(path, dir, name, old);
    // Permission bits do not stop root, so a read-only folder or medium can only be
    // shown to tests by failing here as the kernel would.
    if (faults && faults->createError != 0)
        throw SaveFailure(path, faults->createError);
    QByteArray tempName;
    UniqueFd file = createTempFile(path, dir, name, tempName);

    SystemCalls calls(faults);
    try {
        if (exists)
            copyAttributes(dir, name, file.get(), old);
        writeAll(calls, file.get(), bytes);
        if (calls.fsync(file.get()) != 0)
            throw SystemError{errno};
        if (file.close() != 0)
            throw SystemError{errno};
        if (calls.renameat(dir, tempName.constData(), name.constData()) != 0)
            throw SystemError{errno};
    } catch (const SystemError& error) {
        file.reset();
        ::unlinkat(dir, tempName.constData(), 0);
        throw SaveFailure(path, error.code);
    }
    // Makes the rename itself durable. Some file systems cannot sync a folder (EINVAL).
    if (::fsync(dir) != 0 && errno != EINVAL)
        throw SaveFailure(path, errno);
}

} // namespace tavrin
