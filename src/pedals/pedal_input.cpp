#include "pedals/pedal_input.h"

#include <QDebug>
#include <QFile>

#include <libevdev/libevdev.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavrin {

namespace {

QList<int> keyCodesOf(const libevdev* device)
{
    QList<int> codes;
    for (int code = 0; code <= KEY_MAX; ++code) {
        if (libevdev_has_event_code(device, EV_KEY, code)) {
            codes.append(code);
        }
    }
    return codes;
}

} // namespace

PedalInput::PedalInput(const QList<int>& buttonCodes)
    : decoder_(buttonCodes)
    , buttonCodes_(buttonCodes)
{
}

QList<PedalChange> PedalInput::usePedalKeys(const QList<int>& keysFromLeft)
{
    return decoder_.usePositions(keysFromLeft.isEmpty() ? pedalPositions(buttonCodes_)
                                                        : namedPedalPositions(keysFromLeft));
}

std::unique_ptr<EvdevPedal> EvdevPedal::open(const QString& path, int* error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = errno;
        return nullptr;
    }
    libevdev* device = nullptr;
    const int rc = libevdev_new_from_fd(fd, &device);
    if (rc < 0) {
        *error = -rc;
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<EvdevPedal>(new EvdevPedal(path, fd, device));
}

EvdevPedal::EvdevPedal(const QString& path, int fd, libevdev* device)
    : PedalInput(keyCodesOf(device))
    , path_(path)
    , fd_(fd)
    , device_(device)
{
    // A pedal that types keys would type into whatever window has the focus.
    const int rc = libevdev_grab(device_, LIBEVDEV_GRAB);
    grabbed_ = rc == 0;
    if (!grabbed_) {
        qWarning("Foot pedal %s is read but not grabbed: %s", qPrintable(path_), strerror(-rc));
    }
}

EvdevPedal::~EvdevPedal()
{
    if (grabbed_) {
        libevdev_grab(device_, LIBEVDEV_UNGRAB);
    }
    libevdev_free(device_);
    ::close(fd_);
}

UsbId EvdevPedal::usbId() const
{
    return {static_cast<std::uint16_t>(libevdev_get_id_vendor(device_)),
            static_cast<std::uint16_t>(libevdev_get_id_product(device_))};
}

PedalInput::Reading EvdevPedal::readAvailable()
{
    Reading reading;
    for (;;) {
        input_event event;
        const int rc = libevdev_next_event(device_, LIBEVDEV_READ_FLAG_NORMAL, &event);
        if (rc == LIBEVDEV_READ_STATUS_SUCCESS) {
            reading.changes.append(decoder_.feed(event));
        } else if (rc == LIBEVDEV_READ_STATUS_SYNC) {
            // The event is SYN_DROPPED: instead of releasing every pedal, libevdev
            // tells what changed while events were lost.
            readSyncedChanges(reading);
        } else if (rc == -EAGAIN) {
            return reading;
        } else {
            reading.gone = true; // -ENODEV once unplugged
            return reading;
        }
    }
}

void EvdevPedal::readSyncedChanges(Reading& reading)
{
    input_event event;
    while (libevdev_next_event(device_, LIBEVDEV_READ_FLAG_SYNC, &event) == LIBEVDEV_READ_STATUS_SYNC) {
        reading.changes.append(decoder_.feed(event));
    }
}

StreamPedal::StreamPedal(int fd, const QList<int>& buttonCodes)
    : PedalInput(buttonCodes)
    , fd_(fd)
{
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

StreamPedal::~StreamPedal()
{
    ::close(fd_);
}

QString StreamPedal::path() const
{
    return QStringLiteral("/proc/self/fd/%1").arg(fd_);
}

PedalInput::Reading StreamPedal::readAvailable()
{
    Reading reading;
    char bytes[64 * sizeof(input_event)];
    for (;;) {
        const ssize_t count = ::read(fd_, bytes, sizeof bytes);
        if (count > 0) {
            reading.changes.append(decoder_.feedBytes(QByteArrayView(bytes, count)));
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else {
            reading.gone = count == 0 || errno != EAGAIN;
            return reading;
        }
    }
}

} // namespace tavrin
