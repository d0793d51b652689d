#pragma once

#include <QByteArray>
#include <QString>

#include "files/unique_fd.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tavrin {

// Appends journal records to a file on a thread of its own, so that typing
// never waits for the disk. What is appended is written at once (the program
// being killed then loses nothing) and synced to the disk within about a
// second, at most once a second however fast the user types.
class JournalWriter {
public:
    // The bytes a journal starts with (its header and a snapshot of the whole
    // text), made on the writer's thread: encoding a long text would hold up
    // the key press that asked for it.
    struct Start {
        std::function<QByteArray()> make;
        qint64 expectedSize = 0; // what size() counts until they are made
    };

    // Starts the journal at `path` with `start`, replacing any file there.
    JournalWriter(QString path, Start start, std::chrono::milliseconds syncInterval = std::chrono::milliseconds(1000));
    JournalWriter(QString path, QByteArray start,
                  std::chrono::milliseconds syncInterval = std::chrono::milliseconds(1000));
    // Writes and syncs what is still pending, then stops.
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    void append(const QByteArray& record);
    // Starts the file afresh with `start` (a snapshot of the whole text): the
    // journal stays small. Records appended after this call follow it.
    void restart(Start start);
    void restart(QByteArray start);
    // Writes and syncs what is pending now and waits for it (tests, closing).
    void flush();

    // Bytes in the journal, written or pending.
    qint64 size() const;
    // True once writing failed (a full disk, say); the text the user types is
    // not affected, the journal just stops growing until restarted.
    bool failed() const;
    const QString& path() const { return path_; }

private:
    void run();
    bool writePending(std::unique_lock<std::mutex>& lock);

    const QString path_;
    const std::chrono::milliseconds syncInterval_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    QByteArray pending_;
    Start restartWith_; // set: replace the file with what it makes first
    bool stopping_ = false;
    bool urgent_ = false; // flush() waits: write now
    bool failed_ = false;
    qint64 size_ = 0;
    quint64 appended_ = 0;          // generations, for flush()
    quint64 writtenGeneration_ = 0; // written to the file
    quint64 durable_ = 0;           // and synced
    UniqueFd file_;                 // the journal, open for appending (the worker's own)
    std::thread worker_;
};

// True when another window of the program is writing the journal at `path`
// (a writer holds it locked while it runs): not to be recovered.
bool isJournalInUse(const QString& path);

} // namespace tavrin
