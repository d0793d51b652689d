#pragma once

#include <QObject>
#include <QString>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace tavrin {

// Input event devices plugged in and pulled out, as libudev's monitor tells
// them, read on the thread this lives on.
class PedalHotplug : public QObject {
    Q_OBJECT
public:
    explicit PedalHotplug(QObject* parent = nullptr);
    ~PedalHotplug() override;

    // False when no monitor could be made (no netlink socket): then devices are
    // found only when the program starts.
    bool isWatching() const { return notifier_ != nullptr; }

Q_SIGNALS:
    void added(const QString& eventNode);
    void removed(const QString& eventNode);

private:
    void receive();

    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tavrin
