#include "files/file_memory.h"

#include "files/atomic_file.h"
#include "files/user_folders.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <sys/stat.h>
#include <vector>

namespace tavrin {

namespace {

constexpr int kVersion = 1;
// Larger than any honest memory: anything bigger is not read.
constexpr qint64 kLargestMemoryFile = 4 * 1024 * 1024;

const QString kFiles = QStringLiteral("files");
const QString kPath = QStringLiteral("path");
const QString kDigest = QStringLiteral("digest");
const QString kSize = QStringLiteral("size");
const QString kModified = QStringLiteral("modifiedNs");
const QString kPosition = QStringLiteral("positionMs");
const QString kUsed = QStringLiteral("used");

// A file's size and modification time: when both are as remembered, its bytes
// are taken as unchanged without reading them again.
struct Stamp {
    qint64 size = -1;
    qint64 modifiedNs = -1;
};

Stamp stampOf(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::vector<QJsonObject> readEntries(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > kLargestMemoryFile)
        return {};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (document.object().value(QStringLiteral("version")).toInt() != kVersion)
        return {};
    std::vector<QJsonObject> entries;
    for (const QJsonValue& value : document.object().value(kFiles).toArray()) {
        if (value.isObject() && !value.toObject().value(kPath).toString().isEmpty())
            entries.push_back(value.toObject());
    }
    return entries;
}

void writeEntries(const QString& path, std::vector<QJsonObject> entries)
{
    // The longest unused go first when there are too many.
    std::sort(entries.begin(), entries.end(), [](const QJsonObject& a, const QJsonObject& b) {
        return a.value(kUsed).toInteger() > b.value(kUsed).toInteger();
    });
    if (entries.size() > size_t(FileMemory::kMostFiles))
        entries.resize(FileMemory::kMostFiles);
    QJsonArray files;
    for (const QJsonObject& entry : entries)
        files.append(entry);
    const QJsonObject root{{QStringLiteral("version"), kVersion}, {kFiles, files}};
    try {
        if (ensureUserFolder(QFileInfo(path).path()))
            writeFileAtomically(path, QJsonDocument(root).toJson(QJsonDocument::Compact));
    } catch (const std::exception&) {
        // Only the memory is lost; the files themselves are as they were.
    }
}

std::optional<QJsonObject> findEntry(const std::vector<QJsonObject>& entries, const QString& file)
{
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const QJsonObject& entry) { return entry.value(kPath).toString() == file; });
    return found == entries.end() ? std::nullopt : std::optional(*found);
}

// Reads the memory, lets `change` alter the entry of `file` and writes it back.
template <typename Change> void updateEntry(const QString& path, const QString& file, Change change)
{
    if (path.isEmpty())
        return;
    std::vector<QJsonObject> entries = readEntries(path);
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const QJsonObject& entry) { return entry.value(kPath).toString() == file; });
    if (found == entries.end())
        found = entries.insert(entries.end(), QJsonObject{{kPath, file}});
    change(*found);
    found->insert(kUsed, QDateTime::currentMSecsSinceEpoch());
    writeEntries(path, std::move(entries));
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
    QFile file(transcriptPath);
    return file.open(QIODevice::ReadOnly)
        && QString::fromLatin1(transcriptDigest(file.readAll())) == entry->value(kDigest).toString();
}

void FileMemory::rememberContent(const QString& transcriptPath, const QByteArray& digest)
{
    const Stamp stamp = stampOf(transcriptPath);
    updateEntry(path_, transcriptPath, [&](QJsonObject& entry) {
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
                [&](QJsonObject& entry) { entry.insert(kPosition, std::max<qint64>(0, positionMs)); });
}

} // namespace tavrin
