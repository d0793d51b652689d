#include "pedals/pedal_hotplug.h"

#include <QSocketNotifier>

#include <libudev.h>

#include <cstring>
#include <unistd.h>

namespace tavrin {

namespace {

// udevd's events come once its rules have run, so the node has its final
// access rights; without udevd (a container) only the kernel's own come.
const char* eventSource()
{
    return ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
}

bool isEventNode(const char* devnode)
{
    return devnode != nullptr && std::strncmp(devnode, "/dev/input/event", 16) == 0;
}

} // namespace

PedalHotplug::PedalHotplug(QObject* parent)
    : QObject(parent)
    , udev_(udev_new())
{
    if (udev_ == nullptr) {
        return;
    }
    monitor_ = udev_monitor_new_from_netlink(udev_, eventSource());
    if (monitor_ == nullptr || udev_monitor_filter_add_match_subsystem_devtype(monitor_, "input", nullptr) < 0
        || udev_monitor_enable_receiving(monitor_) < 0) {
        qWarning("Foot pedals plugged in later are not found: no device monitor");
        return;
    }
    notifier_ = new QSocketNotifier(udev_monitor_get_fd(monitor_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PedalHotplug::receive);
}

PedalHotplug::~PedalHotplug()
{
    delete notifier_;
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
    }
}

void PedalHotplug::receive()
{
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const char* devnode = udev_device_get_devnode(device);
        if (action != nullptr && isEventNode(devnode)) {
            const QString node = QString::fromLocal8Bit(devnode);
            if (std::strcmp(action, "add") == 0) {
                Q_EMIT added(node);
            } else if (std::strcmp(action, "remove") == 0) {
                Q_EMIT removed(node);
            }
        }
        udev_device_unref(device);
    }
}

} // namespace tavrin
