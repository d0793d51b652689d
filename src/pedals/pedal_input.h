#pragma once

#include "pedals/known_pedals.h"
#include "pedals/pedal_events.h"

#include <QList>
#include <QString>

#include <memory>

struct libevdev;

namespace tavrin {

// One source of pedal events read without blocking: a device or a byte stream.
class PedalInput {
public:
    explicit PedalInput(const QList<int>& buttonCodes);
    virtual ~PedalInput() = default;
    PedalInput(const PedalInput&) = delete;
    PedalInput& operator=(const PedalInput&) = delete;

    virtual int fd() const = 0;
    virtual QString path() const = 0;

    struct Reading {
        QList<PedalChange> changes;
        bool gone = false; // unplugged, at its end or failing: to be forgotten
    };
    // Everything readable now.
    virtual Reading readAvailable() = 0;

    QList<PedalChange> releaseAll() { return decoder_.releaseAll(); }
    // The keys the user names for its pedals, left to right; none: its own buttons, lowest code left.
    QList<PedalChange> usePedalKeys(const QList<int>& keysFromLeft);

protected:
    PedalEventDecoder decoder_;

private:
    QList<int> buttonCodes_; // as the device reports them
};

// An evdev device (/dev/input/event*), opened through libevdev and grabbed so
// that no window sees its keys; the grab ends and the device closes with it.
class EvdevPedal : public PedalInput {
public:
    // nullptr with *error set to the errno value when it cannot be opened.
    static std::unique_ptr<EvdevPedal> open(const QString& path, int* error);
    ~EvdevPedal() override;

    int fd() const override { return fd_; }
    QString path() const override { return path_; }
    UsbId usbId() const;
    bool isGrabbed() const { return grabbed_; }
    Reading readAvailable() override;

private:
    EvdevPedal(const QString& path, int fd, libevdev* device);
    void readSyncedChanges(Reading& reading);

    QString path_;
    int fd_;
    libevdev* device_;
    bool grabbed_ = false;
};

// input_event records from a pipe or a file; the descriptor is closed with it.
class StreamPedal : public PedalInput {
public:
    StreamPedal(int fd, const QList<int>& buttonCodes);
    ~StreamPedal() override;

    int fd() const override { return fd_; }
    QString path() const override;
    Reading readAvailable() override;

private:
    int fd_;
};

} // namespace tavrin
