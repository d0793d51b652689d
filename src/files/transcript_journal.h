#pragma once

#include "files/journal_writer.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QTextDocument;

namespace tavrin {

// Keeps every change of the editor's text in a recovery journal in the user's
// state folder, so that a crash, a power loss or a forced log-out loses at
// most the last second of typing. The journal starts with the first change;
// a save retires it, since the text on disk is then the journal's.
class TranscriptJournal : public QObject {
    Q_OBJECT
public:
    // `positionMs` tells where playback is, kept with the text for recovery.
    TranscriptJournal(QTextDocument* document, QString folder, std::function<qint64()> positionMs,
                      QObject* parent = nullptr);
    ~TranscriptJournal() override;

    void setRecording(const QString& path);
    // The text is saved: the journal goes, and the next change starts a new one.
    void retire();
    // The user closes the program: what is unsaved is kept, marked as closed.
    void close();
    // Goes on in a journal found at start (its text is now the editor's).
    void adopt(const QString& journalPath);
    // Runs `change` of the text without journalling it: a file's text put into
    // the editor (the file holds it), or a journal's (which holds it).
    void ignoreChangesWhile(const std::function<void()>& change);

    // Journals left by earlier runs that were not retired and that no other
    // window is writing, newest first.
    static QStringList unfinishedJournals(const QString& folder);

    const QString& folder() const { return folder_; }

Q_SIGNALS:
    // Writing the journal failed (a full disk, say): told once; typing goes on.
    void writingFailed();
    // The journals' folder is someone else's, or others may write to it: nothing is
    // written there. Told once instead of writingFailed; typing goes on.
    void folderRefused(const QString& folder);

private:
    void record(int position, int removed, int added);
    // Appends `record`, or starts afresh from a snapshot when the journal would
    // outgrow twice the text and 1 MB with it.
    void append(const QByteArray& record);
    void startJournal(const QString& path);
    JournalWriter::Start start() const;
    void appendRecordingNowAndThen();
    void tellFailureOnce();

    QTextDocument* document_;
    QString folder_;
    std::function<qint64()> positionMs_;
    QString recording_;
    std::unique_ptr<JournalWriter> writer_;
    qint64 lastPositionRecord_ = 0;
    bool failureTold_ = false;
    bool folderUnavailable_ = false; // tried once: not again at every key
    bool ignoring_ = false;
};

} // namespace tavrin
