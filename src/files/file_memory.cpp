#include "files/file_memory.h"

#include "files/atomic_file.h"
#include "files/path_bytes.h"
#include "files/transcript_file.h"
#include "files/unique_fd.h"
#include "files/user_folders.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavrin {

namespace {

constexpr int kVersion = 1;
// Larger than any honest memory: anything bigger is not read.
constexpr qint64 kLargestMemoryFile = 4 * 1024 * 1024;

const QString kFiles = QStringLiteral("files");
const QString kPath = QStringLiteral("path");
const QString kPathBytes = QStringLiteral("pathBytes");
const QString kDigest = QStringLiteral("digest");
const QString kSize = QStringLiteral("size");
const QString kModified = QStringLiteral("modifiedNs");
const QString kPosition = QStringLiteral("positionMs");
const QString kUsed = QStringLiteral("used");
const QString kSpeakers = QStringLiteral("speakers");
const QString kLastSpeakers = QStringLiteral("lastSpeakers");

// The files' entries and what belongs to no one file.
struct Memory {
    std::vector<QJsonObject> entries;
    QJsonArray lastSpeakers;
};

// A file's size and modification time: when both are as remembered, its bytes
// are taken as unchanged without reading them again.
struct Stamp {
    qint64 size = -1;
    qint64 modifiedNs = -1;
};

// An entry names its file as text; a file whose name holds bytes that are not UTF-8,
// which JSON's text cannot carry, by those bytes too (percent-encoded).
QJsonObject entryFor(const QString& file)
{
    if (!hasForeignBytes(file))
        return {{kPath, file}};
    const QByteArray bytes = encodePath(file);
    return {{kPath, QString::fromUtf8(bytes)}, {kPathBytes, QString::fromLatin1(bytes.toPercentEncoding())}};
}

bool isEntryOf(const QJsonObject& entry, const QString& file)
{
    if (entry.contains(kPathBytes))
        return QByteArray::fromPercentEncoding(entry.value(kPathBytes).toString().toLatin1()) == encodePath(file);
    return !hasForeignBytes(file) && entry.value(kPath).toString() == file;
}

Stamp stampOf(const QString& path)
{
    struct stat st;
    if (::stat(encodePath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// The memory file's bytes: none from a folder others may write to, through a link,
// or from anything but a regular file of an honest size.
QByteArray readMemoryFile(const QString& path)
{
    if (path.isEmpty() || !isPrivateFolder(QFileInfo(path).path()))
        return {};
    const UniqueFd file(::open(encodePath(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat st;
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kLargestMemoryFile)
        return {};
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t read = ::read(file.get(), bytes.data() + got, size_t(bytes.size() - got));
        if (read < 0 && errno == EINTR)
            continue;
        if (read <= 0)
            break; // shrunk meanwhile: what was read is parsed, or found damaged
        got += read;
    }
    bytes.truncate(got);
    return bytes;
}

Memory readMemory(const QString& path)
{
    const QJsonDocument document = QJsonDocument::fromJson(readMemoryFile(path));
    if (document.object().value(QStringLiteral("version")).toInt() != kVersion)
        return {};
    Memory memory;
    for (const QJsonValue& value : document.object().value(kFiles).toArray()) {
        if (value.isObject() && !value.toObject().value(kPath).toString().isEmpty())
            memory.entries.push_back(value.toObject());
    }
    memory.lastSpeakers = document.object().value(kLastSpeakers).toArray();
    return memory;
}

std::vector<QJsonObject> readEntries(const QString& path)
{
    return readMemory(path).entries;
}

void writeMemory(const QString& path, Memory memory)
{
    std::vector<QJsonObject>& entries = memory.entries;
    // The longest unused go first when there are too many.
    std::sort(entries.begin(), entries.end(), [](const QJsonObject& a, const QJsonObject& b) {
        return a.value(kUsed).toInteger() > b.value(kUsed).toInteger();
    });
    if (entries.size() > size_t(FileMemory::kMostFiles))
        entries.resize(FileMemory::kMostFiles);
    QJsonArray files;
    for (const QJsonObject& entry : entries)
        files.append(entry);
    QJsonObject root{{QStringLiteral("version"), kVersion}, {kFiles, files}};
    if (!memory.lastSpeakers.isEmpty())
        root.insert(kLastSpeakers, memory.lastSpeakers);
    try {
        // A link there was not the program's: it is refused, never followed.
        if (ensureUserFolder(QFileInfo(path).path()))
            writeFileAtomically(path, QJsonDocument(root).toJson(QJsonDocument::Compact), LinkRule::FollowNone);
    } catch (const std::exception&) {
        // Only the memory is lost; the files themselves are as they were.
    }
}

std::optional<QJsonObject> findEntry(const std::vector<QJsonObject>& entries, const QString& file)
{
    const auto found =
        std::find_if(entries.begin(), entries.end(), [&](const QJsonObject& entry) { return isEntryOf(entry, file); });
    return found == entries.end() ? std::nullopt : std::optional(*found);
}

QStringList namesIn(const QJsonValue& value)
{
    QStringList names;
    for (const QJsonValue& name : value.toArray())
        names.append(name.toString());
    return names;
}

// Reads the memory, lets `change` alter the entry of `file` (and what belongs to no one file) and writes it back.
template <typename Change> void updateEntry(const QString& path, const QString& file, Change change)
{
    if (path.isEmpty())
        return;
    Memory memory = readMemory(path);
    std::vector<QJsonObject>& entries = memory.entries;
    auto found =
        std::find_if(entries.begin(), entries.end(), [&](const QJsonObject& entry) { return isEntryOf(entry, file); });
    if (found == entries.end())
        found = entries.insert(entries.end(), entryFor(file));
    change(*found, memory);
    found->insert(kUsed, QDateTime::currentMSecsSinceEpoch());
    writeMemory(path, std::move(memory));
}

} // namespace

QByteArray transcriptDigest(QByteArrayView bytes)
{
    // BLAKE2b reads a 20 MB transcript in some 40 ms, five times faster than SHA-256.
    return QCryptographicHash::hash(bytes, QCryptographicHash::Blake2b_256).toHex();
}

FileMemory::FileMemory(QString path)
    : path_(std::move(path))
{
}

bool FileMemory::holdsWhatWasLastSeen(const QString& transcriptPath) const
{
    const std::optional<QJsonObject> entry = findEntry(readEntries(path_), transcriptPath);
    if (!entry || !entry->contains(kDigest))
        return false;
    const Stamp now = stampOf(transcriptPath);
    if (now.size == entry->value(kSize).toInteger(-2) && now.modifiedNs == entry->value(kModified).toInteger(-2))
        return true;
    try {
        // Read as the window reads a transcript: a regular file, bounded.
        return QString::fromLatin1(transcriptDigest(readTranscriptBytes(transcriptPath)))
            == entry->value(kDigest).toString();
    } catch (const std::exception&) {
        return false;
    }
}

void FileMemory::rememberContent(const QString& transcriptPath, const QByteArray& digest)
{
    const Stamp stamp = stampOf(transcriptPath);
    updateEntry(path_, transcriptPath, [&](QJsonObject& entry, Memory&) {
        entry.insert(kDigest, QString::fromLatin1(digest));
        entry.insert(kSize, stamp.size);
        entry.insert(kModified, stamp.modifiedNs);
    });
}

std::optional<qint64> FileMemory::positionMs(const QString& recording) const
{
    const std::optional<QJsonObject> entry = findEntry(readEntries(path_), recording);
    if (!entry || !entry->value(kPosition).isDouble() || entry->value(kPosition).toInteger(-1) < 0)
        return std::nullopt;
    return entry->value(kPosition).toInteger();
}

void FileMemory::rememberPosition(const QString& recording, qint64 positionMs)
{
    updateEntry(path_, recording,
                [&](QJsonObject& entry, Memory&) { entry.insert(kPosition, std::max<qint64>(0, positionMs)); });
}

std::optional<QStringList> FileMemory::speakers(const QString& recording) const
{
    const std::optional<QJsonObject> entry = findEntry(readEntries(path_), recording);
    if (!entry || !entry->value(kSpeakers).isArray())
        return std::nullopt;
    return namesIn(entry->value(kSpeakers));
}

QStringList FileMemory::lastSpeakers() const
{
    return namesIn(readMemory(path_).lastSpeakers);
}

void FileMemory::rememberSpeakers(const QString& recording, const QStringList& names)
{
    updateEntry(path_, recording, [&](QJsonObject& entry, Memory& memory) {
        entry.insert(kSpeakers, QJsonArray::fromStringList(names));
        memory.lastSpeakers = QJsonArray::fromStringList(names);
    });
}

} // namespace tavrin
