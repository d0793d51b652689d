#include "speech/model_files.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

// A model's top level holds a few dozen fields; a file of millions is not one.
constexpr int kMostTopLevelFields = 10000;
constexpr int kGraphField = 7; // ModelProto.graph

// The bytes of a file read one at a time by offset: -1 past its end.
using ByteAt = std::function<int(qint64 offset)>;

std::optional<quint64> readVarint(const ByteAt& byteAt, qint64& at)
{
    quint64 value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        const int byte = byteAt(at++);
        if (byte < 0)
            return std::nullopt;
        value |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return value;
    }
    return std::nullopt;
}

// Walks the protocol buffer's top level, skipping every value: each field well
// formed, none running past the end, a graph among them.
bool walkTopLevel(qint64 size, const ByteAt& byteAt)
{
    qint64 at = 0;
    bool graph = false;
    for (int fields = 0; at < size; ++fields) {
        const std::optional<quint64> tag = readVarint(byteAt, at);
        if (!tag || fields >= kMostTopLevelFields || (*tag >> 3) == 0)
            return false;
        quint64 skip = 0;
        switch (*tag & 7) {
        case 0: // a number
            if (!readVarint(byteAt, at))
                return false;
            break;
        case 1:
            skip = 8;
            break;
        case 5:
            skip = 4;
            break;
        case 2: { // bytes, text or a message
            const std::optional<quint64> length = readVarint(byteAt, at);
            if (!length)
                return false;
            skip = *length;
            graph = graph || (*tag >> 3) == kGraphField;
            break;
        }
        default: // groups, long gone from protocol buffers, and no wire type at all
            return false;
        }
        if (skip > quint64(size - at))
            return false;
        at += qint64(skip);
    }
    return graph && at == size;
}

// The file at `path` opened for reading when it is a regular file, never blocking on
// a named pipe; with Links::Refused, a link is not followed. Else `problem` says why.
std::optional<int> openRegular(const QString& path, Links links, struct stat& status, QString* problem)
{
    const QString name = QFileInfo(path).fileName();
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (links == Links::Refused ? O_NOFOLLOW : 0);
    const int descriptor = ::open(QFile::encodeName(path).constData(), flags);
    if (descriptor < 0 && (errno == EACCES || errno == EPERM)) {
        *problem = QStringLiteral("%1 无法读取（没有读取权限）。").arg(name);
        return std::nullopt;
    }
    if (descriptor < 0 && errno == ENOENT) {
        *problem = QStringLiteral("找不到 %1。").arg(name);
        return std::nullopt;
    }
    if (descriptor >= 0 && ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
        return descriptor;
    if (descriptor >= 0)
        ::close(descriptor);
    *problem = QStringLiteral("%1 不是普通文件（可能是链接、命名管道或设备），无法读取。").arg(name);
    return std::nullopt;
}

// The regular file at `path` as a QFile that closes it, or `problem`.
bool openChecked(const QString& path, Links links, QFile& file, struct stat& status, QString* problem)
{
    const std::optional<int> descriptor = openRegular(path, links, status, problem);
    if (!descriptor)
        return false;
    if (file.open(*descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(*descriptor);
    *problem = QStringLiteral("%1 无法读取。").arg(QFileInfo(path).fileName());
    return false;
}

// A line of a tokens file, without its line feed: "token id", or "id" alone.
bool isTokensLine(QByteArrayView line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    for (const char c : line) {
        if ((uchar(c) < 0x20 && c != '\t') || c == 0x7f)
            return false;
    }
    const QList<QByteArray> fields = line.toByteArray().simplified().split(' ');
    if (fields.size() > 2 || fields.last().isEmpty() || fields.last().size() > 10)
        return false;
    for (const char c : fields.last()) {
        if (c < '0' || c > '9')
            return false;
    }
    return fields.last().toLongLong() <= std::numeric_limits<qint32>::max();
}

} // namespace

bool looksLikeOnnx(QByteArrayView bytes)
{
    return walkTopLevel(bytes.size(), [bytes](qint64 at) { return at < bytes.size() ? int(uchar(bytes[at])) : -1; });
}

QString onnxModelProblem(const QString& path, Links links)
{
    const QString name = QFileInfo(path).fileName();
    QFile file;
    struct stat status { };
    QString problem;
    if (!openChecked(path, links, file, status, &problem))
        return problem;
    if (status.st_size == 0)
        return QStringLiteral("%1 是空文件。").arg(name);
    if (status.st_size > kLargestModelBytes)
        return QStringLiteral("%1 超过 2 GB，不是本程序能用的模型。").arg(name);
    const auto byteAt = [&file](qint64 at) {
        char byte = 0;
        return file.seek(at) && file.getChar(&byte) ? int(uchar(byte)) : -1;
    };
    if (!walkTopLevel(qint64(status.st_size), byteAt))
        return QStringLiteral("%1 不完整，或者不是 ONNX 模型。").arg(name);
    return {};
}

QString tokensTextProblem(QByteArrayView bytes)
{
    // Blank lines at the end are harmless to the engine, and an editor leaves them.
    while (!bytes.isEmpty() && QByteArrayView(" \t\r\n").contains(bytes.back()))
        bytes.chop(1);
    if (bytes.isEmpty())
        return QStringLiteral("tokens.txt 是空文件。");
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)QString(utf8.decode(bytes));
    if (utf8.hasError())
        return QStringLiteral("tokens.txt 不是 UTF-8 文本，文件可能已损坏。");
    qsizetype start = 0;
    for (int line = 1; start < bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        if (!isTokensLine(bytes.sliced(start, end - start)))
            return QStringLiteral("tokens.txt 第 %1 行不是“符号 编号”的形式，文件可能已损坏。").arg(line);
        start = end + 1;
    }
    return {};
}

QString tokensFileProblem(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file;
    struct stat status { };
    QString problem;
    if (!openChecked(path, Links::Refused, file, status, &problem))
        return problem;
    if (status.st_size > kLargestTokensBytes)
        return QStringLiteral("%1 超过 16 MB，不像是模型的词表。").arg(name);
    const QByteArray bytes = file.read(kLargestTokensBytes + 1);
    if (bytes.size() > kLargestTokensBytes)
        return QStringLiteral("%1 超过 16 MB，不像是模型的词表。").arg(name);
    return tokensTextProblem(bytes).replace(QStringLiteral("tokens.txt"), name);
}

} // namespace tavrin
