#include "files/journal_writer.h"

#include "files/path_bytes.h"
#include "files/unique_fd.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tavrin {

namespace {

bool writeAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

void syncFolderOf(const QString& path)
{
    const UniqueFd folder(::open(encodePath(QFileInfo(path).path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

// The file afresh, in place of the old one at once: written beside it, synced,
// renamed over it. Returned open for appending and locked before it takes the
// old one's place, so that no other window ever finds the journal unlocked.
UniqueFd replaceFile(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = encodePath(path);
    const QByteArray fresh = target + ".new";
    UniqueFd file(::open(fresh.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600));
    const bool ok = file.get() >= 0 && ::flock(file.get(), LOCK_EX | LOCK_NB) == 0 && writeAll(file.get(), bytes)
        && ::fdatasync(file.get()) == 0 && ::rename(fresh.constData(), target.constData()) == 0;
    if (!ok) {
        ::unlink(fresh.constData());
        return UniqueFd();
    }
    syncFolderOf(path); // the rename itself lasts
    return file;
}

} // namespace

bool isJournalInUse(const QString& path)
{
    const UniqueFd file(::open(encodePath(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    return file.get() >= 0 && ::flock(file.get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

namespace {

JournalWriter::Start madeAlready(QByteArray bytes)
{
    const qint64 size = bytes.size();
    return {[bytes = std::move(bytes)] { return bytes; }, size};
}

} // namespace

JournalWriter::JournalWriter(QString path, Start start, std::chrono::milliseconds syncInterval)
    : path_(std::move(path))
    , syncInterval_(syncInterval)
    , restartWith_(std::move(start))
    , size_(restartWith_.expectedSize)
    , appended_(1)
{
    worker_ = std::thread([this] { run(); });
}

JournalWriter::JournalWriter(QString path, QByteArray start, std::chrono::milliseconds syncInterval)
    : JournalWriter(std::move(path), madeAlready(std::move(start)), syncInterval)
{
}

JournalWriter::~JournalWriter()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void JournalWriter::append(const QByteArray& record)
{
    {
        const std::lock_guard lock(mutex_);
        pending_ += record;
        size_ += record.size();
        ++appended_;
    }
    wake_.notify_one();
}

void JournalWriter::restart(QByteArray start)
{
    restart(madeAlready(std::move(start)));
}

void JournalWriter::restart(Start start)
{
    {
        const std::lock_guard lock(mutex_);
        size_ = start.expectedSize;
        restartWith_ = std::move(start);
        pending_.clear();
        failed_ = false;
        ++appended_;
    }
    wake_.notify_one();
}

void JournalWriter::flush()
{
    std::unique_lock lock(mutex_);
    const quint64 wanted = appended_;
    urgent_ = true;
    wake_.notify_one();
    written_.wait(lock, [&] { return durable_ >= wanted || failed_; });
}

qint64 JournalWriter::size() const
{
    const std::lock_guard lock(mutex_);
    return size_;
}

bool JournalWriter::failed() const
{
    const std::lock_guard lock(mutex_);
    return failed_;
}

void JournalWriter::run()
{
    std::unique_lock lock(mutex_);
    auto lastSync = std::chrono::steady_clock::now() - syncInterval_;
    bool unsynced = false;
    while (true) {
        const auto syncAllowed = lastSync + syncInterval_;
        const auto work = [&] { return stopping_ || urgent_ || writtenGeneration_ < appended_; };
        if (unsynced)
            wake_.wait_until(lock, syncAllowed, work);
        else
            wake_.wait(lock, work);
        if (writtenGeneration_ < appended_)
            unsynced = writePending(lock) || unsynced;
        // Written at once, so that the program being killed loses nothing; synced at
        // most once a second, which is what a power loss can take.
        const bool urgent = urgent_ || stopping_;
        if (unsynced && (urgent || std::chrono::steady_clock::now() >= syncAllowed)) {
            lock.unlock();
            const bool synced = file_.get() >= 0 && ::fdatasync(file_.get()) == 0;
            lock.lock();
            failed_ = failed_ || !synced;
            lastSync = std::chrono::steady_clock::now();
            unsynced = false;
        }
        if (!unsynced) {
            durable_ = writtenGeneration_;
            urgent_ = urgent_ && durable_ < appended_; // a flush waits until all it asked for is synced
            written_.notify_all();
        }
        if (stopping_ && durable_ >= appended_)
            return;
    }
}

// Called with the lock held; writes without it, so appending never waits for the
// disk. True when something was written that is not synced yet.
bool JournalWriter::writePending(std::unique_lock<std::mutex>& lock)
{
    const Start start = std::exchange(restartWith_, Start());
    const QByteArray records = std::exchange(pending_, QByteArray());
    const quint64 generation = appended_;
    const bool wasFailed = failed_;
    const bool restarting = bool(start.make);
    lock.unlock();
    bool ok = true;
    bool unsynced = false;
    if (restarting) {
        file_ = replaceFile(path_, start.make());
        ok = file_.get() >= 0;
    }
    if (ok && !(wasFailed && !restarting) && !records.isEmpty()) {
        ok = file_.get() >= 0 && writeAll(file_.get(), records);
        unsynced = true;
    }
    lock.lock();
    // A restart asked for meanwhile starts the file afresh, and clears a failure with it.
    if (!restartWith_.make)
        failed_ = (failed_ && !restarting) || !ok;
    writtenGeneration_ = generation;
    return unsynced;
}

} // namespace tavrin
