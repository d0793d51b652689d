#include "paced_pipe.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin::test {

namespace {

constexpr qsizetype kHeaderBytes = 44;

} // namespace

PacedPipe::PacedPipe(const QString& path, const QString& recording)
    : path_(path)
{
    QFile file(recording);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(recording));
    bytes_ = file.readAll();
    if (bytes_.size() < kHeaderBytes || !bytes_.startsWith("RIFF"))
        qFatal("%s is not a plain WAV file", qPrintable(recording));
    bytesPerSecond_ = int(qFromLittleEndian<quint32>(bytes_.constData() + 28));
    const QByteArray name = QFile::encodeName(path);
    // Opened for reading too, so that opening does not wait for the player and
    // writes never fail for want of a reader.
    if (mkfifo(name.constData(), 0600) != 0 || (fd_ = ::open(name.constData(), O_RDWR | O_NONBLOCK)) < 0)
        qFatal("cannot make the pipe %s", qPrintable(path));
}

PacedPipe::~PacedPipe()
{
    if (fd_ >= 0)
        ::close(fd_);
    QFile::remove(path_);
}

void PacedPipe::handOn(double seconds)
{
    if (fd_ < 0)
        return;
    const qsizetype from = std::max(written_, kHeaderBytes);
    const qsizetype end = std::min(bytes_.size(), from + qsizetype(seconds * bytesPerSecond_));
    while (written_ < end) {
        const ssize_t done = ::write(fd_, bytes_.constData() + written_, std::size_t(end - written_));
        if (done < 0 && errno == EAGAIN)
            return; // the pipe is full: the player has not read it yet
        if (done < 0)
            qFatal("cannot write into the pipe %s", qPrintable(path_));
        written_ += done;
    }
    if (written_ == bytes_.size()) {
        ::close(fd_);
        fd_ = -1;
    }
}

double PacedPipe::handedOn() const
{
    return double(std::max<qsizetype>(0, written_ - kHeaderBytes)) / bytesPerSecond_;
}

} // namespace tavrin::test
