#include "files/transcript_file.h"

#include "files/atomic_file.h"
#include "files/file_memory.h"
#include "files/path_bytes.h"
#include "files/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace tavrin {
namespace {

constexpr qsizetype kReadChunk = 1 << 20;

using Unreadable = TranscriptUnreadable;

[[noreturn]] void failToOpen(const QString& path, int error)
{
    throw Unreadable(Unreadable::Kind::CannotOpen, error,
                     u"Cannot open file \"%1\". %2"_s.arg(path, qt_error_string(error)).toStdString());
}

[[noreturn]] void failOnCapacity()
{
    throw Unreadable(Unreadable::Kind::TooLarge, 0, "Text exceeds memo capacity");
}

// Reads to the end; the size known beforehand is only a hint, since the file may grow
// meanwhile or (like a /proc entry) report none.
QByteArray readAll(const QString& path, int fd, qint64 expectedSize, qint64 capacityBytes)
{
    QByteArray bytes;
    // One byte more than expected, so that the end shows without growing the buffer.
    bytes.reserve(qsizetype(std::min(expectedSize, capacityBytes)) + 1);
    for (;;) {
        const qsizetype used = bytes.size();
        if (bytes.capacity() == used)
            bytes.reserve(used + std::max(used, kReadChunk)); // doubling keeps unknown sizes linear
        // Reading one byte past the capacity is enough to know it is exceeded.
        const qsizetype room = std::min(bytes.capacity() - used, qsizetype(capacityBytes) + 1 - used);
        bytes.resize(used + room);
        const ssize_t got = ::read(fd, bytes.data() + used, size_t(room));
        if (got < 0 && errno == EINTR) {
            bytes.resize(used);
            continue;
        }
        if (got < 0)
            failToOpen(path, errno);
        bytes.resize(used + got);
        if (bytes.size() > capacityBytes)
            failOnCapacity();
        if (got == 0)
            return bytes;
    }
}

} // namespace

QString transcriptPathFor(const QString& recordingPath)
{
    return recordingPath + u".txt"_s;
}

QByteArray saveTranscript(const QString& recordingPath, QStringView editorText, const FileWriteFaults* faults)
{
    if (recordingPath.isEmpty())
        throw std::runtime_error("No recording is loaded, so the transcript has no place to go");
    QByteArray bytes = encodeTranscript(editorText);
    writeFileAtomically(transcriptPathFor(recordingPath), bytes, LinkRule::FollowOwn, faults);
    return bytes;
}

QByteArray readTranscriptBytes(const QString& path, qint64 capacityBytes)
{
    // O_NONBLOCK keeps a named pipe without a writer from hanging the open itself.
    const UniqueFd file(::open(encodePath(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0)
        failToOpen(path, errno);
    struct stat st;
    if (::fstat(file.get(), &st) != 0)
        failToOpen(path, errno);
    if (S_ISDIR(st.st_mode))
        failToOpen(path, EISDIR);
    if (!S_ISREG(st.st_mode))
        throw Unreadable(Unreadable::Kind::NotRegular, 0,
                         u"Cannot open file \"%1\". Not a regular file"_s.arg(path).toStdString());
    if (st.st_size > capacityBytes)
        failOnCapacity();
    return readAll(path, file.get(), st.st_size, capacityBytes);
}

LoadedTranscript loadTranscript(const QString& path, qint64 capacityBytes)
{
    const QByteArray bytes = readTranscriptBytes(path, capacityBytes);
    return {decodeTranscript(bytes), transcriptDigest(bytes)};
}

} // namespace tavrin
