#include "files/link_rules.h"

#include "files/path_bytes.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavrin {
namespace {

constexpr int kMaxLinkHops = 40; // as the kernel allows before ELOOP

const QString kNotFollowed = u"“%1”是一个符号链接。这个文件名是程序自己起的，链接却可能是别人放的，"
                             "指向别的文件，所以不会跟随它写入。"_s;
const QString kNotOwn = u"“%1”是一个符号链接，但它或它指向的文件不属于当前用户，为安全起见不会跟随它写入。"_s;
const QString kShared = u"“%1”是别人放在公共文件夹里的符号链接，为安全起见不会跟随它写入。"_s;
const QString kLeadsNowhere = u"“%1”是一个符号链接，但它指向的文件不存在，不会跟随它写入。"_s;

[[noreturn]] void fail(int error)
{
    throw std::system_error(error, std::generic_category());
}

[[noreturn]] void refuse(const QString& message, const QString& path)
{
    throw LinkRefused(message.arg(path).toStdString());
}

// The link `link` (its status) in the open folder `folder` may be followed under `rule`.
void checkMayFollow(const QString& path, LinkRule rule, int folder, const struct stat& link)
{
    if (rule == LinkRule::FollowNone)
        refuse(kNotFollowed, path);
    if (rule == LinkRule::FollowOwn && link.st_uid != ::geteuid())
        refuse(kNotOwn, path);
    struct stat where;
    if (::fstat(folder, &where) != 0)
        fail(errno);
    const bool sharedSticky = (where.st_mode & S_ISVTX) && (where.st_mode & S_IWOTH);
    if (sharedSticky && link.st_uid != ::geteuid() && link.st_uid != where.st_uid)
        refuse(kShared, path);
}

QByteArray readLink(int folder, const QByteArray& name)
{
    QByteArray link(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlinkat(folder, name.constData(), link.data(), size_t(link.size()));
    if (length < 0)
        fail(errno);
    if (length == 0)
        fail(ENOENT);
    link.truncate(length);
    return link;
}

} // namespace

WriteTarget resolveWriteTarget(const QString& path, LinkRule rule)
{
    QByteArray current = encodePath(path);
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        const qsizetype slash = current.lastIndexOf('/');
        const QByteArray folderName = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : current.left(slash);
        const QByteArray name = current.mid(slash + 1);
        if (name.isEmpty() || name == "." || name == "..")
            fail(EISDIR);
        UniqueFd folder(::open(folderName.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.get() < 0)
            fail(errno);
        struct stat st;
        if (::fstatat(folder.get(), name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                fail(errno);
            if (hop > 0)
                refuse(kLeadsNowhere, path);
            return {std::move(folder), name};
        }
        if (!S_ISLNK(st.st_mode)) {
            if (hop > 0 && rule == LinkRule::FollowOwn && st.st_uid != ::geteuid())
                refuse(kNotOwn, path);
            return {std::move(folder), name};
        }
        checkMayFollow(path, rule, folder.get(), st);
        const QByteArray link = readLink(folder.get(), name);
        current = link.startsWith('/') || slash < 0 ? link : folderName + '/' + link;
    }
    fail(ELOOP);
}

bool nameIsTaken(const QString& path)
{
    struct stat st;
    return !path.isEmpty() && ::lstat(encodePath(path).constData(), &st) == 0;
}

bool isSameFile(const QString& first, const QString& second)
{
    struct stat a;
    struct stat b;
    return ::stat(encodePath(first).constData(), &a) == 0 && ::stat(encodePath(second).constData(), &b) == 0
        && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

} // namespace tavrin
