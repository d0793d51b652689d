#include "files/atomic_file.h"

#include "files/unique_fd.h"

#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {
namespace {

constexpr int kMaxLinkHops = 40; // as the kernel allows before ELOOP
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

// The file a path finally names: symbolic links in the last component are followed, so
// that saving through a link changes the file it points to and keeps the link.
QByteArray resolveLinks(const QString& path, QByteArray target)
{
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat st;
        if (::lstat(target.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return target;
        QByteArray link(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(target.constData(), link.data(), link.size());
        if (length < 0)
            throw SaveFailure(path, errno);
        link.truncate(length);
        if (link.startsWith('/')) {
            target = link;
        } else {
            const qsizetype slash = target.lastIndexOf('/');
            target = slash < 0 ? link : target.left(slash + 1) + link;
        }
    }
    throw SaveFailure(path, ELOOP);
}

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

// The existing file's permission bits (and owner, where allowed) go to the new file.
void copyAttributes(int fd, const struct stat& old)
{
    struct stat fresh;
    if (::fstat(fd, &fresh) != 0)
        throw SystemError{errno};
    if ((fresh.st_uid != old.st_uid || fresh.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Only the owner's privileges allow this; the content matters more than the owner.
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0 && errno != EPERM && errno != EOPNOTSUPP)
        throw SystemError{errno};
}

// Whether a file already stands at `name`, filling `old` with its status; refuses
// what a save must not replace.
bool checkReplaceable(const QString& path, int dir, const QByteArray& name, struct stat& old)
{
    const bool exists = ::fstatat(dir, name.constData(), &old, 0) == 0;
    if (!exists && errno != ENOENT)
        throw SaveFailure(path, errno);
    if (exists && S_ISDIR(old.st_mode))
        throw SaveFailure(path, EISDIR);
    if (exists && !S_ISREG(old.st_mode))
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

} // namespace

void writeFileAtomically(const QString& path, QByteArrayView bytes, const FileWriteFaults* faults)
{
    if (path.isEmpty())
        throw SaveFailure(path, ENOENT);
    const QByteArray target = resolveLinks(path, QFile::encodeName(path));
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    const QByteArray name = target.mid(slash + 1);
    if (name.isEmpty() || name == "." || name == "..")
        throw SaveFailure(path, EISDIR);

    const UniqueFd dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0)
        throw SaveFailure(path, errno);
    struct stat old;
    const bool exists = checkReplaceable(path, dir.get(), name, old);
    // Permission bits do not stop root, so a read-only folder or medium can only be
    // shown to tests by failing here as the kernel would.
    if (faults && faults->createError != 0)
        throw SaveFailure(path, faults->createError);
    QByteArray tempName;
    UniqueFd file = createTempFile(path, dir.get(), name, tempName);

    SystemCalls calls(faults);
    try {
        if (exists)
            copyAttributes(file.get(), old);
        writeAll(calls, file.get(), bytes);
        if (calls.fsync(file.get()) != 0)
            throw SystemError{errno};
        if (file.close() != 0)
            throw SystemError{errno};
        if (calls.renameat(dir.get(), tempName.constData(), name.constData()) != 0)
            throw SystemError{errno};
    } catch (const SystemError& error) {
        file.reset();
        ::unlinkat(dir.get(), tempName.constData(), 0);
        throw SaveFailure(path, error.code);
    }
    // Makes the rename itself durable. Some file systems cannot sync a folder (EINVAL).
    if (::fsync(dir.get()) != 0 && errno != EINVAL)
        throw SaveFailure(path, errno);
}

} // namespace tavrin
