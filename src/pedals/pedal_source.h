#pragma once

#include "pedals/pedal_events.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QSocketNotifier;

namespace tavrin {

class PedalHotplug;
class PedalInput;

// The foot pedals' presses and releases, read on the thread this lives on (the
// window's: the reads never block and are a few bytes each). Pedals of the
// known models are found among /dev/input/event* when started and when plugged
// in later; each is grabbed, so its keys reach no window. A pedal pulled out is
// forgotten quietly, after releasing any of its pedals held down, so that
// playback is left paused.
class PedalSource : public QObject {
    Q_OBJECT
public:
    explicit PedalSource(QObject* parent = nullptr);
    ~PedalSource() override;

    // Opens the known pedals present and follows devices plugged in and out.
    void start();

    // A device to read whatever its model, such as /dev/input/by-id/...-event-kbd;
    // empty for none. Opened at once once started, and again when plugged back in.
    void setExtraDevicePath(const QString& path);

    // The key codes of the pedals, left to right, for every device; empty:
    // each device's own buttons, the lowest code left.
    void setPedalKeys(const QList<int>& keysFromLeft);

    // Reads input_event records from a descriptor (a pipe) as from a pedal whose
    // keys are the given codes, through the same decoding as a device's events.
    // The descriptor is closed when the stream ends or this goes.
    void addEventStream(int fd, const QList<int>& buttonCodes);

    // The devices being read, by path.
    QStringList devicePaths() const;

Q_SIGNALS:
    void pressed(tavrin::PedalButton button);
    void released(tavrin::PedalButton button);
    void devicesChanged();
    // A pedal could not be opened: told once for each errno value, not again
    // for the next device or the next time one is plugged in.
    void cannotOpen(const QString& devicePath, int errnoValue);

private:
    struct OpenInput;

    void openKnownPedals();
    void openIfPedal(const QString& eventNode);
    void openDevice(const QString& path);
    void adopt(std::unique_ptr<PedalInput> input);
    void readFrom(PedalInput* input);
    void forget(PedalInput* input);
    void forgetPath(const QString& path);
    bool isOpen(const QString& path) const;
    bool isExtraDevice(const QString& eventNode) const;
    void tell(const QList<PedalChange>& changes);

    std::vector<std::unique_ptr<OpenInput>> inputs_;
    PedalHotplug* hotplug_ = nullptr;
    QString extraDevicePath_;
    QList<int> pedalKeys_;
    QSet<int> toldErrors_;
    bool started_ = false;
};

} // namespace tavrin
