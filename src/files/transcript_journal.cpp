#include "files/transcript_journal.h"

#include "files/journal_writer.h"
#include "files/recovery_journal.h"
#include "files/user_folders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTextCursor>
#include <QTextDocument>

namespace tavrin {

namespace {

const QString kSuffix = QStringLiteral(".journal");
// A journal grows until it is this much larger than the text, then starts afresh from a snapshot.
constexpr qint64 kSlackBytes = 1024 * 1024;
constexpr qint64 kPositionEveryMs = 1000;

} // namespace

TranscriptJournal::TranscriptJournal(QTextDocument* document, QString folder, std::function<qint64()> positionMs,
                                     QObject* parent)
    : QObject(parent)
    , document_(document)
    , folder_(std::move(folder))
    , positionMs_(std::move(positionMs))
{
    connect(document_, &QTextDocument::contentsChange, this, &TranscriptJournal::record);
}

TranscriptJournal::~TranscriptJournal() = default;

// The text is taken now, on the window's thread (a copy that shares its
// characters); the writer encodes it on its own.
JournalWriter::Start TranscriptJournal::start() const
{
    const QString text = document_->toRawText();
    const QString recording = recording_;
    const qint64 positionMs = recording.isEmpty() ? 0 : positionMs_();
    const qint64 expectedSize = 64 + 2 * (text.size() + recording.size());
    return {[text, recording, positionMs] {
                QByteArray bytes = journalHeader() + journalSnapshot(text);
                if (!recording.isEmpty())
                    bytes += journalRecording(recording, positionMs);
                return bytes;
            },
            expectedSize};
}

void TranscriptJournal::startJournal(const QString& path)
{
    writer_ = std::make_unique<JournalWriter>(path, start());
    failureTold_ = false;
}

void TranscriptJournal::record(int position, int removed, int added)
{
    if (ignoring_)
        return;
    if (!writer_) {
        if (document_->isEmpty() || folderUnavailable_)
            return;
        if (!ensureUserFolder(folder_)) {
            folderUnavailable_ = true;
            if (const QString unsafe = unsafeFolderFor(folder_); !unsafe.isEmpty() && !failureTold_) {
                failureTold_ = true;
                Q_EMIT folderRefused(unsafe);
            }
            tellFailureOnce();
            return;
        }
        const QString name = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmsszzz")) + u'-'
            + QString::number(QCoreApplication::applicationPid()) + kSuffix;
        startJournal(QDir(folder_).filePath(name)); // its snapshot already holds this change
        return;
    }
    // The inserted text read through a cursor: no copy of the whole document per key.
    QTextCursor cursor(document_);
    cursor.setPosition(position);
    cursor.setPosition(std::min(position + added, document_->characterCount() - 1), QTextCursor::KeepAnchor);
    append(journalEdit({position, removed, cursor.selectedText()}));
    appendRecordingNowAndThen();
    if (writer_->failed())
        tellFailureOnce();
}

// Decided before the record is written, not after: the worker writes at once,
// so a record appended first would sit on the disk past the limit until the
// fresh start replaced the file. The snapshot already holds what the record says.
void TranscriptJournal::append(const QByteArray& record)
{
    if (writer_->size() + record.size() > 2 * qint64(document_->characterCount()) * 2 + kSlackBytes)
        writer_->restart(start());
    else
        writer_->append(record);
}

void TranscriptJournal::tellFailureOnce()
{
    if (failureTold_)
        return;
    failureTold_ = true;
    Q_EMIT writingFailed();
}

void TranscriptJournal::appendRecordingNowAndThen()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (recording_.isEmpty() || now - lastPositionRecord_ < kPositionEveryMs)
        return;
    lastPositionRecord_ = now;
    append(journalRecording(recording_, positionMs_()));
}

void TranscriptJournal::setRecording(const QString& path)
{
    recording_ = path;
    if (writer_)
        append(journalRecording(recording_, positionMs_()));
}

void TranscriptJournal::retire()
{
    if (!writer_)
        return;
    const QString path = writer_->path();
    writer_.reset(); // writes what is pending, then stops
    QFile::remove(path);
}

void TranscriptJournal::close()
{
    if (!writer_)
        return;
    if (recording_.size())
        append(journalRecording(recording_, positionMs_()));
    writer_->append(journalClosed());
    writer_->flush();
}

void TranscriptJournal::ignoreChangesWhile(const std::function<void()>& change)
{
    const bool wasIgnoring = std::exchange(ignoring_, true);
    change();
    ignoring_ = wasIgnoring;
}

void TranscriptJournal::adopt(const QString& journalPath)
{
    startJournal(journalPath); // afresh, from the text as it is now
}

QStringList TranscriptJournal::unfinishedJournals(const QString& folder)
{
    QStringList paths;
    if (!isPrivateFolder(folder))
        return paths; // what others could have put there is not ours to bring back
    const QFileInfoList found = QDir(folder).entryInfoList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Time);
    for (const QFileInfo& info : found) {
        if (!isJournalInUse(info.absoluteFilePath()))
            paths.append(info.absoluteFilePath());
    }
    return paths;
}

} // namespace tavrin
