#include "files/extended_attributes.h"

#include "files/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/xattr.h>

namespace tavrin {
namespace {

// Reads a list or a value whose size is asked first; it may grow in between (ERANGE).
template <typename Read> int readSized(QByteArray& into, Read read)
{
    for (;;) {
        const ssize_t size = read(nullptr, 0);
        if (size < 0)
            return errno;
        into.resize(size);
        const ssize_t got = read(into.data(), size_t(into.size()));
        if (got >= 0) {
            into.truncate(got);
            return 0;
        }
        if (errno != ERANGE)
            return errno;
    }
}

bool cannotHold(int error)
{
    return error == ENOTSUP || error == EOPNOTSUPP;
}

bool mayNotSet(int error)
{
    return error == EPERM || error == EACCES || cannotHold(error);
}

} // namespace

int copyExtendedAttributes(int folder, const QByteArray& name, int to)
{
    // O_PATH opens any file, even one the user may not read, and never follows a link;
    // its attributes are reached through /proc, as the calls take no such descriptor.
    const UniqueFd from(::openat(folder, name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    if (from.get() < 0)
        return errno;
    const QByteArray source = "/proc/self/fd/" + QByteArray::number(from.get());
    QByteArray names;
    if (const int error =
            readSized(names, [&](char* list, size_t size) { return ::listxattr(source.constData(), list, size); }))
        return cannotHold(error) ? 0 : error;
    for (const QByteArray& attribute : names.split('\0')) {
        if (attribute.isEmpty())
            continue;
        QByteArray value;
        if (const int error = readSized(value, [&](char* data, size_t size) {
                return ::getxattr(source.constData(), attribute.constData(), data, size);
            })) {
            if (error == ENODATA)
                continue; // removed meanwhile
            return error;
        }
        if (::fsetxattr(to, attribute.constData(), value.constData(), size_t(value.size()), 0) != 0
            && !mayNotSet(errno))
            return errno;
    }
    return 0;
}

} // namespace tavrin
