#include "files/journal_writer.h"

#include "files/atomic_file.h"
#include "files/unique_fd.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tavrin {

namespace {

bool appendToFile(const QString& path, const QByteArray& bytes)
{
    const UniqueFd file(::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (file.get() < 0)
        return false;
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t written = ::write(file.get(), bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return ::fdatasync(file.get()) == 0;
}

bool replaceFile(const QString& path, const QByteArray& bytes)
{
    try {
        writeFileAtomically(path, bytes);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

JournalWriter::JournalWriter(QString path, QByteArray start, std::chrono::milliseconds syncInterval)
    : path_(std::move(path))
    , syncInterval_(syncInterval)
    , restartWith_(std::move(start))
    , size_(restartWith_.size())
    , appended_(1)
{
    worker_ = std::thread([this] { run(); });
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
    {
        const std::lock_guard lock(mutex_);
        size_ = start.size();
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
    while (true) {
        wake_.wait(lock, [&] { return stopping_ || durable_ < appended_; });
        if (durable_ < appended_)
            writePending(lock);
        if (stopping_ && durable_ >= appended_)
            return;
        // At most one sync a second: what is typed meanwhile waits here, in memory.
        wake_.wait_for(lock, syncInterval_, [&] { return stopping_ || urgent_; });
        urgent_ = false;
    }
}

// Called with the lock held; writes without it, so appending never waits for the disk.
void JournalWriter::writePending(std::unique_lock<std::mutex>& lock)
{
    const QByteArray start = std::exchange(restartWith_, QByteArray());
    const QByteArray records = std::exchange(pending_, QByteArray());
    const quint64 generation = appended_;
    const bool wasFailed = failed_;
    lock.unlock();
    bool ok = true;
    if (!start.isEmpty())
        ok = replaceFile(path_, start + records);
    else if (!wasFailed && !records.isEmpty())
        ok = appendToFile(path_, records);
    lock.lock();
    // A restart asked for meanwhile starts the file afresh, and clears a failure with it.
    if (restartWith_.isEmpty())
        failed_ = failed_ || !ok;
    durable_ = generation;
    written_.notify_all();
}

} // namespace tavrin
